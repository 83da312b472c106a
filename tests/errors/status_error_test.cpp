// Status::setError: the location members that open every error payload.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/error_constants.h"
#include "errors/status.h"
#include "errors/status_payload.h"
#include "tests/errors/status_checks.h"

using namespace status_checks;

namespace {

using Names = std::vector<std::string>;
const Names kLocationMembers{"error_constant", "file", "line", "component"};

const SourceLocation kLoadSite{"vodynlib/dynload.cpp", 65, voerr_component,
                               "voapalerr_invalidParameter"};

TEST(StatusSetError, NewStatusGetsTheFourLocationMembersInOrder) {
    Status status;
    const SourceLocation site{"vosysq/stdpath_util.cpp", 224, voerr_component,
                              "voapalerr_resourceNotFound"};
    bool ok = false;
    EXPECT_TRUE(status.setError(voapalerr_resourceNotFound, site, &ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(status.code, -52006);
    EXPECT_EQ(memberNames(status.text), kLocationMembers);
    EXPECT_EQ(payloadInt(status.text, nullptr, "line", 0), 224);
    EXPECT_STREQ(status.text,
                 R"({"error_constant":"voapalerr_resourceNotFound",)"
                 R"("file":"vosysq/stdpath_util.cpp","line":224,"component":"vosyncloc"})");
}

TEST(StatusSetError, AnEarlierErrorKeepsItsPayload) {
    Status status;
    status.setError(voapalerr_invalidParameter, kLoadSite);
    status.addStringMember(status.reserve(2), "dlerror", "no such file");
    const std::string before = status.text;
    bool ok = false;
    EXPECT_FALSE(status.setError(voapalerr_osFault, kLoadSite, &ok));
    EXPECT_TRUE(ok) << "ok reports only a taken code's lost text";
    EXPECT_EQ(status.code, voapalerr_invalidParameter);
    EXPECT_EQ(status.text, before);
}

TEST(StatusSetError, ReplacesAWarningAndItsPayload) {
    Status status;
    status.setCode(3);
    status.addStringMember(status.reserve(2), "warning", "w");
    EXPECT_TRUE(status.setError(voapalerr_invalidParameter, kLoadSite));
    EXPECT_EQ(memberNames(status.text), kLocationMembers);
}

TEST(StatusSetError, NullComponentWritesNoComponentMember) {
    Status status;
    const SourceLocation site{"vodynlib/dynload.cpp", -1, nullptr, "voapalerr_invalidParameter"};
    EXPECT_TRUE(status.setError(voapalerr_invalidParameter, site));
    EXPECT_EQ(memberNames(status.text), (Names{"error_constant", "file", "line"}));
    EXPECT_EQ(payloadInt(status.text, nullptr, "line", 0), -1);
}

// A path that needs 512 -> 1024 -> 2048 -> 4096 bytes, with characters that escape.
std::string longPath() {
    std::string path;
    while (path.size() < 3000) path += "dir \"quoted\"\\\t/";
    return path;
}

TEST(StatusSetError, LongPathIsWrittenWhole) {
    const std::string path = longPath();
    const SourceLocation site{path.c_str(), 1, voerr_component, "voapalerr_memoryFull"};
    Status status;
    bool ok = false;
    EXPECT_TRUE(status.setError(voapalerr_memoryFull, site, &ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(stringMember(status.text, "file"), path);
    EXPECT_EQ(memberNames(status.text), kLocationMembers);
    EXPECT_TRUE(wellFormed(status));
}

// Growth refused after k buffers: the code stays, the payload holds the members that
// were complete, ok is false, and nothing leaks.
TEST_F(TrackedResizeTest, RefusedGrowthKeepsTheCodeAndTheCompleteMembers) {
    const std::string path = longPath();
    const SourceLocation site{path.c_str(), 1, voerr_component, "voapalerr_memoryFull"};
    const Names kOnlyConstant{"error_constant"};
    struct Row {
        int growths;
        bool ok;
        const Names* members;
    };
    const Names kNone;
    for (const Row row : {Row{0, false, &kNone}, Row{1, false, &kOnlyConstant},
                          Row{3, false, &kOnlyConstant}, Row{4, true, &kLocationMembers}}) {
        SCOPED_TRACE(row.growths);
        Status status;
        status.resize = trackedResize;
        resizeControl.growthsLeft = row.growths;
        bool ok = !row.ok;
        EXPECT_TRUE(status.setError(voapalerr_memoryFull, site, &ok));
        EXPECT_EQ(ok, row.ok);
        EXPECT_EQ(status.code, voapalerr_memoryFull);
        EXPECT_TRUE(wellFormed(status));
        EXPECT_EQ(memberNames(status.text), *row.members);
        EXPECT_EQ(status.text == nullptr, row.growths == 0);
    }
}

TEST(StatusAddLocationMembers, NullPositionPassesThrough) {
    Status status;
    EXPECT_EQ(status.addLocationMembers(nullptr, kLoadSite), nullptr);
    EXPECT_EQ(status.text, nullptr);
}

}  // namespace
