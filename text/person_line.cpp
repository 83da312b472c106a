#include "text/person_line.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "text/utf8.h"

namespace {

struct Range {
    uint32_t first;
    uint32_t last;
};

// The characters written as \uHHHH or \U00HHHHHH, in ascending order.
constexpr Range kUnicodeEscaped[] = {
#include "text/person_line_table.inc"
};

// Counts what it is given, and writes it too when it has somewhere to.
class Sink {
public:
    explicit Sink(char* out) noexcept : out_(out) {}

    void put(char c) noexcept {
        if (out_ != nullptr) out_[size_] = c;
        ++size_;
    }
    void escape(char letter) noexcept {
        put('\\');
        put(letter);
    }
    // \x, \u or \U and `digits` lowercase hexadecimal digits of `value`.
    void hex(char letter, uint32_t value, int digits) noexcept {
        escape(letter);
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
            put("0123456789abcdef"[(value >> shift) & 0xf]);
        }
    }
    size_t size() const noexcept { return size_; }

private:
    char* out_;
    size_t size_ = 0;
};

// A character below 0x80 (a decoded one, so never part of a longer sequence).
void putAscii(char c, const char* backslashed, Sink& sink) noexcept {
    if (c == '\n') return sink.escape('n');
    if (c == '\t') return sink.escape('t');
    if (c == '\r') return sink.escape('r');
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) return sink.hex('x', byte, 2);
    if (backslashed != nullptr && std::strchr(backslashed, c) != nullptr) return sink.escape(c);
    sink.put(c);
}

}  // namespace

bool person_line_escapes(uint32_t codePoint) noexcept {
    // The last range that starts at or below the character holds it, if any does.
    const Range* after =
        std::upper_bound(std::begin(kUnicodeEscaped), std::end(kUnicodeEscaped), codePoint,
                         [](uint32_t point, const Range& range) { return point < range.first; });
    return after != std::begin(kUnicodeEscaped) && codePoint <= after[-1].last;
}

size_t person_line_escape(const char* text, size_t length, const char* backslashed,
                          char* out) noexcept {
    Sink sink(out);
    if (text == nullptr) return 0;
    for (size_t at = 0; at < length;) {
        const Utf8Char next = utf8_decode(text + at, length - at);
        if (next.length == 0) {
            sink.hex('x', static_cast<unsigned char>(text[at]), 2);
            ++at;
            continue;
        }
        if (next.length == 1) {
            putAscii(text[at], backslashed, sink);
        } else if (person_line_escapes(next.codePoint)) {
            if (next.codePoint > 0xffff) {
                sink.hex('U', next.codePoint, 8);
            } else {
                sink.hex('u', next.codePoint, 4);
            }
        } else {
            for (size_t i = 0; i < next.length; ++i) sink.put(text[at + i]);
        }
        at += next.length;
    }
    return sink.size();
}
