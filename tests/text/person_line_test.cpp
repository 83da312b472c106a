// The escaper for a line a person reads: every byte alone, then each class of character
// it escapes beside the neighbours it keeps, and the bytes that are not UTF-8.
#include "text/person_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string escaped(const std::string& text, const char* backslashed = nullptr) {
    std::string out(person_line_escape(text.data(), text.size(), backslashed, nullptr) + 4, '#');
    person_line_escape(text.data(), text.size(), backslashed, &out[0]);
    EXPECT_EQ(out.substr(out.size() - 4), "####") << "wrote past its length";
    return out.substr(0, out.size() - 4);
}

// A byte alone is printable ASCII, a C escape, or \xHH: a lone byte from 0x80 up is
// never a whole character.
TEST(PersonLine, EveryByteAlone) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        std::string expected = text;
        if (byte == '\n' || byte == '\t' || byte == '\r') {
            expected = byte == '\n' ? "\\n" : byte == '\t' ? "\\t" : "\\r";
        } else if (byte < 0x20 || byte >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned>(byte));
            expected = hex;
        }
        EXPECT_EQ(escaped(text), expected) << "byte " << byte;
    }
}

struct Row {
    const char* in;
    const char* out;
};

// Each class at its edges, with the characters just outside them kept.
const Row kRows[] = {
    {"caf\xc3\xa9 \xe6\x99\x82 \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe6\x99\x82 \xf0\x9f\x98\x80"},
    {"\xc2\x80\xc2\x85\xc2\x9b\xc2\x9f\xc2\xa0", "\\u0080\\u0085\\u009b\\u009f\xc2\xa0"},  // C1
    {"\xe2\x80\xa7\xe2\x80\xa8\xe2\x80\xa9", "\xe2\x80\xa7\\u2028\\u2029"},  // line breaks
    {"\xd8\x9b\xd8\x9c\xd8\x9d", "\xd8\x9b\\u061c\xd8\x9d"},                 // ALM
    {"\xe2\x80\x8a\xe2\x80\x8d\xe2\x80\x8f\xe2\x80\x90", "\xe2\x80\x8a\\u200d\\u200f\xe2\x80\x90"},
    {"\xe2\x80\xaa\xe2\x80\xae\xe2\x80\xaf", "\\u202a\\u202e\xe2\x80\xaf"},  // embeddings
    {"\xe2\x81\x9f\xe2\x81\xa0\xe2\x81\xaf\xe2\x81\xb0", "\xe2\x81\x9f\\u2060\\u206f\xe2\x81\xb0"},
    // Invisible: a byte-order mark before a path, ZERO WIDTH SPACE, SOFT HYPHEN beside the
    // signs around it, a tag character (above U+FFFF), and the first code point past the
    // tags' block.
    {"\xef\xbb\xbf/opt\xe2\x80\x8bx", "\\ufeff/opt\\u200bx"},
    {"\xc2\xac\xc2\xad\xc2\xae", "\xc2\xac\\u00ad\xc2\xae"},
    {"\xf3\xa0\x81\x81\xf3\xa1\x80\x80", "\\U000e0041\xf3\xa1\x80\x80"},
    // Not UTF-8: each byte of an ill-formed sequence alone, what follows read afresh.
    {"\xc0\xaf", "\\xc0\\xaf"},                    // overlong
    {"\xed\xa0\x80", "\\xed\\xa0\\x80"},           // surrogate
    {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},  // above U+10FFFF
    {"a\xe2\x80", "a\\xe2\\x80"},                  // cut short by the end
    {"\xe2\x80"
     "b\xc2\x85",
     "\\xe2\\x80b\\u0085"},                        // cut short by a character
    {"\xff\xfe\x85\x9b", "\\xff\\xfe\\x85\\x9b"},  // stray bytes, CSI and NEL among them
    {"invalid location a\nb\x1b[2J", "invalid location a\\nb\\x1b[2J"},
    {"a\\b \"c\"", "a\\b \"c\""},  // kept unless asked for
};

TEST(PersonLine, EscapesEachClassAndKeepsItsNeighbours) {
    for (const Row& row : kRows) EXPECT_EQ(escaped(row.in), row.out) << "input: " << row.in;
    EXPECT_EQ(escaped(std::string("a\0b", 3)), "a\\x00b");
}

TEST(PersonLine, BackslashesOnlyTheBytesAskedFor) {
    EXPECT_EQ(escaped("a\\b \"c\" \n", "\\\""), "a\\\\b \\\"c\\\" \\n");
    EXPECT_EQ(escaped("a\\b \"c\"", "\\"), "a\\\\b \"c\"");
    EXPECT_EQ(person_line_escape(nullptr, 5, "\\", nullptr), 0u);
}

}  // namespace
