#include "json/json_lookup.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "json/json_escape.h"

namespace {

// Offset of a lookup result in its text, -1 for null.
ptrdiff_t offset_in(const char* text, const char* found) {
    return found == nullptr ? -1 : found - text;
}

TEST(JsonLookup, FindsTheFirstDirectMemberByDecodedName) {
    const struct {
        const char* text;
        const char* name;
        ptrdiff_t value;  // -1: not found
    } cases[] = {
        {R"({"a":1,"b":"x"})", "b", 11},
        {R"({"a":1,"b":"x"})", "c", -1},
        {" \n{ \"a\" :\t1 }", "a", 10},
        {"{}", "a", -1},
        {R"(["a",1])", "a", -1},
        {R"( x{"a":1})", "a", -1},
        {R"({"\u0061":1})", "a", 10},         // an escaped name
        {R"({"a":1,"a":2})", "a", 5},         // duplicates: the first wins
        {R"({"a":1,"b":})", "a", 5},          // nothing after the match is checked
        {R"({"a":1,"b":})", "b", 11},         // the closing brace
        {R"({"a":x,"b":1})", "b", -1},        // an invalid member before the match
        {R"({"o":{"b":1}})", "b", -1},        // nested members are not searched
        {R"({"a\u0000":1,"a":2})", "a", 17},  // a name that fails to decode matches nothing
        {R"({"":1})", "", 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(offset_in(c.text, json_find_member(c.text, c.name)), c.value)
            << c.text << " for " << c.name;
    }
    EXPECT_EQ(json_find_member(nullptr, "a"), nullptr);
    EXPECT_EQ(json_find_member("{}", nullptr), nullptr);
}

TEST(JsonLookup, NameEqualsComparesDecodedBytesToTheEnd) {
    const struct {
        const char* name;
        const char* raw;
        bool equal;
    } cases[] = {
        {"ab", "ab", true},       {"ab", "a", false},   {"a", "ab", false},
        {"", "", true},           {"\t", "\\t", true},  {"\xc3\xa9", "\\u00e9", true},
        {"a", "a\\u0000", false}, {"a", "a\\x", false}, {"a", "a\\", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(json_name_equals(c.name, c.raw, std::strlen(c.raw)), c.equal) << c.raw;
    }
    EXPECT_FALSE(json_name_equals(nullptr, "a", 1));
}

struct UnescapeCase {
    const char* raw;
    size_t length;
    std::string decoded;
    bool complete;
};

TEST(JsonUnescape, DecodesIntoRawLengthPlusOneAndNoFurther) {
    const UnescapeCase cases[] = {
        {R"(a\tb)", 4, "a\tb", true},
        {R"(\u00e9)", 6, "\xc3\xa9", true},
        {R"(\u20ac)", 6, "\xe2\x82\xac", true},
        {R"(\ud83d\ude00)", 12, "\xf0\x9f\x98\x80", true},
        {R"(\uDBFF\uDFFF)", 12, "\xf4\x8f\xbf\xbf", true},
        {R"(\udbff\u0041)", 12, "\xf4\x92\x81\x81", true},  // halves not checked
        {R"(\"\\\/\b\f\n\r\t)", 16, "\"\\/\b\f\n\r\t", true},
        {R"(x\u0041\u007f)", 13, "xA\x7f", true},
        {R"(a\u0000b)", 8, "a", false},
        {R"(x\ud800)", 7, "x", false},       // a lone high half at the end
        {R"(x\ud800\n)", 9, "x", false},     // not followed by \u
        {R"(\udfff\uffff)", 12, "", false},  // beyond 0x1FFFFF
        {R"(ab\u00e9)", 5, "ab", false},     // the length cuts the escape
        {R"(ab\t)", 3, "ab", false},         // ... right after the backslash
        {R"(ab\u12g4)", 8, "ab", false},
        {R"(a\xb)", 4, "a", false},
        {"a\0b", 3, "a", false},  // a raw NUL cannot be delivered
        {"", 0, "", true},
    };
    for (const UnescapeCase& c : cases) {
        std::string out(c.length + 1 + 4, '#');  // the last four bytes must stay untouched
        char* end = json_unescape(c.raw, c.length, &out[0]);
        EXPECT_EQ(std::string(out.c_str()), c.decoded) << c.raw;
        EXPECT_EQ(out.substr(c.length + 1), "####") << c.raw;
        if (c.complete) {
            EXPECT_EQ(end, &out[0] + c.decoded.size()) << c.raw;
        } else {
            EXPECT_EQ(end, nullptr) << c.raw;
        }
    }
    char out[4] = "###";
    EXPECT_EQ(json_unescape(nullptr, 0, out), out);
    EXPECT_EQ(json_unescape(nullptr, 2, out), nullptr);
    EXPECT_EQ(json_unescape("a", 1, nullptr), nullptr);
}

TEST(JsonUnescape, EveryEscapedByteDecodesBackToItself) {
    std::string all_bytes;
    for (int byte = 1; byte <= 0xFF; ++byte) all_bytes += static_cast<char>(byte);
    std::string raw(json_escaped_length(all_bytes.c_str()), '\0');
    json_write_escaped(&raw[0], all_bytes.c_str());

    std::string out(raw.size() + 1, '#');
    ASSERT_NE(json_unescape(raw.data(), raw.size(), &out[0]), nullptr);
    EXPECT_EQ(std::string(out.c_str()), all_bytes);
}

TEST(JsonUnescape, AnErrorRepeatsAndOnlyTheCleanEndClearsTheCursor) {
    const char* raw = R"(\u00e9\x)";
    JsonUnescaper unescaper{0, 8, raw};
    EXPECT_EQ(json_unescape_next(&unescaper), 0xC3);
    EXPECT_EQ(unescaper.pending, 0xA9u) << "the continuation byte waits";
    EXPECT_EQ(json_unescape_next(&unescaper), 0xA9);
    EXPECT_EQ(json_unescape_next(&unescaper), 0) << "\\x is an error";
    EXPECT_EQ(unescaper.cursor, raw + 6);
    EXPECT_EQ(json_unescape_next(&unescaper), 0) << "and stays one";
    EXPECT_EQ(unescaper.cursor, raw + 6);

    JsonUnescaper clean{0, 1, "a"};
    EXPECT_EQ(json_unescape_next(&clean), 'a');
    EXPECT_EQ(json_unescape_next(&clean), 0);
    EXPECT_EQ(clean.cursor, nullptr);
}

TEST(JsonUnescape, ReadHex4ConsumesDigitsUntilTheFirstBadByte) {
    const char* text = "00eFx";
    const char* cursor = text;
    size_t remaining = 5;
    uint16_t value = 0;
    EXPECT_TRUE(json_read_hex4(&remaining, &cursor, &value));
    EXPECT_EQ(value, 0x00EF);
    EXPECT_EQ(cursor, text + 4);
    EXPECT_EQ(remaining, 1u);

    const char* bad = "12g4";
    cursor = bad;
    remaining = 4;
    value = 0x5A5A;
    EXPECT_FALSE(json_read_hex4(&remaining, &cursor, &value));
    EXPECT_EQ(cursor, bad + 2);
    EXPECT_EQ(remaining, 2u);
    EXPECT_EQ(value, 0x5A5A) << "no value on failure";

    cursor = text;
    remaining = 3;
    EXPECT_FALSE(json_read_hex4(&remaining, &cursor, &value)) << "only three bytes remain";
}

TEST(JsonGetters, GetIntConvertsOrGivesTheFallback) {
    const struct {
        const char* text;
        int32_t value;  // -99: the fallback
        ptrdiff_t end;  // -1: null
    } cases[] = {
        {"42", 42, 2},
        {"-7", -7, 2},
        {" 2.9,", 2, 4},
        {"-2.9", -2, 4},
        {"010", 8, 3},
        {"0x10", 16, 1},
        {"08", 0, 2},
        {"-0", 0, 2},
        {"1e2", 100, 3},
        {"2147483647", 2147483647, 10},
        {"-2147483648", INT32_MIN, 11},
        {"2147483648", -99, -1},
        {"-2147483649", -99, -1},
        {"0x7fffffff", INT32_MAX, 1},
        {"0x80000000", -99, -1},
        {"-0x80000000", INT32_MIN, 2},
        {"017777777777", INT32_MAX, 12},
        {"020000000000", -99, -1},
        {"99999999999999999999999", -99, -1},
        {"2147483647.9", INT32_MAX, 12},
        {"-2147483648.9", INT32_MIN, 13},
        {"2147483648.0", -99, -1},
        {"1e10", -99, -1},
        {"1e999", -99, -1},
        {"-1e999", -99, -1},
        {"-", -99, -1},
        {"-.", -99, -1},
        {"-e5", -99, -1},
        {R"("42")", -99, -1},
        {"true", -99, -1},
        {"}", -99, -1},
    };
    for (const auto& c : cases) {
        const char* end = reinterpret_cast<const char*>(&c);  // poisoned
        EXPECT_EQ(json_get_int(c.text, -99, &end), c.value) << c.text;
        EXPECT_EQ(offset_in(c.text, end), c.end) << c.text;
    }
    EXPECT_EQ(json_get_int(nullptr, 5, nullptr), 5);
}

TEST(JsonGetters, NumberToIntLeavesTheOutputAloneOnFailure) {
    const char* text = "4294967296";
    JsonValueInfo number{};
    number.kind = JSON_KIND_NUMBER;
    number.start = text;
    number.length = std::strlen(text);
    number.is_real = false;
    int32_t out = 1234;
    EXPECT_FALSE(json_number_to_int(&number, &out));
    EXPECT_EQ(out, 1234);
    EXPECT_FALSE(json_number_to_int(nullptr, &out));
    EXPECT_FALSE(json_number_to_int(&number, nullptr));
}

// Makes de_DE.UTF-8 in `directory` with localedef, unless an earlier run did. False when
// there is no localedef; a localedef that fails is a test failure.
bool makeGermanLocale(const std::string& directory) {
    const std::string made = directory + "/de_DE.UTF-8";
    if (access((made + "/LC_NUMERIC").c_str(), F_OK) == 0) return true;
    mkdir(directory.c_str(), 0755);
    std::string args[] = {"localedef", "-i", "de_DE", "-f", "UTF-8", made};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "localedef status " << status;
    return true;
}

// The machine's de_DE.UTF-8 where it is installed; else one made in the build tree and
// found through LOCPATH. Skipped only where there is neither the locale nor localedef.
TEST(JsonGetters, RealsReadInALocaleWithADecimalComma) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        if (!makeGermanLocale(JSON_TEST_LOCALES)) GTEST_SKIP() << "no de_DE locale nor localedef";
        ASSERT_EQ(setenv("LOCPATH", JSON_TEST_LOCALES, 1), 0);
        ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr)
            << "made in " JSON_TEST_LOCALES;
    }
    EXPECT_STREQ(std::localeconv()->decimal_point, ",") << "not a decimal comma";
    const int32_t value = json_get_int("-12.75e1", 0, nullptr);
    const int32_t plain = json_get_int("3", 0, nullptr);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(value, -127);
    EXPECT_EQ(plain, 3);
}

TEST(JsonGetters, GetStringGivesRawContentOrTheFallback) {
    const char* text = R"( "a\tb" ,)";
    size_t length = 99;
    const char* end = nullptr;
    EXPECT_EQ(json_get_string(text, "", &length, &end), text + 2);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(end, text + 7);

    const char* fallback = "";
    end = text;
    EXPECT_EQ(json_get_string(nullptr, fallback, &length, &end), fallback);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(end, nullptr);

    const char* other = "fb";
    EXPECT_EQ(json_get_string("12", other, &length, nullptr), other) << "a number is no string";
    EXPECT_EQ(length, 2u);
    EXPECT_EQ(json_get_string("{}", nullptr, &length, &end), nullptr);
    EXPECT_EQ(length, 0u);
}

}  // namespace
