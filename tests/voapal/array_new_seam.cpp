#include "tests/voapal/array_new_seam.h"

#include <new>

int ArrayNewSeam::failuresLeft = 0;
int ArrayNewSeam::calls = 0;

// Replaces the library's version; allocates through the throwing array new, so that
// delete[] (and the sanitizer's leak and mismatch checks) see an ordinary allocation.
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    ++ArrayNewSeam::calls;
    if (ArrayNewSeam::failuresLeft > 0) {
        --ArrayNewSeam::failuresLeft;
        return nullptr;
    }
    try {
        return ::operator new[](n);
    } catch (...) {
        return nullptr;
    }
}
