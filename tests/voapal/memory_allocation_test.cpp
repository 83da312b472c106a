// The platform layer's status record, its non-throwing allocation, and the bridge
// that carries a Status through a platform call.
#include "voapal/protons/cppNewDelete/memoryAllocation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "errors/error_constants.h"
#include "errors/status_payload.h"
#include "tests/errors/status_checks.h"
#include "tests/voapal/array_new_seam.h"

using namespace status_checks;

namespace {

constexpr const char* kAllocationFile = "voapal/protons/cppNewDelete/memoryAllocation.cpp";

// A full-size record with every byte poisoned except size and code.
PlatformStatus poisonedRecord(uint64_t size, int64_t code) {
    PlatformStatus record;
    std::memset(&record, 0xAB, sizeof record);
    record.size = size;
    record.code = code;
    return record;
}

// A text of `length` characters that differ along it, so that cuts show.
std::string patterned(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>('A' + i % 26);
    return text;
}

TEST(PlatformStatusSetError, FollowsThePrecedenceRuleOn64Bits) {
    struct Row {
        int64_t before;
        int64_t incoming;
        int64_t expected;
        bool taken;
    };
    for (const Row row :
         {Row{0, 0, 0, false}, Row{0, -52000, -52000, true}, Row{0, INT64_MAX, INT64_MAX, true},
          Row{5, -1, -1, true}, Row{5, 6, 5, false}, Row{-1, -2, -1, false}, Row{-1, 0, -1, false},
          Row{INT64_MIN, 1, INT64_MIN, false}}) {
        PlatformStatus record = poisonedRecord(216, row.before);
        const PlatformStatus before = record;
        EXPECT_EQ(record.setError(row.incoming, "c", "f", 1), row.taken) << row.before;
        EXPECT_EQ(record.code, row.expected);
        if (!row.taken) {
            EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
        }
    }
}

TEST(PlatformStatusSetError, SmallRecordTakesOnlyTheCode) {
    PlatformStatus record = poisonedRecord(16, 0);
    EXPECT_TRUE(record.setError(voapalerr_memoryFull, "vosyncloc", kAllocationFile, 329));
    EXPECT_EQ(record.code, voapalerr_memoryFull);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    for (size_t i = 16; i < sizeof record; ++i) ASSERT_EQ(bytes[i], 0xAB) << "byte " << i;
}

TEST(PlatformStatusSetError, StoresBoundedTextsWithZeroPadding) {
    const std::string file101 = patterned(101);
    const std::string file300 = patterned(300);
    struct Row {
        std::string component, storedComponent, file, storedFile;
    };
    const Row rows[] = {
        {"vosyncloc", "vosyncloc", patterned(100), patterned(100)},
        {"abcdefghijkl", "abcdefghi", file101,
         file101.substr(0, 49) + ".." + file101.substr(101 - 49)},
        {"", "", file300, file300.substr(0, 49) + ".." + file300.substr(300 - 49)},
    };
    for (const Row& row : rows) {
        PlatformStatus record = poisonedRecord(216, 0);
        EXPECT_TRUE(record.setError(-1, row.component.c_str(), row.file.c_str(), 42));
        EXPECT_EQ(record.component, row.storedComponent);
        EXPECT_EQ(record.file, row.storedFile);
        EXPECT_EQ(std::strlen(record.file), std::min<size_t>(row.file.size(), 100));
        for (size_t i = row.storedComponent.size(); i < sizeof record.component; ++i) {
            EXPECT_EQ(record.component[i], '\0') << i;
        }
        for (size_t i = row.storedFile.size(); i < sizeof record.file; ++i) {
            EXPECT_EQ(record.file[i], '\0') << i;
        }
        EXPECT_EQ(record.line, 42u);
        EXPECT_EQ(record.reserved, 0u);
    }
}

class AllocationTest : public TrackedResizeTest {
protected:
    void SetUp() override {
        TrackedResizeTest::SetUp();
        ArrayNewSeam::failuresLeft = 0;
        ArrayNewSeam::calls = 0;
    }
};

TEST_F(AllocationTest, AnErrorSkipsTheAllocationAndAWarningAllocates) {
    PlatformStatus failed = poisonedRecord(216, voapalerr_invalidParameter);
    const PlatformStatus before = failed;
    EXPECT_EQ(allocateArrayNoThrow(16, &failed), nullptr);
    EXPECT_EQ(ArrayNewSeam::calls, 0);
    EXPECT_EQ(std::memcmp(&failed, &before, sizeof failed), 0);

    PlatformStatus warned = poisonedRecord(216, 7);
    char* array = allocateArrayNoThrow(16, &warned);
    EXPECT_NE(array, nullptr);
    EXPECT_EQ(warned.code, 7);
    delete[] array;
}

TEST_F(AllocationTest, ExhaustionIsReportedAsMemoryFull) {
    for (const int64_t before : {0, 7}) {
        PlatformStatus record = poisonedRecord(216, before);
        ArrayNewSeam::failuresLeft = 1;
        EXPECT_EQ(allocateArrayNoThrow(255, &record), nullptr);
        EXPECT_EQ(record.code, voapalerr_memoryFull);
        EXPECT_STREQ(record.component, "vosyncloc");
        EXPECT_STREQ(record.file, kAllocationFile);
        EXPECT_EQ(record.line, 329u);
    }
}

TEST_F(AllocationTest, BridgeOfASuccessfulTargetLeavesItUntouched) {
    Status target;
    {
        PlatformStatusBridge bridge(&target);
        EXPECT_EQ(bridge.status()->size, 216u);
        EXPECT_EQ(bridge.status()->code, 0);
        EXPECT_STREQ(bridge.status()->file, "");
        char* array = allocateArrayNoThrow(255, bridge.status());
        EXPECT_NE(array, nullptr);
        delete[] array;
    }
    EXPECT_EQ(target.code, 0);
    EXPECT_EQ(target.text, nullptr);
}

TEST_F(AllocationTest, BridgeCarriesAnErrorAndItsLocationAcross) {
    Status target;
    target.setError(voapalerr_invalidParameter,
                    {"vodynlib/dynload.cpp", 65, voerr_component, "voapalerr_invalidParameter"});
    const std::string payload = target.text;
    {
        PlatformStatusBridge bridge(&target);
        const PlatformStatus& record = *bridge.status();
        EXPECT_EQ(record.code, voapalerr_invalidParameter);
        EXPECT_STREQ(record.component, "vosyncloc");
        EXPECT_STREQ(record.file, "vodynlib/dynload.cpp");
        EXPECT_EQ(record.line, 65u);
        EXPECT_EQ(allocateArrayNoThrow(255, bridge.status()), nullptr);
        EXPECT_EQ(ArrayNewSeam::calls, 0);
    }
    EXPECT_EQ(target.code, voapalerr_invalidParameter);
    EXPECT_EQ(target.text, payload);
}

TEST_F(AllocationTest, BridgeKeepsTheLastHundredRawCharactersOfALongFile) {
    const std::string tail = patterned(100);
    struct Row {
        std::string file;  // as given to setError; escaped in the payload
        std::string read;  // what the bridge decodes
    };
    const Row rows[] = {
        {patterned(50) + tail, tail},
        // 58 + 2 escaped backslash bytes + 98 = 158 raw: the cut lands on the backslash.
        {std::string(58, 'a') + "\\" + std::string(98, 'b'), std::string(98, 'b')},
        // 60 + 2 + 99 = 161 raw: the cut lands on the escape's second backslash.
        {std::string(60, 'a') + "\\" + std::string(99, 'b'), std::string(99, 'b')},
    };
    for (const Row& row : rows) {
        Status target;
        target.setError(voapalerr_resourceNotFound,
                        {row.file.c_str(), 224, "abcdefghijkl", "voapalerr_resourceNotFound"});
        PlatformStatusBridge bridge(&target);
        EXPECT_EQ(bridge.status()->file, row.read);
        EXPECT_STREQ(bridge.status()->component, "abcdefghi");
    }
}

TEST_F(AllocationTest, BridgeEndWritesFileLineAndComponentOnly) {
    struct Row {
        const char* component;
        const char* file;
        const char* payload;
    };
    for (const Row row :
         {Row{"comp", "x/y.cpp", R"({"file":"x/y.cpp","line":77,"component":"comp"})"},
          Row{"", "x/y.cpp", R"({"file":"x/y.cpp","line":77})"},
          Row{"comp", "", R"({"component":"comp"})"}, Row{"", "", "{}"}}) {
        Status target;
        target.setCode(3);
        target.addStringMember(target.reserve(2), "warning", "dropped");
        {
            PlatformStatusBridge bridge(&target);
            EXPECT_TRUE(bridge.status()->setError(voapalerr_osFault, row.component, row.file, 77));
        }
        EXPECT_EQ(target.code, voapalerr_osFault);
        EXPECT_STREQ(target.text, row.payload);
    }
}

TEST_F(AllocationTest, ExhaustionThroughTheBridgeReportsTheAllocationSite) {
    Status target;
    {
        PlatformStatusBridge bridge(&target);
        ArrayNewSeam::failuresLeft = 1;
        EXPECT_EQ(allocateArrayNoThrow(255, bridge.status()), nullptr);
    }
    EXPECT_EQ(target.code, voapalerr_memoryFull);
    EXPECT_EQ(memberNames(target.text), (std::vector<std::string>{"file", "line", "component"}));
    EXPECT_EQ(stringMember(target.text, "file"), kAllocationFile);
    EXPECT_EQ(payloadInt(target.text, nullptr, "line", 0), 329);
    EXPECT_EQ(stringMember(target.text, "component"), "vosyncloc");
}

TEST_F(AllocationTest, ExhaustionWithARefusedPayloadKeepsTheCode) {
    Status target;
    target.resize = trackedResize;
    resizeControl.growthsLeft = 0;
    {
        PlatformStatusBridge bridge(&target);
        ArrayNewSeam::failuresLeft = 1;
        EXPECT_EQ(allocateArrayNoThrow(255, bridge.status()), nullptr);
    }
    EXPECT_EQ(target.code, voapalerr_memoryFull);
    EXPECT_EQ(target.text, nullptr);
}

}  // namespace
