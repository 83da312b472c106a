#include "text/utf8.h"

namespace {

// The bytes a well-formed sequence takes after its lead byte, and the range its second
// byte must lie in: narrower than 0x80-0xBF only where a wider one would allow an
// overlong form, a surrogate or a code point above U+10FFFF.
struct Lead {
    size_t length;  // 0: not a lead byte
    uint32_t bits;  // the code point bits the lead byte carries
    unsigned secondLow;
    unsigned secondHigh;
};

Lead leadOf(unsigned byte) noexcept {
    if (byte < 0x80) return {1, byte, 0, 0};
    if (byte >= 0xc2 && byte <= 0xdf) return {2, byte & 0x1fu, 0x80, 0xbf};
    if (byte == 0xe0) return {3, 0, 0xa0, 0xbf};
    if (byte == 0xed) return {3, 0xd, 0x80, 0x9f};
    if (byte >= 0xe1 && byte <= 0xef) return {3, byte & 0x0fu, 0x80, 0xbf};
    if (byte == 0xf0) return {4, 0, 0x90, 0xbf};
    if (byte >= 0xf1 && byte <= 0xf3) return {4, byte & 0x07u, 0x80, 0xbf};
    if (byte == 0xf4) return {4, 4, 0x80, 0x8f};
    return {0, 0, 0, 0};
}

}  // namespace

Utf8Char utf8_decode(const char* text, size_t length) noexcept {
    if (text == nullptr || length == 0) return {0, 0};
    const Lead lead = leadOf(static_cast<unsigned char>(text[0]));
    if (lead.length == 0 || lead.length > length) return {0, 0};
    uint32_t codePoint = lead.bits;
    unsigned low = lead.secondLow;
    unsigned high = lead.secondHigh;
    for (size_t i = 1; i < lead.length; ++i) {
        const unsigned next = static_cast<unsigned char>(text[i]);
        if (next < low || next > high) return {0, 0};
        codePoint = codePoint << 6 | (next & 0x3fu);
        low = 0x80;
        high = 0xbf;
    }
    return {codePoint, lead.length};
}
