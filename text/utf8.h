// Strict UTF-8 decoding: the one place that says what a character is, for every
// escaper that treats characters rather than bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// One character at the start of a text.
struct Utf8Char {
    uint32_t codePoint;  // its scalar value; 0 when length is 0
    size_t length;       // the bytes it takes, 1 to 4; 0 when they are not one character
};

// Decodes the character at the start of `text`, of which `length` bytes may be read.
// Only well-formed UTF-8 is a character: no overlong form, no surrogate (U+D800 to
// U+DFFF), nothing above U+10FFFF, no sequence cut short by the end. A NUL byte is the
// character U+0000. Anything else, a null text and a length of 0 give length 0.
Utf8Char utf8_decode(const char* text, size_t length) noexcept;
