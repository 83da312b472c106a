// Status: buffer sizes, the precedence rule, copies and merges, and growth failures.
#include "errors/status.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "errors/error_constants.h"
#include "tests/errors/status_checks.h"

using namespace status_checks;

namespace {

const SourceLocation kSite{"vosysq/stdpath_util.cpp", 224, voerr_component,
                           "voapalerr_resourceNotFound"};

TEST(DefaultResize, BuffersAre512BytesOrPowersOfTwoBelow2To31) {
    struct Row {
        uint32_t n;
        bool grown;
        uint32_t capacity;
    };
    for (const Row row : {Row{1, true, 512}, Row{512, true, 512}, Row{513, true, 1024},
                          Row{0x80000000u, false, 0}}) {
        Status status;
        EXPECT_EQ(defaultResize(&status, row.n), row.grown) << row.n;
        EXPECT_EQ(status.capacity, row.capacity) << row.n;
        EXPECT_TRUE(wellFormed(status)) << row.n;
        if (row.grown) {
            EXPECT_STREQ(status.text, "{}");
        }
    }
}

TEST(DefaultResize, GrowingKeepsTheTextAndZeroFrees) {
    Status status;
    status.addStringMember(status.reserve(2), "a", "b");
    EXPECT_TRUE(defaultResize(&status, 100));  // already large enough: nothing changes
    EXPECT_EQ(status.capacity, 512u);
    EXPECT_TRUE(defaultResize(&status, 3000));
    EXPECT_EQ(status.capacity, 4096u);
    EXPECT_STREQ(status.text, R"({"a":"b"})");
    EXPECT_TRUE(wellFormed(status));
    EXPECT_TRUE(defaultResize(&status, 0));
    EXPECT_TRUE(wellFormed(status));
    EXPECT_EQ(status.text, nullptr);
}

TEST(StatusReserve, NewStatusGetsAnEmptyObjectAndItsClosingBrace) {
    Status status;
    char* p = status.reserve(2);
    EXPECT_EQ(status.capacity, 512u);
    EXPECT_STREQ(status.text, "{}");
    EXPECT_EQ(p, status.text + 1);
    p = status.reserve(600);
    EXPECT_EQ(p, status.text + 1) << "a total size, the text kept";
    EXPECT_EQ(status.capacity, 1024u);
}

TEST(StatusReserve, RequestAboveTheLimitFailsAndChangesNothing) {
    Status status;
    status.addStringMember(status.reserve(2), "a", "b");
    const char* buffer = status.text;
    EXPECT_EQ(status.reserve(2147483646u), nullptr);
    EXPECT_EQ(status.text, buffer);
    EXPECT_EQ(status.capacity, 512u);
    EXPECT_STREQ(status.text, R"({"a":"b"})");
}

TEST(StatusSetText, ReturnsTheLastCharacterAndGrowsToFit) {
    Status status;
    char* last = status.setText(nullptr);
    EXPECT_EQ(last, status.text + 1);
    EXPECT_STREQ(status.text, "{}");
    const std::string big = "{\"a\":\"" + std::string(700, 'x') + "\"}";
    last = status.setText(big.c_str());
    EXPECT_EQ(status.capacity, 1024u);
    EXPECT_EQ(last, status.text + big.size() - 1);
    EXPECT_EQ(status.setText(status.text), last) << "its own text stays";
    EXPECT_EQ(status.text, big);
    EXPECT_TRUE(wellFormed(status));
}

TEST(StatusSetCode, NothingIsAllocatedForACodeAlone) {
    Status status;
    EXPECT_FALSE(status.setCode(0));
    EXPECT_TRUE(status.setCode(-1));
    EXPECT_EQ(status.code, -1);
    EXPECT_EQ(status.text, nullptr);
}

// The precedence rule, the same for every operation that takes a code.
struct PrecedenceRow {
    int32_t before;
    int32_t incoming;
    int32_t expected;
    bool taken;
};
const PrecedenceRow kPrecedence[] = {
    {0, 0, 0, false},
    {0, -1, -1, true},
    {0, 5, 5, true},
    {5, -1, -1, true},
    {5, 0, 5, false},
    {5, 7, 5, false},
    {-1, -2, -1, false},
    {-1, 0, -1, false},
    {-1, 7, -1, false},
    {0, INT32_MIN, INT32_MIN, true},
    {INT32_MAX, INT32_MIN, INT32_MIN, true},
};

using CodeOperation = bool (*)(Status&, int32_t);
struct NamedOperation {
    const char* name;
    CodeOperation apply;
};
const NamedOperation kCodeOperations[] = {
    {"setCode", [](Status& s, int32_t c) { return s.setCode(c); }},
    {"mergeCopy",
     [](Status& s, int32_t c) {
         Status other;
         other.code = c;
         other.addStringMember(other.reserve(2), "incoming", "x");
         return s.mergeCopy(other);
     }},
    {"mergeMove",
     [](Status& s, int32_t c) {
         Status other;
         other.code = c;
         other.addStringMember(other.reserve(2), "incoming", "x");
         return s.mergeMove(other);
     }},
    {"setError", [](Status& s, int32_t c) { return s.setError(c, kSite); }},
};

TEST(StatusPrecedence, FirstErrorWinsForEveryOperation) {
    for (const NamedOperation& operation : kCodeOperations) {
        for (const PrecedenceRow& row : kPrecedence) {
            SCOPED_TRACE(std::string(operation.name) + " " + std::to_string(row.before) + " <- " +
                         std::to_string(row.incoming));
            Status status;
            status.code = row.before;
            status.addStringMember(status.reserve(2), "before", "x");
            const std::string textBefore = status.text;
            EXPECT_EQ(operation.apply(status, row.incoming), row.taken);
            EXPECT_EQ(status.code, row.expected);
            EXPECT_TRUE(wellFormed(status));
            if (!row.taken) {
                EXPECT_EQ(textBefore, status.text) << "payload untouched";
            } else {
                EXPECT_EQ(stringMember(status.text, "before"), "<missing>") << "payload reset";
            }
        }
    }
}

// After a copy, growing the copy must leave the source alone.
using CopyOperation = bool (*)(Status& to, Status& from);
const CopyOperation kCopies[] = {
    [](Status& to, Status& from) { return to.assign(from); },
    [](Status& to, Status& from) { return to.mergeCopy(from); },
    [](Status& to, Status& from) {
        to.resize = trackedResize;  // another resize function: the text is copied
        return to.mergeMove(from);
    },
};

TEST_F(TrackedResizeTest, CopiesAreIndependentOfTheirSource) {
    for (const CopyOperation copyFrom : kCopies) {
        Status source;
        source.setError(voapalerr_resourceNotFound, kSite);
        const std::string sourceText = source.text;
        Status copy;
        ASSERT_TRUE(copyFrom(copy, source));
        EXPECT_EQ(copy.code, voapalerr_resourceNotFound);
        EXPECT_STREQ(copy.text, sourceText.c_str());
        copy.addStringMember(copy.reserve(2), "more", std::string(2000, 'm').c_str());
        EXPECT_EQ(copy.capacity, 4096u);
        EXPECT_STREQ(source.text, sourceText.c_str());
        EXPECT_EQ(source.capacity, 512u);
    }
}

TEST(StatusMergeMove, SameResizeHandsTheBufferOverAndKeepsTheSourceCode) {
    Status source;
    source.setError(voapalerr_osFault, kSite);
    char* buffer = source.text;
    Status target;
    target.reserve(2);  // its own buffer is freed first
    EXPECT_TRUE(target.mergeMove(source));
    EXPECT_EQ(target.text, buffer);
    EXPECT_EQ(target.capacity, 512u);
    EXPECT_EQ(source.text, nullptr);
    EXPECT_EQ(source.capacity, 0u);
    EXPECT_EQ(source.code, voapalerr_osFault);
}

TEST(StatusMergeCopy, SourceWithoutTextLeavesTheResetText) {
    Status source;
    source.code = -3;
    Status target;
    target.addStringMember(target.reserve(2), "a", "b");
    EXPECT_TRUE(target.mergeCopy(source));
    EXPECT_STREQ(target.text, "{}");
    EXPECT_EQ(target.code, -3);
}

TEST(StatusAssign, SourceWithoutBufferFreesOursAndOverwritesAnError) {
    Status source;
    source.code = 4;
    Status target;
    target.setError(voapalerr_memoryFull, kSite);
    EXPECT_TRUE(target.assign(source));
    EXPECT_EQ(target.code, 4);
    EXPECT_EQ(target.text, nullptr);
    EXPECT_EQ(target.capacity, 0u);
}

TEST(StatusGrowAt, DoublesTheBufferAndKeepsTheOffset) {
    Status status;
    status.addStringMember(status.reserve(2), "a", "b");
    char* close = status.reserve(2);
    const ptrdiff_t offset = close - status.text;
    char* moved = status.growAt(close);
    EXPECT_EQ(status.capacity, 1024u);
    EXPECT_EQ(moved - status.text, offset);
    EXPECT_EQ(*moved, '}');
    EXPECT_TRUE(wellFormed(status));
}

// Texts set from outside need not be objects: a closer with only white space before it
// (or none) and a position past the NUL take no member, and the text stays as it was.
TEST(StatusAddStringMember, PositionThatCannotTakeAMemberChangesNothing) {
    struct Row {
        const char* text;
        size_t offset;         // of the position in the text
        const char* expected;  // the text after the insertion; null: refused
    };
    for (const Row row :
         {Row{"}", 0, nullptr}, Row{" }", 1, nullptr}, Row{" \t\n]", 3, nullptr},
          Row{"{}", 3, nullptr}, Row{"{ }", 2, R"({ "a":"b"})"}, Row{"", 0, R"("a":"b")"}}) {
        SCOPED_TRACE(std::string("text \"") + row.text + "\" at " + std::to_string(row.offset));
        Status status;
        ASSERT_NE(status.setText(row.text), nullptr);
        char* p = status.text + row.offset;
        char* end = status.addStringMember(p, "a", "b");
        EXPECT_EQ(end == nullptr, row.expected == nullptr);
        EXPECT_STREQ(status.text, row.expected != nullptr ? row.expected : row.text);
        if (row.expected == nullptr) {
            EXPECT_EQ(status.addLocationMembers(p, kSite), nullptr);
            EXPECT_STREQ(status.text, row.text);
        }
    }
}

TEST_F(TrackedResizeTest, RefusedGrowthLeavesTheTextWhole) {
    Status status;
    status.resize = trackedResize;
    status.addStringMember(status.reserve(2), "a", "b");
    resizeControl.growthsLeft = 0;
    EXPECT_EQ(status.addStringMember(status.reserve(2), "c", std::string(600, 'c').c_str()),
              nullptr);
    EXPECT_STREQ(status.text, R"({"a":"b"})");
    EXPECT_EQ(status.growAt(status.text), nullptr);
    EXPECT_TRUE(wellFormed(status));
}

TEST_F(TrackedResizeTest, RefusedGrowthInMergesKeepsTheCodeAndClearsOk) {
    Status source;
    source.setError(voapalerr_resourceNotFound, kSite);
    source.addStringMember(source.reserve(2), "big", std::string(600, 'b').c_str());
    using Merge = bool (*)(Status&, Status&, bool*);
    for (const Merge merge :
         {Merge([](Status&t, Status&s, bool*ok) { return t.mergeCopy(s, ok); }),
          Merge([](Status&t, Status&s, bool*ok) { return t.mergeMove(s, ok); })}) {
        for (const bool targetHasBuffer : {false, true}) {
            Status target;
            target.resize = trackedResize;
            if (targetHasBuffer) target.reserve(2);
            resizeControl.growthsLeft = 0;
            bool ok = true;
            EXPECT_TRUE(merge(target, source, &ok));
            EXPECT_FALSE(ok);
            EXPECT_EQ(target.code, voapalerr_resourceNotFound);
            EXPECT_TRUE(wellFormed(target));
            if (targetHasBuffer) {
                EXPECT_STREQ(target.text, "{}");
            }
            resizeControl.growthsLeft = -1;
        }
    }
    Status target;
    target.resize = trackedResize;
    resizeControl.growthsLeft = 0;
    EXPECT_FALSE(target.assign(source));
    EXPECT_EQ(target.code, 0) << "a failed assign keeps the code";
}

}  // namespace
