#include "vohtl/file_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "errors/error_constants.h"
#include "failing_allocation.h"

namespace {

using failing_allocation::FailAllocation;
using failing_allocation::kAllocatorPayload;
using vohtl::FileBuffer;

std::string bytes_of(const FileBuffer& buffer) {
    return std::string(buffer.data(), buffer.size());
}

TEST(FileBufferTest, ResizeGrowsWithFillAndCutsWithoutShrinkingCapacity) {
    FileBuffer buffer;
    Status status;
    ASSERT_TRUE(buffer.resize(5, 'a', &status));
    EXPECT_EQ(buffer.capacity(), 8u);
    EXPECT_EQ(bytes_of(buffer), "aaaaa");
    ASSERT_TRUE(buffer.resize(9, 'b', &status));
    EXPECT_EQ(buffer.capacity(), 12u);
    EXPECT_EQ(bytes_of(buffer), "aaaaabbbb");
    ASSERT_TRUE(buffer.resize(13, 'c', &status));
    EXPECT_EQ(buffer.capacity(), 18u);
    ASSERT_TRUE(buffer.resize(3, 'x', &status));
    EXPECT_EQ(buffer.capacity(), 18u);
    EXPECT_EQ(bytes_of(buffer), "aaa");
    // Growing within the capacity writes the fill over whatever was there before.
    ASSERT_TRUE(buffer.resize(6, 'd', &status));
    EXPECT_EQ(bytes_of(buffer), "aaaddd");
    EXPECT_EQ(status.code, 0);
}

TEST(FileBufferTest, FailedGrowthLeavesTheBufferUnchanged) {
    FileBuffer buffer;
    Status status;
    ASSERT_TRUE(buffer.resize(8, 'k', &status));
    const char* data = buffer.data();
    {
        FailAllocation fail(1);
        EXPECT_FALSE(buffer.resize(9, 'z', &status));
    }
    EXPECT_EQ(status.code, voapalerr_memoryFull);
    EXPECT_STREQ(status.text, kAllocatorPayload);
    EXPECT_EQ(buffer.data(), data);
    EXPECT_EQ(buffer.capacity(), 8u);
    EXPECT_EQ(bytes_of(buffer), "kkkkkkkk");
}

TEST(FileBufferTest, LengthTooLargeFailsBeforeAllocating) {
    FileBuffer buffer;
    Status status;
    ASSERT_TRUE(buffer.resize(2, 'k', &status));
    const int callsBefore = failing_allocation::calls();
    EXPECT_FALSE(buffer.resize(SIZE_MAX, 0, &status));
    EXPECT_EQ(failing_allocation::calls(), callsBefore);
    EXPECT_EQ(status.code, voapalerr_memoryFull);
    EXPECT_STREQ(status.text, kAllocatorPayload);
    EXPECT_EQ(bytes_of(buffer), "kk");
}

TEST(FileBufferTest, StatusHoldingAnErrorChangesNothing) {
    FileBuffer buffer;
    Status status;
    ASSERT_TRUE(buffer.resize(4, 'k', &status));
    status.setCode(voapalerr_osFault);
    EXPECT_FALSE(buffer.resize(40, 'z', &status));
    EXPECT_FALSE(buffer.resize(1, 'z', &status));
    EXPECT_EQ(bytes_of(buffer), "kkkk");
    EXPECT_EQ(status.code, voapalerr_osFault);
}

}  // namespace
