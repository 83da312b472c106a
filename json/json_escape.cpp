#include "json/json_escape.h"

namespace {

// The letter that follows the backslash for bytes with a two-byte escape, or 0.
char short_escape_letter(unsigned char byte) noexcept {
    switch (byte) {
        case 0x08:
            return 'b';
        case 0x09:
            return 't';
        case 0x0A:
            return 'n';
        case 0x0C:
            return 'f';
        case 0x0D:
            return 'r';
        case '"':
            return '"';
        case '\\':
            return '\\';
        default:
            return 0;
    }
}

// Bytes without a short escape that still may not appear raw: written as \u00XX.
bool needs_unicode_escape(unsigned char byte) noexcept {
    return json_is_control(byte) || byte == 0x7F;
}

size_t escaped_byte_length(unsigned char byte) noexcept {
    if (short_escape_letter(byte) != 0) return 2;
    return needs_unicode_escape(byte) ? 6 : 1;
}

// Writes \u00XX by hand: a formatting call would also write a terminator, one byte
// beyond the gap that the builder opened for the escaped text.
char* write_unicode_escape(char* out, unsigned char byte) noexcept {
    static const char kHexDigits[] = "0123456789abcdef";
    out[0] = '\\';
    out[1] = 'u';
    out[2] = '0';
    out[3] = '0';
    out[4] = kHexDigits[byte >> 4];
    out[5] = kHexDigits[byte & 0x0F];
    return out + 6;
}

}  // namespace

bool json_is_control(unsigned char byte) noexcept {
    return byte <= 0x1F;
}

size_t json_escaped_length(const char* text) noexcept {
    size_t length = 0;
    for (; *text != '\0'; ++text) length += escaped_byte_length(static_cast<unsigned char>(*text));
    return length;
}

char* json_write_escaped(char* out, const char* text) noexcept {
    for (; *text != '\0'; ++text) {
        const auto byte = static_cast<unsigned char>(*text);
        const char letter = short_escape_letter(byte);
        if (letter != 0) {
            *out++ = '\\';
            *out++ = letter;
        } else if (needs_unicode_escape(byte)) {
            out = write_unicode_escape(out, byte);
        } else {
            *out++ = *text;
        }
    }
    return out;
}

char* json_write_name(char* out, const char* name) noexcept {
    if (name == nullptr) return out;
    *out++ = '"';
    out = json_write_escaped(out, name);
    *out++ = '"';
    *out++ = ':';
    return out;
}
