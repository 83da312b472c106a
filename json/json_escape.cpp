#include "json/json_escape.h"

#include <array>

#include "text/utf8.h"

namespace {

// What each byte becomes: 0 copies it unchanged, 'u' writes \u00XX, any other value
// is the letter of its two-byte escape. NUL ends the builder's texts, so only
// json_escape_utf8 meets it. One table lookup per byte keeps the escaper
// cheap enough for every debug payload and listing written. For json_escape_utf8 the
// bytes from 0x80 on are 'U' instead: they start or continue a character, decoded whole.
constexpr std::array<char, 256> make_escape_table(bool forCharacters) noexcept {
    std::array<char, 256> table{};
    for (int byte = 0x80; forCharacters && byte <= 0xFF; ++byte) table[byte] = 'U';
    for (int byte = 0x00; byte <= 0x1F; ++byte) table[byte] = 'u';
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

constexpr std::array<char, 256> kEscape = make_escape_table(false);
constexpr std::array<char, 256> kEscapeCharacters = make_escape_table(true);

// Writes \uXXXX by hand: a formatting call would also write a terminator, one byte
// beyond the gap that the builder opened for the escaped text.
char* write_unicode_escape(char* out, uint32_t codePoint) noexcept {
    static const char kHexDigits[] = "0123456789abcdef";
    *out++ = '\\';
    *out++ = 'u';
    for (int shift = 12; shift >= 0; shift -= 4) *out++ = kHexDigits[(codePoint >> shift) & 0xF];
    return out;
}

// Writes one ASCII byte as the table says; returns the position after it.
char* write_escaped_byte(char* out, unsigned char byte) noexcept {
    const char escape = kEscape[byte];
    if (escape == 0) {
        *out++ = static_cast<char>(byte);
    } else if (escape == 'u') {
        out = write_unicode_escape(out, byte);
    } else {
        *out++ = '\\';
        *out++ = escape;
    }
    return out;
}

size_t escaped_byte_length(unsigned char byte) noexcept {
    const char escape = kEscape[byte];
    return escape == 0 ? 1 : (escape == 'u' ? 6 : 2);
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
    for (; *text != '\0'; ++text) out = write_escaped_byte(out, static_cast<unsigned char>(*text));
    return out;
}

bool json_escapes_character(uint32_t codePoint) noexcept {
    return (codePoint >= 0x80 && codePoint <= 0x9F) || codePoint == 0x2028 || codePoint == 0x2029 ||
           codePoint == 0xFFFE || codePoint == 0xFFFF;
}

size_t json_escape_utf8(const char* text, size_t length, char* out) noexcept {
    if (text == nullptr) return 0;
    size_t size = 0;
    for (size_t at = 0; at < length;) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const char escape = kEscapeCharacters[byte];
        if (escape == 0) {  // most bytes of a path
            if (out != nullptr) out[size] = text[at];
            ++size;
            ++at;
            continue;
        }
        if (escape != 'U') {
            if (out != nullptr) write_escaped_byte(out + size, byte);
            size += escaped_byte_length(byte);
            ++at;
            continue;
        }
        const Utf8Char next = utf8_decode(text + at, length - at);
        if (next.length == 0) return JSON_NOT_UTF8;
        const size_t piece = json_escapes_character(next.codePoint) ? 6 : next.length;
        if (out != nullptr && piece == 6) {
            write_unicode_escape(out + size, next.codePoint);
        } else if (out != nullptr) {
            for (size_t i = 0; i < piece; ++i) out[size + i] = text[at + i];
        }
        size += piece;
        at += next.length;
    }
    return size;
}

char* json_write_name(char* out, const char* name) noexcept {
    if (name == nullptr) return out;
    *out++ = '"';
    out = json_write_escaped(out, name);
    *out++ = '"';
    *out++ = ':';
    return out;
}
