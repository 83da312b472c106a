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
