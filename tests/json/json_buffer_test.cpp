#include "json/json_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr char kPoison = '\x55';

// Checks the buffer layout: text, NUL, zero padding, sentinel "J" in the last byte.
::testing::AssertionResult LayoutIntact(const std::vector<char>& bytes) {
    const size_t length = strnlen(bytes.data(), bytes.size());
    if (length + 2 > bytes.size()) return ::testing::AssertionFailure() << "no terminator room";
    for (size_t i = length + 1; i + 1 < bytes.size(); ++i) {
        if (bytes[i] != 0) return ::testing::AssertionFailure() << "padding byte " << i << " set";
    }
    if (bytes.back() != 'J') return ::testing::AssertionFailure() << "sentinel missing";
    return ::testing::AssertionSuccess();
}

// A poisoned buffer of `size` bytes laid out with `text`.
struct Buffer {
    std::vector<char> bytes;
    char* init_result;

    Buffer(size_t size, const char* text)
        : bytes(size, kPoison), init_result(json_buffer_init(bytes.data(), size, text)) {}
    char* at(size_t offset) { return bytes.data() + offset; }
    std::string text() const { return bytes.data(); }
    ptrdiff_t offset(const char* p) const { return p - bytes.data(); }
};

// A heap buffer that the hook doubles, copying the text over as a status does.
struct GrowingBuffer {
    std::vector<char> bytes;
    size_t max_size = SIZE_MAX;
    int grow_calls = 0;
    JsonGrowHook hook{&GrowingBuffer::grow, this};

    GrowingBuffer(size_t size, const char* text) : bytes(size, kPoison) {
        json_buffer_init(bytes.data(), size, text);
    }
    static char* grow(char* position, void* user) {
        auto* self = static_cast<GrowingBuffer*>(user);
        ++self->grow_calls;
        const size_t size = self->bytes.size() * 2;
        if (size > self->max_size) return nullptr;
        std::vector<char> bigger(size, kPoison);
        if (json_buffer_init(bigger.data(), size, self->bytes.data()) == nullptr) return nullptr;
        const ptrdiff_t offset = position - self->bytes.data();
        self->bytes.swap(bigger);
        return self->bytes.data() + offset;
    }
    std::string text() const { return bytes.data(); }
};

TEST(JsonBufferInit, LaysOutTextTerminatorPaddingAndSentinel) {
    Buffer buffer(8, "{}");
    EXPECT_EQ(buffer.init_result, buffer.at(1)) << "the root object's closing brace";
    EXPECT_EQ(std::string(buffer.bytes.data(), 8), std::string("{}\0\0\0\0\0J", 8));
}

TEST(JsonBufferInit, FitsExactlyWhenLengthPlusTwoIsTheSize) {
    Buffer fits(5, "abc");
    EXPECT_EQ(fits.init_result, fits.at(2));
    EXPECT_EQ(std::string(fits.bytes.data(), 5), std::string("abc\0J", 5));

    Buffer too_small(4, "abc");
    EXPECT_EQ(too_small.init_result, nullptr);
    EXPECT_EQ(too_small.bytes, std::vector<char>(4, kPoison)) << "a failed init changes nothing";
    EXPECT_EQ(json_buffer_init(nullptr, 8, "{}"), nullptr);
}

TEST(JsonBufferInit, NullTextKeepsTheTextAlreadyThere) {
    std::vector<char> bytes(10, kPoison);
    std::memcpy(bytes.data(), "[1]", 4);
    EXPECT_EQ(json_buffer_init(bytes.data(), bytes.size(), nullptr), bytes.data() + 2);
    EXPECT_EQ(std::string(bytes.data(), 10), std::string("[1]\0\0\0\0\0\0J", 10));

    std::vector<char> unterminated(6, 'x');
    EXPECT_EQ(json_buffer_init(unterminated.data(), 6, nullptr), nullptr)
        << "the search for the terminator stops at the buffer's end";
    EXPECT_EQ(unterminated, std::vector<char>(6, 'x'));
}

TEST(JsonBufferInit, EmptyTextReturnsTheTerminatorWhichAppendsWithoutComma) {
    Buffer buffer(16, "");
    ASSERT_EQ(buffer.init_result, buffer.at(0));
    char* end = json_insert_string(buffer.init_result, "a", "b");
    EXPECT_EQ(buffer.text(), R"("a":"b")");
    EXPECT_EQ(end, buffer.at(7));
    EXPECT_TRUE(LayoutIntact(buffer.bytes));
}

TEST(JsonBuffer, WorkedExampleBuildsNestedObject) {
    Buffer buffer(512, "{}");
    GrowingBuffer unused(4, "{}");  // its hook must never be needed in 512 bytes
    const JsonGrowHook* hook = &unused.hook;

    char* p = json_open_object(buffer.init_result, "abc", hook);
    EXPECT_EQ(buffer.text(), R"({"abc":{}})");
    EXPECT_EQ(buffer.offset(p), 8);
    p = json_add_string(p, "a", "b", hook);
    EXPECT_EQ(buffer.text(), R"({"abc":{"a":"b"}})");
    EXPECT_EQ(buffer.offset(p), 15);
    p = json_add_int(p, "c", -1, hook);
    EXPECT_EQ(buffer.text(), R"({"abc":{"a":"b","c":-1}})");
    EXPECT_EQ(buffer.offset(p), 22);
    p = json_close(p);
    EXPECT_EQ(buffer.offset(p), 23) << "the outer closing brace";
    p = json_add_ulong(p, "b", 42, hook);
    EXPECT_EQ(buffer.text(), R"({"abc":{"a":"b","c":-1},"b":42})");
    EXPECT_EQ(buffer.offset(p), 30);
    EXPECT_EQ(unused.grow_calls, 0);
    EXPECT_TRUE(LayoutIntact(buffer.bytes));
}

struct PlacementCase {
    const char* text;
    size_t position;
    const char* name;
    const char* expected;
    ptrdiff_t returned;  // offset of the returned position
};

TEST(JsonBuffer, CommaPlacementFollowsTheByteAtThePosition) {
    const PlacementCase cases[] = {
        {"{}", 1, "a", R"({"a":"v"})", 8},                  // closer, empty
        {R"({"x":1})", 6, "a", R"({"x":1,"a":"v"})", 14},   // closer after a member
        {"{ }", 2, "a", R"({ "a":"v"})", 9},                // white space only: empty
        {"[ \n]", 3, nullptr, "[ \n\"v\"]", 6},             //
        {"[]", 1, nullptr, R"(["v"])", 4},                  //
        {"{}", 0, "a", R"({"a":"v"})", 8},                  // opener, empty
        {R"({"x":1})", 0, "a", R"({"a":"v","x":1})", 8},    // opener before a member
        {"{ }", 0, "a", R"({"a":"v" })", 8},                // opener, white space: empty
        {R"({ "x":1})", 0, "a", R"({"a":"v", "x":1})", 8},  // opener, space, member
        {"[[1]]", 0, nullptr, R"(["v",[1]])", 4},           // first element a container
        {"[[]]", 1, nullptr, R"([["v"]])", 5},              // inner opener
        {"[1,2]", 2, nullptr, R"([1,"v",2])", 6},           // at a comma: before it
        {"", 0, "a", R"("a":"v")", 7},                      // terminator of empty text
        {"{}", 2, "a", R"({}"a":"v")", 9},                  // terminator: no comma
    };
    for (const PlacementCase& c : cases) {
        Buffer buffer(64, c.text);
        char* end = json_insert_string(buffer.at(c.position), c.name, "v");
        EXPECT_EQ(buffer.text(), c.expected) << c.text << " at " << c.position;
        EXPECT_EQ(buffer.offset(end), c.returned) << c.text << " at " << c.position;
        EXPECT_TRUE(LayoutIntact(buffer.bytes)) << c.text;
    }
}

TEST(JsonBuffer, ChainedInsertsKeepCallOrder) {
    Buffer array(32, "[]");
    char* p = json_add_string(array.init_result, nullptr, "abc", nullptr);
    EXPECT_EQ(array.text(), R"(["abc"])");
    p = json_add_string(p, nullptr, "abc", nullptr);
    EXPECT_EQ(array.text(), R"(["abc","abc"])");
    EXPECT_EQ(*p, ']');

    Buffer object(64, R"({"z":0})");
    p = json_insert_int(object.at(0), "a", 1);  // at the opener, then chained on
    p = json_insert_int(p, "b", 2);
    p = json_insert_object(p, "c");
    EXPECT_EQ(object.text(), R"({"a":1,"b":2,"c":{},"z":0})");
    EXPECT_EQ(*p, ',');
}

TEST(JsonBuffer, NumbersAndEscapesAreWrittenExactly) {
    Buffer buffer(256, "[]");
    char* p = buffer.init_result;
    p = json_insert_int(p, nullptr, INT32_MIN);
    p = json_insert_int(p, nullptr, INT32_MAX);
    p = json_insert_uint(p, nullptr, UINT32_MAX);
    p = json_insert_ulong(p, nullptr, UINT64_MAX);
    p = json_insert_ulong(p, nullptr, 0);
    p = json_insert_string(p, nullptr,
                           "q\"b\\t\tc\x01"
                           "d\x7f/\x80\xff");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(buffer.text(),
              "[-2147483648,2147483647,4294967295,18446744073709551615,0,"
              "\"q\\\"b\\\\t\\tc\\u0001d\\u007f/\x80\xff\"]");
}

struct SweepCase {
    const char* label;
    const char* text;
    size_t position;
    std::function<char*(char*)> insert;
    const char* expected;
};

// Lays the text into every buffer size around the boundary: an insertion fits exactly
// when L + m + 2 <= S, and below that fails with every byte of the buffer unchanged.
TEST(JsonBuffer, InsertionFitsExactlyTheRoomLeft) {
    const SweepCase cases[] = {
        {"string with escapes", "{}", 1,
         [](char* p) { return json_insert_string(p, "n\"", "v\x01"); }, R"({"n\"":"v\u0001"})"},
        {"int after a member", R"({"a":1})", 6,
         [](char* p) { return json_insert_int(p, "i", INT32_MIN); }, R"({"a":1,"i":-2147483648})"},
        {"uint at the opener", R"({"a":1})", 0,
         [](char* p) { return json_insert_uint(p, "u", UINT32_MAX); }, R"({"u":4294967295,"a":1})"},
        {"bare ulong", "[1]", 2, [](char* p) { return json_insert_ulong(p, nullptr, UINT64_MAX); },
         "[1,18446744073709551615]"},
        {"object", "{}", 1, [](char* p) { return json_insert_object(p, "o"); }, R"({"o":{}})"},
        {"one byte", "[]", 1, [](char* p) { return json_insert_uint(p, nullptr, 0); }, "[0]"},
    };
    for (const SweepCase& c : cases) {
        const size_t length = std::strlen(c.text);
        const size_t grown = std::strlen(c.expected);
        for (size_t size = length + 2; size <= grown + 4; ++size) {
            Buffer buffer(size, c.text);
            const std::vector<char> before = buffer.bytes;
            char* end = c.insert(buffer.at(c.position));
            if (grown + 2 <= size) {
                EXPECT_NE(end, nullptr) << c.label << ", size " << size;
                EXPECT_EQ(buffer.text(), c.expected) << c.label << ", size " << size;
                EXPECT_TRUE(LayoutIntact(buffer.bytes)) << c.label << ", size " << size;
            } else {
                EXPECT_EQ(end, nullptr) << c.label << ", size " << size;
                EXPECT_EQ(buffer.bytes, before) << c.label << ", size " << size;
            }
        }
    }
}

TEST(JsonBuffer, MakeRoomRefusesAGapThatCannotExist) {
    Buffer buffer(16, "[1]");
    const std::vector<char> before = buffer.bytes;
    EXPECT_EQ(json_make_room(buffer.at(2), SIZE_MAX), nullptr) << "n + comma wraps around";
    EXPECT_EQ(json_make_room(nullptr, 1), nullptr);
    EXPECT_EQ(json_insert_string(nullptr, "a", "b"), nullptr);
    EXPECT_EQ(json_insert_string(buffer.at(2), "a", nullptr), nullptr);
    EXPECT_EQ(buffer.bytes, before);
}

TEST(JsonBufferGrowing, HookWithoutFunctionBehavesLikeTheTwin) {
    const JsonGrowHook no_fn{nullptr, nullptr};
    for (const JsonGrowHook* hook : {&no_fn, static_cast<const JsonGrowHook*>(nullptr)}) {
        Buffer roomy(32, "{}");
        Buffer twin(32, "{}");
        char* end = json_add_int(roomy.init_result, "n", 7, hook);
        char* twin_end = json_insert_int(twin.init_result, "n", 7);
        EXPECT_EQ(roomy.text(), twin.text());
        EXPECT_EQ(roomy.offset(end), twin.offset(twin_end));

        Buffer tight(8, "{}");
        const std::vector<char> before = tight.bytes;
        EXPECT_EQ(json_add_string(tight.init_result, "n", "value", hook), nullptr);
        EXPECT_EQ(tight.bytes, before);
    }
}

TEST(JsonBufferGrowing, NullPositionPassesThroughWithoutCallingTheHook) {
    GrowingBuffer buffer(4, "{}");
    const JsonGrowHook* hook = &buffer.hook;
    char* p = json_open_object(nullptr, "a", hook);
    p = json_add_string(p, "b", "c", hook);
    p = json_add_int(p, "d", 1, hook);
    p = json_add_ulong(p, "e", 2, hook);
    EXPECT_EQ(json_close(p), nullptr);
    EXPECT_EQ(buffer.grow_calls, 0);
    EXPECT_EQ(buffer.text(), "{}");
}

TEST(JsonBufferGrowing, GrowsUntilTheMemberFits) {
    GrowingBuffer buffer(4, "{}");
    const std::string value(300, 'v');
    char* p = json_open_object(buffer.bytes.data() + 1, "o", &buffer.hook);
    p = json_close(json_add_string(p, "s", value.c_str(), &buffer.hook));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(buffer.text(), R"({"o":{"s":")" + value + R"("}})");
    EXPECT_EQ(p, buffer.bytes.data() + buffer.text().size() - 1) << "at the root's closer";
    EXPECT_EQ(buffer.bytes.size(), 512u);
    EXPECT_EQ(buffer.grow_calls, 7) << "4 -> 512 by doubling";
    EXPECT_TRUE(LayoutIntact(buffer.bytes));
}

TEST(JsonBufferGrowing, FailedGrowthLeavesTheTextUnchanged) {
    GrowingBuffer buffer(4, "{}");
    buffer.max_size = 16;
    const std::string value(100, 'v');
    EXPECT_EQ(json_add_string(buffer.bytes.data() + 1, "s", value.c_str(), &buffer.hook), nullptr);
    EXPECT_EQ(buffer.text(), "{}");
    EXPECT_EQ(buffer.bytes.size(), 16u) << "the growth that succeeded is kept";
    EXPECT_TRUE(LayoutIntact(buffer.bytes));
}

}  // namespace
