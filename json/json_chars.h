// Byte classes shared by the builder, the scanner and the decoder (internal header, not
// part of the library's interface).
#pragma once

namespace json_internal {

// JSON white space: exactly tab, line feed, carriage return and space.
inline bool is_white_space(char byte) noexcept {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}

// The first byte at or after `p` that is not white space (the terminator stops it).
inline const char* skip_white_space(const char* p) noexcept {
    while (is_white_space(*p)) ++p;
    return p;
}

inline bool is_decimal_digit(char byte) noexcept {
    return byte >= '0' && byte <= '9';
}

// The value of a hexadecimal digit (either case), or -1 for any other byte.
inline int hex_digit_value(char byte) noexcept {
    if (byte >= '0' && byte <= '9') return byte - '0';
    if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
    return -1;
}

}  // namespace json_internal
