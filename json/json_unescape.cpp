// Decoding of raw string content: escapes to bytes, \u escapes to UTF-8.
#include "json/json_chars.h"
#include "json/json_lookup.h"

namespace {

using json_internal::hex_digit_value;

// The byte that a one-letter escape stands for, or 0 for a letter that is not one.
unsigned char short_escape_byte(char letter) noexcept {
    switch (letter) {
        case '"':
            return '"';
        case '/':
            return '/';
        case '\\':
            return '\\';
        case 'b':
            return 0x08;
        case 'f':
            return 0x0C;
        case 'n':
            return 0x0A;
        case 'r':
            return 0x0D;
        case 't':
            return 0x09;
        default:
            return 0;
    }
}

// Four hexadecimal digits at the cursor, which must all lie within the remaining bytes.
bool read_hex4_within(size_t* remaining, const char** cursor, uint16_t* value) noexcept {
    return *remaining >= 4 && json_read_hex4(remaining, cursor, value);
}

// The code point of a \u escape whose four digits start at the cursor. A value in the
// surrogate range takes the next \uXXXX with it, combined without further checks.
bool read_code_point(size_t* remaining, const char** cursor, uint32_t* code_point) noexcept {
    uint16_t first = 0;
    if (!read_hex4_within(remaining, cursor, &first)) return false;
    if (first < 0xD800 || first > 0xDFFF) {
        *code_point = first;
        return true;
    }
    if (*remaining < 6 || (*cursor)[0] != '\\' || (*cursor)[1] != 'u') return false;
    *cursor += 2;
    *remaining -= 2;
    uint16_t second = 0;
    if (!json_read_hex4(remaining, cursor, &second)) return false;
    const uint32_t combined = 0x10000u + (static_cast<uint32_t>(first) - 0xD800u) * 1024u +
                              static_cast<uint16_t>(second - 0xDC00u);
    if (combined > 0x1FFFFF) return false;
    *code_point = combined;
    return true;
}

// Delivers the UTF-8 lead byte of a code point of 0x80 or above and keeps the
// continuation bytes, next one lowest, in *pending.
unsigned char encode_utf8(uint32_t code_point, uint32_t* pending) noexcept {
    const auto continuation = [code_point](int shift) {
        return 0x80u | ((code_point >> shift) & 0x3Fu);
    };
    if (code_point < 0x800) {
        *pending = continuation(0);
        return static_cast<unsigned char>(0xC0u | (code_point >> 6));
    }
    if (code_point < 0x10000) {
        *pending = continuation(6) | continuation(0) << 8;
        return static_cast<unsigned char>(0xE0u | (code_point >> 12));
    }
    *pending = continuation(12) | continuation(6) << 8 | continuation(0) << 16;
    return static_cast<unsigned char>(0xF0u | (code_point >> 18));
}

// Decodes the escape whose backslash is at the cursor. Works on copies of the state and
// commits them only on success, so an error leaves the decoder where it was and
// every later step reports the same error again.
unsigned char decode_escape(JsonUnescaper* unescaper) noexcept {
    size_t remaining = unescaper->remaining - 1;
    const char* cursor = unescaper->cursor + 1;
    if (remaining == 0) return 0;
    const char letter = *cursor++;
    --remaining;
    unsigned char byte = short_escape_byte(letter);
    uint32_t pending = 0;
    if (letter == 'u') {
        uint32_t code_point = 0;
        if (!read_code_point(&remaining, &cursor, &code_point)) return 0;
        byte = code_point < 0x80 ? static_cast<unsigned char>(code_point)
                                 : encode_utf8(code_point, &pending);
    }
    if (byte == 0) return 0;  // an unknown letter, or \u0000
    unescaper->remaining = remaining;
    unescaper->cursor = cursor;
    unescaper->pending = pending;
    return byte;
}

}  // namespace

unsigned char json_unescape_next(JsonUnescaper* unescaper) noexcept {
    if (unescaper == nullptr) return 0;
    if (unescaper->pending != 0) {
        const auto byte = static_cast<unsigned char>(unescaper->pending & 0xFF);
        unescaper->pending >>= 8;
        return byte;
    }
    if (unescaper->remaining == 0 || unescaper->cursor == nullptr) {
        unescaper->cursor = nullptr;
        return 0;
    }
    const char raw = *unescaper->cursor;
    if (raw == '\\') return decode_escape(unescaper);
    if (raw == '\0') return 0;  // cannot be delivered: an error, and the cursor stays
    --unescaper->remaining;
    return static_cast<unsigned char>(*unescaper->cursor++);
}

bool json_read_hex4(size_t* remaining, const char** cursor, uint16_t* value) noexcept {
    if (remaining == nullptr || cursor == nullptr || *cursor == nullptr || value == nullptr) {
        return false;
    }
    uint16_t result = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = *remaining == 0 ? -1 : hex_digit_value(**cursor);
        if (digit < 0) return false;
        result = static_cast<uint16_t>(result * 16 + digit);
        ++*cursor;
        --*remaining;
    }
    *value = result;
    return true;
}

char* json_unescape(const char* raw, size_t length, char* out) noexcept {
    if (out == nullptr) return nullptr;
    if (raw == nullptr && length != 0) {
        *out = '\0';
        return nullptr;
    }
    JsonUnescaper unescaper{0, length, raw};
    for (unsigned char byte; (byte = json_unescape_next(&unescaper)) != 0;) {
        *out++ = static_cast<char>(byte);
    }
    *out = '\0';
    return unescaper.cursor == nullptr ? out : nullptr;
}
