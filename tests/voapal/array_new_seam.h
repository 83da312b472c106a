// The test binary replaces the global non-throwing array new, so that a test can make
// the platform layer's allocation fail without hooks in the code under test.
#pragma once

struct ArrayNewSeam {
    static int failuresLeft;  // the next this many non-throwing array news return null
    static int calls;         // non-throwing array news so far
};
