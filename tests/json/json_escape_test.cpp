#include "json/json_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The escaped form of one byte, written out by hand rather than by rule.
std::string expected_escape(unsigned char byte) {
    static const char* const kControls[32] = {
        "",        "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
        "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
        "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
        "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};
    if (byte < 32) return kControls[byte];
    if (byte == '"') return "\\\"";
    if (byte == '\\') return "\\\\";
    if (byte == 0x7F) return "\\u007f";
    return std::string(1, static_cast<char>(byte));
}

TEST(JsonEscape, EveryNonNulByteEscapesAsTheTableSays) {
    std::string all_bytes;
    std::string expected;
    for (int byte = 1; byte <= 0xFF; ++byte) {
        all_bytes += static_cast<char>(byte);
        expected += expected_escape(static_cast<unsigned char>(byte));
    }
    ASSERT_EQ(json_escaped_length(all_bytes.c_str()), expected.size());

    std::string out(expected.size() + 8, '#');  // the tail must stay untouched
    char* end = json_write_escaped(&out[0], all_bytes.c_str());
    EXPECT_EQ(end, &out[0] + expected.size());
    EXPECT_EQ(out, expected + "########");
}

std::string escaped_utf8(const std::string& text) {
    const size_t length = json_escape_utf8(text.data(), text.size(), nullptr);
    if (length == JSON_NOT_UTF8) return "<not UTF-8>";
    std::string out(length + 4, '#');
    EXPECT_EQ(json_escape_utf8(text.data(), text.size(), &out[0]), length);
    EXPECT_EQ(out.substr(length), "####") << "wrote past its length";
    return out.substr(0, length);
}

// ASCII as the builder's table says (NUL included, which the builder never meets); of
// the rest, what YAML readers take otherwise as \uHHHH; and nothing that is not UTF-8.
TEST(JsonEscape, Utf8TextReadsTheSameToJsonAndYamlReaders) {
    for (int byte = 0; byte < 0x80; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        EXPECT_EQ(escaped_utf8(text), byte == 0 ? "\\u0000" : expected_escape(byte)) << byte;
    }
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {std::string("a\0b\0", 4), "a\\u0000b\\u0000"},
        {"/srv/caf\xc3\xa9/\xe6\x99\x82 \xf0\x9f\x98\x80",
         "/srv/caf\xc3\xa9/\xe6\x99\x82 \xf0\x9f\x98\x80"},
        {"\xc2\x80\xc2\x85\xc2\x9b\xc2\x9f\xc2\xa0", "\\u0080\\u0085\\u009b\\u009f\xc2\xa0"},
        {"\xe2\x80\xa7\xe2\x80\xa8\xe2\x80\xa9\xe2\x80\xae",
         "\xe2\x80\xa7\\u2028\\u2029\xe2\x80\xae"},
        {"\xef\xbf\xbd\xef\xbf\xbe\xef\xbf\xbf\xf0\x9f\xbf\xbe",
         "\xef\xbf\xbd\\ufffe\\uffff\xf0\x9f\xbf\xbe"},
        {"/srv/bad\xff", "<not UTF-8>"},
        {"\xc0\xaf", "<not UTF-8>"},
        {"\xed\xa0\x80", "<not UTF-8>"},
        {"a\xe2\x80", "<not UTF-8>"},
    };
    for (const Case& c : cases) EXPECT_EQ(escaped_utf8(c.in), c.out) << "input: " << c.in;
    EXPECT_EQ(json_escape_utf8(nullptr, 3, nullptr), 0u);
}

TEST(JsonEscape, ControlBytesAreExactlyZeroToOneF) {
    for (int byte = 0; byte <= 0xFF; ++byte) {
        EXPECT_EQ(json_is_control(static_cast<unsigned char>(byte)), byte <= 0x1F) << byte;
    }
}

TEST(JsonEscape, NamePrefixIsQuotedEscapedAndColonTerminated) {
    char out[16] = "##############";
    EXPECT_EQ(json_write_name(out, nullptr), out);
    EXPECT_EQ(out[0], '#') << "a null name writes nothing";

    char* end = json_write_name(out, "a\"b");
    EXPECT_EQ(std::string(out, end), "\"a\\\"b\":");
    EXPECT_EQ(*end, '#');
}

}  // namespace
