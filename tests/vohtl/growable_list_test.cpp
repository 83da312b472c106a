#include "vohtl/growable_list.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "errors/error_constants.h"
#include "failing_allocation.h"

namespace {

using failing_allocation::FailAllocation;
using failing_allocation::kAllocatorPayload;

// Records what the list tells it: the status code of its last placement and how many
// placements it went through.
struct Tracked {
    int value = 0;
    int32_t placedCode = 12345;
    int placements = 0;

    Tracked() noexcept = default;
    explicit Tracked(int v) noexcept : value(v) {}
    Tracked(Tracked&& other) noexcept : value(other.value), placements(other.placements) {
        other.value = -1;
    }

    void placedUnder(const Status& listStatus) noexcept {
        placedCode = listStatus.code;
        ++placements;
    }
};

using List = vohtl::GrowableList<Tracked>;

TEST(GrowableListTest, GrowsTo8ThenByHalvesAndKeepsInsertionOrder) {
    List list;
    Status status;
    // Capacity after appending the n-th element (1-based): 8, then 12, 18, 27.
    const size_t expected[] = {8,  8,  8,  8,  8,  8,  8,  8,  12, 12,
                               12, 12, 18, 18, 18, 18, 18, 18, 27, 27};
    for (int i = 0; i < 20; ++i) {
        Tracked element(i);
        ASSERT_TRUE(list.append(std::move(element), &status));
        EXPECT_EQ(list.capacity(), expected[i]) << "after " << i + 1 << " elements";
    }
    ASSERT_EQ(list.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(list[i].value, i);
    EXPECT_EQ(status.code, 0);
}

TEST(GrowableListTest, EveryPlacementSeesTheStatusOfItsOperation) {
    List list;
    Status status;
    status.setCode(3);  // a warning does not stop the list
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(list.append(Tracked(i), &status));
    // The ninth append moved the first eight into new storage: two placements each.
    EXPECT_EQ(list[0].placements, 2);
    EXPECT_EQ(list[8].placements, 1);
    for (const Tracked& element : list) EXPECT_EQ(element.placedCode, 3);
}

TEST(GrowableListTest, FailedGrowthLeavesListAndElementUnchanged) {
    List list;
    Status status;
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(list.append(Tracked(i), &status));
    const Tracked* storage = list.begin();
    Tracked ninth(8);
    {
        FailAllocation fail(1);
        EXPECT_FALSE(list.append(std::move(ninth), &status));
    }
    EXPECT_EQ(status.code, voapalerr_memoryFull);
    EXPECT_STREQ(status.text, kAllocatorPayload);
    EXPECT_EQ(list.size(), 8u);
    EXPECT_EQ(list.capacity(), 8u);
    EXPECT_EQ(list.begin(), storage);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(list[i].value, i);
    EXPECT_EQ(ninth.value, 8) << "the element stays the caller's";
}

TEST(GrowableListTest, CountTooLargeFailsBeforeMultiplying) {
    List list;
    Status status;
    ASSERT_TRUE(list.append(Tracked(1), &status));
    const int callsBefore = failing_allocation::calls();
    // Either count times the element size would wrap or exceed any object's size.
    EXPECT_FALSE(list.reserve(SIZE_MAX / sizeof(Tracked) + 1, &status));
    EXPECT_FALSE(list.reserve(SIZE_MAX / 2, &status));
    EXPECT_EQ(failing_allocation::calls(), callsBefore);
    EXPECT_EQ(status.code, voapalerr_memoryFull);
    EXPECT_STREQ(status.text, kAllocatorPayload);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].value, 1);
}

TEST(GrowableListTest, StatusHoldingAnErrorChangesNothing) {
    List list;
    Status status;
    status.setCode(voapalerr_resourceNotFound);
    const int callsBefore = failing_allocation::calls();
    EXPECT_FALSE(list.append(Tracked(1), &status));
    EXPECT_FALSE(list.reserve(4, &status));
    EXPECT_EQ(failing_allocation::calls(), callsBefore);
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(list.capacity(), 0u);
    EXPECT_EQ(status.code, voapalerr_resourceNotFound);
}

}  // namespace
