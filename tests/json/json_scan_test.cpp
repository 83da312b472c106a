#include "json/json_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A record filled with junk, to see which fields a scan writes.
JsonValueInfo poisoned_record() {
    JsonValueInfo info;
    std::memset(&info, 0x5A, sizeof info);
    info.is_real = true;  // a bool may hold only 0 or 1
    return info;
}

bool same_fields(const JsonValueInfo& a, const JsonValueInfo& b) {
    return a.kind == b.kind && a.start == b.start && a.length == b.length && a.is_real == b.is_real;
}

struct ValidCase {
    const char* text;
    JsonKind kind;
    size_t end;     // offset of the returned position
    size_t start;   // offset of info.start
    size_t length;  // info.length
    bool is_real;   // numbers only
};

TEST(JsonScan, ValidValuesReportKindStartLengthAndEnd) {
    const ValidCase cases[] = {
        {"{}", JSON_KIND_OBJECT, 2, 0, 2, false},
        {"{ }", JSON_KIND_OBJECT, 3, 0, 3, false},
        {"[]", JSON_KIND_ARRAY, 2, 0, 2, false},
        {" \t\r\n[ ]", JSON_KIND_ARRAY, 7, 4, 3, false},
        {R"({"a":[1,{"b":null}],"c":"d"} x)", JSON_KIND_OBJECT, 28, 0, 28, false},
        {"[-,true,false]", JSON_KIND_ARRAY, 14, 0, 14, false},
        {R"("ab\u00e9")", JSON_KIND_STRING, 10, 1, 8, false},
        {R"("\u00E9\"\\\/\b\f\n\r\t")", JSON_KIND_STRING, 24, 1, 22, false},
        {"\"\x7f\x80\xff\"", JSON_KIND_STRING, 5, 1, 3, false},
        {"-", JSON_KIND_NUMBER, 1, 0, 1, false},
        {"1.", JSON_KIND_NUMBER, 2, 0, 2, true},
        {"01", JSON_KIND_NUMBER, 2, 0, 2, false},
        {"1e+", JSON_KIND_NUMBER, 3, 0, 3, true},
        {"1.5,", JSON_KIND_NUMBER, 3, 0, 3, true},
        {"2e3", JSON_KIND_NUMBER, 3, 0, 3, true},
        {"-12E-05]", JSON_KIND_NUMBER, 7, 0, 7, true},
        {"15", JSON_KIND_NUMBER, 2, 0, 2, false},
    };
    for (const ValidCase& c : cases) {
        JsonValueInfo info = poisoned_record();
        const char* end = json_parse_value(c.text, &info);
        ASSERT_NE(end, nullptr) << c.text;
        EXPECT_EQ(end - c.text, static_cast<ptrdiff_t>(c.end)) << c.text;
        EXPECT_EQ(info.kind, c.kind) << c.text;
        EXPECT_EQ(info.start - c.text, static_cast<ptrdiff_t>(c.start)) << c.text;
        EXPECT_EQ(info.length, c.length) << c.text;
        if (c.kind == JSON_KIND_NUMBER) {
            EXPECT_EQ(info.is_real, c.is_real) << c.text;
        }
        EXPECT_EQ(json_parse_value(c.text, nullptr), end) << "no record, same end: " << c.text;
    }
}

// The single scanners write only the fields their kind names.
TEST(JsonScan, LiteralsSetTruthAndLeaveLengthAlone) {
    const char* text = "nullx";
    JsonValueInfo info = poisoned_record();
    EXPECT_EQ(json_parse_value(text, &info), text + 4) << "the byte after a literal is not read";
    EXPECT_EQ(info.kind, JSON_KIND_NULL);

    const JsonValueInfo junk = poisoned_record();
    for (const char* literal : {"true", "false"}) {
        info = junk;
        EXPECT_EQ(json_scan_bool(literal, &info), literal + std::strlen(literal));
        EXPECT_EQ(info.kind, JSON_KIND_BOOL);
        EXPECT_EQ(info.truth, literal[0] == 't' ? 1 : 0);
        EXPECT_EQ(info.length, junk.length) << "a boolean has no length";
    }
    for (const char* string : {R"("s")", "\"a\tb\""}) {
        info = junk;
        json_scan_string(string, &info);
        EXPECT_EQ(info.is_real, junk.is_real) << "a string leaves is_real: " << string;
    }
}

struct ErrorCase {
    const char* text;
    JsonError error;
    size_t position;  // offset of info.start
};

TEST(JsonScan, ErrorsReportCodeAndOffendingByte) {
    const ErrorCase cases[] = {
        {R"({"a":1,})", JSON_ERR_TRAILING_COMMA, 7},       // {"a":1,}
                                                           //        ^
        {R"({"a" 1})", JSON_ERR_NO_COLON, 5},              // {"a" 1}
                                                           //      ^
        {R"({"a":1 "b":2})", JSON_ERR_NO_SEPARATOR, 7},    // {"a":1 "b":2}
                                                           //        ^
        {R"({"a":1)", JSON_ERR_BAD_OBJECT, 6},             // the terminator
        {R"({"a":1,)", JSON_ERR_BAD_STRING, 7},            // no name after the comma
        {R"({"a":})", JSON_ERR_BAD_STRING, 5},             // {"a":}
                                                           //      ^ no scanner takes it
        {R"({"a":1e})", JSON_ERR_BAD_STRING, 5},           // "1e" is no number at all
        {R"({"a":[1,{"b":}]})", JSON_ERR_BAD_STRING, 13},  // the innermost error
        {"{1:2}", JSON_ERR_BAD_STRING, 1},
        {"nul", JSON_ERR_BAD_STRING, 0},
        {"", JSON_ERR_BAD_STRING, 0},
        {"  ", JSON_ERR_BAD_STRING, 2},
        {"\"a\tb\"", JSON_ERR_BAD_STRING, 2},  // a raw tab
        {"[\"\x01\"]", JSON_ERR_BAD_STRING, 2},
        {"\"abc", JSON_ERR_BAD_STRING, 4},
        {R"("a\xb")", JSON_ERR_BAD_ESCAPE, 3},    // "a\xb"
                                                  //    ^
        {R"("\u12g4")", JSON_ERR_BAD_ESCAPE, 5},  // "\u12g4"
                                                  //      ^
        {"\"\\", JSON_ERR_BAD_ESCAPE, 2},
        {"[1,]", JSON_ERR_TRAILING_COMMA, 3},
        {"[1 , \n]", JSON_ERR_TRAILING_COMMA, 6},
        {"[1 2]", JSON_ERR_NO_SEPARATOR, 3},
        {"[1}", JSON_ERR_NO_SEPARATOR, 2},
        {"[1,", JSON_ERR_BAD_STRING, 3},
        {"[1", JSON_ERR_BAD_ARRAY, 2},
        {"[", JSON_ERR_BAD_ARRAY, 1},
        {"{ \n", JSON_ERR_BAD_OBJECT, 3},
    };
    for (const ErrorCase& c : cases) {
        JsonValueInfo info = poisoned_record();
        EXPECT_EQ(json_parse_value(c.text, &info), nullptr) << c.text;
        EXPECT_EQ(info.kind, JSON_KIND_INVALID) << c.text;
        EXPECT_EQ(info.error, c.error) << c.text;
        EXPECT_EQ(info.start - c.text, static_cast<ptrdiff_t>(c.position)) << c.text;
        EXPECT_EQ(json_parse_value(c.text, nullptr), nullptr) << c.text;
    }
}

TEST(JsonScan, NullTextHasNoPosition) {
    JsonValueInfo info = poisoned_record();
    EXPECT_EQ(json_parse_value(nullptr, &info), nullptr);
    EXPECT_EQ(info.kind, JSON_KIND_INVALID);
    EXPECT_EQ(info.error, JSON_ERR_NO_TEXT);
    EXPECT_EQ(info.start, nullptr);
    EXPECT_EQ(json_find_close(static_cast<const char*>(nullptr)), nullptr);
}

TEST(JsonScan, FindCloseNeedsAValidContainerAtTheFirstByte) {
    const struct {
        const char* text;
        ptrdiff_t closer;  // -1: none
    } cases[] = {
        {"{}", 1}, {"[1,[2]]", 6},      {"{}x", 1}, {" {}", -1},
        {"x", -1}, {R"({"a":1,})", -1}, {"", -1},
    };
    for (const auto& c : cases) {
        const char* closer = json_find_close(c.text);
        EXPECT_EQ(closer == nullptr ? -1 : closer - c.text, c.closer) << c.text;
    }
}

TEST(JsonScan, EveryProperPrefixOfAContainerFails) {
    const std::string text = R"({"a":[1,2.5,{"b":"c\u00e9"}],"d":true,"e":null})";
    ASSERT_EQ(json_find_close(text.c_str()), text.c_str() + text.size() - 1);
    for (size_t cut = 0; cut < text.size(); ++cut) {
        const std::string prefix = text.substr(0, cut);
        EXPECT_EQ(json_find_close(prefix.c_str()), nullptr) << prefix;
        EXPECT_EQ(json_parse_value(prefix.c_str(), nullptr), nullptr) << prefix;
    }
}

std::string nested_arrays(size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

TEST(JsonScanDepth, AcceptsTheMaximumAndStopsAtTheOpenerBeyond) {
    const std::string deepest = nested_arrays(JSON_MAX_DEPTH);
    EXPECT_EQ(json_find_close(deepest.c_str()), deepest.c_str() + deepest.size() - 1);

    const std::string too_deep = nested_arrays(JSON_MAX_DEPTH + 1);
    JsonValueInfo info = poisoned_record();
    EXPECT_EQ(json_parse_value(too_deep.c_str(), &info), nullptr);
    EXPECT_EQ(info.error, JSON_ERR_TOO_DEEP);
    EXPECT_EQ(info.start - too_deep.c_str(), JSON_MAX_DEPTH) << "the opener that goes too deep";
    EXPECT_EQ(json_find_close(too_deep.c_str()), nullptr);

    std::string objects;
    for (int i = 0; i <= JSON_MAX_DEPTH; ++i) objects += R"({"a":)";
    objects += "1" + std::string(JSON_MAX_DEPTH + 1, '}');
    EXPECT_EQ(json_parse_value(objects.c_str(), &info), nullptr);
    EXPECT_EQ(info.error, JSON_ERR_TOO_DEEP);
    EXPECT_EQ(info.start - objects.c_str(), JSON_MAX_DEPTH * 5);
}

TEST(JsonScanDepth, HugeNestingIsAnErrorNotACrash) {
    for (const char* opener : {"[", R"({"a":)", "[{\"\":"}) {
        std::string text;
        for (int i = 0; i < 100000; ++i) text += opener;
        JsonValueInfo info = poisoned_record();
        EXPECT_EQ(json_parse_value(text.c_str(), &info), nullptr) << opener;
        EXPECT_EQ(info.error, JSON_ERR_TOO_DEEP) << opener;
        EXPECT_EQ(json_find_close(text.c_str()), nullptr) << opener;
        EXPECT_EQ(json_scan_element(text.c_str(), &info), nullptr) << opener;
        EXPECT_EQ(info.error, JSON_ERR_TOO_DEEP) << opener;
    }
}

TEST(JsonScanMembers, NameMemberAndElementScanners) {
    const char* member = R"("k" : [1] , "n":2})";
    JsonRawText name{nullptr, 99};
    JsonValueInfo error = poisoned_record();
    EXPECT_EQ(json_scan_member(member, &name, &error), member + 12) << "the next name";
    EXPECT_EQ(name.start, member + 1);
    EXPECT_EQ(name.length, 1u);

    JsonValueInfo info = poisoned_record();
    EXPECT_EQ(json_scan_name(member, &info), member + 6) << "the value, past the colon";
    EXPECT_EQ(info.kind, JSON_KIND_STRING);
    EXPECT_EQ(info.start, member + 1);
    EXPECT_EQ(info.length, 1u);
    EXPECT_EQ(json_scan_name(R"("a")", &info), nullptr);
    EXPECT_EQ(info.error, JSON_ERR_NO_COLON);

    // At the closer the item scanners stop without an error.
    const JsonValueInfo junk = poisoned_record();
    error = junk;
    EXPECT_EQ(json_scan_member("}", &name, &error), nullptr);
    EXPECT_EQ(json_scan_element("]", &error), nullptr);
    EXPECT_TRUE(same_fields(error, junk));

    const char* elements = "1 ,\t2]";
    EXPECT_EQ(json_scan_element(elements, &error), elements + 4);
    EXPECT_EQ(json_scan_member_value(R"(true,})", &error), nullptr);
    EXPECT_EQ(error.error, JSON_ERR_TRAILING_COMMA);
}

TEST(JsonScanMembers, NullPositionIsNoText) {
    JsonValueInfo info = poisoned_record();
    EXPECT_EQ(json_scan_value(nullptr, &info), nullptr);
    EXPECT_EQ(info.error, JSON_ERR_NO_TEXT);
    EXPECT_EQ(json_scan_member(nullptr, nullptr, nullptr), nullptr);
}

}  // namespace
