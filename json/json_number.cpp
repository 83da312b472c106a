// Conversion of scanned numbers to signed 32-bit values.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "json/json_chars.h"
#include "json/json_lookup.h"

namespace {

using json_internal::hex_digit_value;

constexpr int64_t kMostNegative = 2147483648;  // the magnitude of INT32_MIN

// The value of `byte` as a digit in `base` (8, 10 or 16), or -1.
int digit_in_base(char byte, int base) noexcept {
    const int value = hex_digit_value(byte);
    return value < base ? value : -1;
}

// Reads an integer by the rules of "%i": an optional sign, then hexadecimal after 0x or
// 0X, octal after a leading 0, decimal otherwise, up to the first byte that is not a
// digit. Unlike "%i" the value is range checked, so an overflow fails instead of being
// undefined behaviour.
bool parse_integer(const char* text, int32_t* out) noexcept {
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && digit_in_base(text[2], 16) >= 0) {
        base = 16;
        text += 2;
    } else if (text[0] == '0') {
        base = 8;
    }
    const int64_t limit = negative ? kMostNegative : kMostNegative - 1;
    int64_t magnitude = 0;
    const char* first_digit = text;
    for (int digit; (digit = digit_in_base(*text, base)) >= 0; ++text) {
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return false;
    }
    if (text == first_digit) return false;
    *out = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

// The current numeric locale's decimal separator, as "%.1f" writes it.
char locale_decimal_separator() noexcept {
    char scratch[64];
    std::snprintf(scratch, sizeof scratch, "%.1f", 1.5);
    return scratch[1];
}

// Reads a real number in the current numeric locale. The text is written with "." as
// its separator, so in a locale with a decimal comma a bounded copy with the first "."
// (before any ",") replaced is read instead. strtod is used rather than "%lg", whose
// behaviour on overflow is undefined; it accepts the same text and reports where it
// stopped.
bool parse_real(const JsonValueInfo* number, double* value) noexcept {
    char scratch[64];
    const char* text = number->start;
    if (locale_decimal_separator() == ',') {
        const size_t length = number->length < sizeof scratch ? number->length : sizeof scratch - 1;
        std::memcpy(scratch, number->start, length);
        scratch[length] = '\0';
        for (char* c = scratch; *c != '\0' && *c != ','; ++c) {
            if (*c == '.') {
                *c = ',';
                break;
            }
        }
        text = scratch;
    }
    const int saved_errno = errno;  // an overflow sets ERANGE; the range check covers it
    char* end = nullptr;
    *value = std::strtod(text, &end);
    errno = saved_errno;
    return end != text;
}

// Truncates toward zero when the result fits; NaN and infinities fail both tests.
bool truncate_to_int(double value, int32_t* out) noexcept {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return false;
    *out = static_cast<int32_t>(value);
    return true;
}

}  // namespace

bool json_number_to_int(const JsonValueInfo* number, int32_t* out) noexcept {
    if (number == nullptr || number->start == nullptr || out == nullptr) return false;
    if (!number->is_real) return parse_integer(number->start, out);
    double value = 0;
    return parse_real(number, &value) && truncate_to_int(value, out);
}
