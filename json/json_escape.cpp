#include "json/json_escape.h"

#include <array>

namespace {

// What each byte becomes: 0 copies it unchanged, 'u' writes \u00XX, any other value
// is the letter of its two-byte escape. One table lookup per byte keeps the escaper
// cheap enough for every debug payload and listing written.
constexpr std::array<char, 256> make_escape_table() noexcept {
    std::array<char, 256> table{};
    for (int byte = 0x01; byte <= 0x1F; ++byte) table[byte] = 'u';
    table[0x7F] = 'u';
    table[0x08] = 'b';
    table[0x09] = 't';
    table[0x0A] = 'n';
    table[0x0C] = 'f';
    table[0x0D] = 'r';
    table['"'] = '"';
    table['\\'] = '\\';
    return table;
}

constexpr std::array<char, 256> kEscape = make_escape_table();

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
    for (; *text != '\0'; ++text) {
        const char escape = kEscape[static_cast<unsigned char>(*text)];
        length += escape == 0 ? 1 : (escape == 'u' ? 6 : 2);
    }
    return length;
}

char* json_write_escaped(char* out, const char* text) noexcept {
    for (; *text != '\0'; ++text) {
        const auto byte = static_cast<unsigned char>(*text);
        const char escape = kEscape[byte];
        if (escape == 0) {
            *out++ = *text;
        } else if (escape == 'u') {
            out = write_unicode_escape(out, byte);
        } else {
            *out++ = '\\';
            *out++ = escape;
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
