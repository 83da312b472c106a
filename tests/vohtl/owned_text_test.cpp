#include "vohtl/owned_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "errors/error_constants.h"
#include "failing_allocation.h"

namespace {

using failing_allocation::FailAllocation;
using failing_allocation::kAllocatorPayload;
using vohtl::OwnedText;

std::string text_of(const OwnedText& text) {
    return std::string(text.c_str(), text.size());
}

// Each row assigns a text of `length` bytes to the same OwnedText in turn.
struct GrowthStep {
    size_t length;
    size_t capacity;  // expected afterwards
};

TEST(OwnedTextTest, GrowsToLargestOfNeeded127AndOneAndAHalf) {
    const GrowthStep steps[] = {
        {0, 0},      // empty: no storage yet
        {1, 127},    // the minimum
        {127, 127},  // exactly fits
        {128, 190},  // 127 + 63
        {100, 190},  // never shrinks
        {300, 300},  // needed beats 190 + 95
        {301, 450},  // 300 + 150 beats needed
    };
    OwnedText text;
    Status status;
    for (const GrowthStep& step : steps) {
        const std::string value(step.length, 'x');
        ASSERT_TRUE(text.assign(value.c_str(), &status)) << step.length;
        EXPECT_EQ(text.capacity(), step.capacity) << "after assigning " << step.length;
        EXPECT_EQ(text_of(text), value);
        if (text.data() != nullptr) {
            EXPECT_EQ(text.data()[step.length], '\0');
        }
    }
    EXPECT_EQ(status.code, 0);
}

TEST(OwnedTextTest, EmptyTextHasNoStorageButReadsAsEmpty) {
    OwnedText text;
    Status status;
    ASSERT_TRUE(text.assign("", &status));
    EXPECT_EQ(text.data(), nullptr);
    EXPECT_STREQ(text.c_str(), "");
    ASSERT_TRUE(text.assign("abc", &status));
    ASSERT_TRUE(text.assign("", &status));
    EXPECT_NE(text.data(), nullptr) << "an existing storage is kept";
    EXPECT_STREQ(text.c_str(), "");
}

TEST(OwnedTextTest, AssignsFromAPartOfItself) {
    OwnedText text;
    Status status;
    ASSERT_TRUE(text.assign("abcdef", &status));
    ASSERT_TRUE(text.assign(text.c_str() + 2, 3, &status));
    EXPECT_EQ(text_of(text), "cde");
}

TEST(OwnedTextTest, ExhaustionKeepsTheOldValueAndRecordsTheAllocatorSite) {
    OwnedText text;
    Status status;
    ASSERT_TRUE(text.assign("old value", &status));
    const std::string longer(200, 'n');
    {
        FailAllocation fail(1);
        EXPECT_FALSE(text.assign(longer.c_str(), &status));
    }
    EXPECT_EQ(status.code, voapalerr_memoryFull);
    ASSERT_NE(status.text, nullptr);
    EXPECT_STREQ(status.text, kAllocatorPayload);
    EXPECT_EQ(text_of(text), "old value");
    EXPECT_EQ(text.capacity(), 127u);
}

TEST(OwnedTextTest, LengthTooLargeToHoldFailsBeforeAllocatingOrReading) {
    OwnedText text;
    Status status;
    ASSERT_TRUE(text.assign("keep", &status));
    const char oneByte = 'z';  // a read of the claimed length would run off this byte
    const int callsBefore = failing_allocation::calls();
    EXPECT_FALSE(text.assign(&oneByte, SIZE_MAX, &status));
    EXPECT_FALSE(text.assign(&oneByte, SIZE_MAX / 2 + 1, &status));
    EXPECT_EQ(failing_allocation::calls(), callsBefore);
    EXPECT_EQ(status.code, voapalerr_memoryFull);
    EXPECT_STREQ(status.text, kAllocatorPayload);
    EXPECT_EQ(text_of(text), "keep");
}

TEST(OwnedTextTest, StatusHoldingAnErrorChangesNothing) {
    OwnedText text;
    Status status;
    ASSERT_TRUE(text.assign("keep", &status));
    status.setCode(voapalerr_osFault);
    const int callsBefore = failing_allocation::calls();
    EXPECT_FALSE(text.assign(std::string(500, 'q').c_str(), &status));
    EXPECT_FALSE(text.assign("x", &status));
    EXPECT_EQ(failing_allocation::calls(), callsBefore);
    EXPECT_EQ(text_of(text), "keep");
    EXPECT_EQ(status.code, voapalerr_osFault);
    EXPECT_EQ(status.text, nullptr) << "no payload is written over the first error";
}

TEST(OwnedTextTest, WarningDoesNotStopAssignmentButExhaustionReplacesIt) {
    OwnedText text;
    Status status;
    status.setCode(7);
    ASSERT_TRUE(text.assign("fine", &status));
    EXPECT_EQ(status.code, 7);
    FailAllocation fail(1);
    EXPECT_FALSE(text.assign(std::string(128, 'w').c_str(), &status));
    EXPECT_EQ(status.code, voapalerr_memoryFull);
    EXPECT_EQ(text_of(text), "fine");
}

}  // namespace
