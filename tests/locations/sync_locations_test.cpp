// SyncLocations against a real directory tree. The standard directories are moved into
// the tree by the relocation fixture library (see CMakeLists.txt); the RelocatedTree
// suite needs that environment, the FailingQueries suite one whose relocation answer is
// negative, so that every standard directory query throws. FailingQueries moves the
// process into a private mount namespace (within a user namespace of its own when not
// root) to receive the warnings.
#include "locations/sync_locations.h"

#include <syslog.h>

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>

#include <cerrno>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "openat2_eagain.h"
#include "private_system_log.h"
#include "vofsview/image_view.h"
#include "vosysq/stdpath.h"
#include "vosysq/stdpath_util.h"

namespace {

namespace fs = boost::filesystem;
using Members = std::vector<std::pair<std::string, std::string>>;

// Every member but standardLayout, in declaration order.
Members membersOf(const SyncLocations& l) {
    return {{"kaironDir", l.kaironDir().string()},
            {"kaironLibraryDir", l.kaironLibraryDir().string()},
            {"configBinary", l.configBinary().string()},
            {"vokaironcli", l.vokaironcli().string()},
            {"timeReferenceDir", l.timeReferenceDir().string()},
            {"timeKeeperDir", l.timeKeeperDir().string()},
            {"servoDir", l.servoDir().string()},
            {"runtimeDir", l.runtimeDir().string()},
            {"runtimeTsmJson", l.runtimeTsmJson().string()},
            {"configDir", l.configDir().string()},
            {"persistDir", l.persistDir().string()},
            {"persistentTsmJson", l.persistentTsmJson().string()},
            {"syncConfigFile", l.syncConfigFile().string()},
            {"daemonPidFile", l.daemonPidFile().string()},
            {"daemonBinary", l.daemonBinary().string()},
            {"votsmdLogFile", l.votsmdLogFile().string()},
            {"gpsMetaDataFile", l.gpsMetaDataFile().string()}};
}

void expectMembers(const SyncLocations& got, const Members& expected) {
    const Members members = membersOf(got);
    ASSERT_EQ(members.size(), expected.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        EXPECT_EQ(members[i], expected[i]) << "member #" << i + 2;
    }
}

const fs::path kTree = VOSYNCLOC_LOCATIONS_TREE;
const std::string kMultiarch = (kTree / "lib/x86_64-linux-gnu").string();
const std::string kBin = (kTree / "usr/bin").string();
const std::string kRun = (kTree / "run").string();
const std::string kEtc = (kTree / "etc").string();
const std::string kVarLib = (kTree / "var/lib").string();
const std::string kVar = (kTree / "var").string();
const std::string kProduct = kMultiarch + "/vo-kairon";

class RelocatedTree : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(vosysq::get_multiarchlibdir(), kMultiarch) << "relocation fixture not in use";
        fs::remove_all(kTree);
        fs::create_directories(kMultiarch);
        fs::create_directories(kBin);
        shared_ = vosysq::getVOSharedDir();
    }
    void TearDown() override { fs::remove_all(kTree); }

    static void touch(const std::string& path) { std::ofstream(path).put('x'); }

    // The legacy layout with neither binary in the bindir.
    Members legacyMembers() const {
        const std::string kairon = shared_ + "/Kairon";
        return {{"kaironDir", kairon},
                {"kaironLibraryDir", kairon},
                {"configBinary", kairon + "/Config/configGen"},
                {"vokaironcli", kairon + "/vokaironcli"},
                {"timeReferenceDir", kairon + "/TimeReferences"},
                {"timeKeeperDir", kairon + "/TimeKeepers"},
                {"servoDir", kairon + "/Servos"},
                {"runtimeDir", kRun + "/morvane/Kairon"},
                {"runtimeTsmJson", kRun + "/morvane/Kairon/runtime_tsm.json"},
                {"configDir", kEtc + "/morvane/share/Kairon"},
                {"persistDir", kairon},
                {"persistentTsmJson", kairon + "/tsm.json"},
                {"syncConfigFile", kVarLib + "/vo-sync/syncConfig.txt"},
                {"daemonPidFile", kRun + "/votsmd.pid"},
                {"daemonBinary", kairon + "/votsmd"},
                {"votsmdLogFile", kVar + "/log/votsmd.log"},
                {"gpsMetaDataFile", kVarLib + "/vo-kairon/position.json"}};
    }

    std::string shared_;
};

// The standard layout with both binaries in the bindir.
Members standardMembers() {
    return {{"kaironDir", kProduct},
            {"kaironLibraryDir", kMultiarch},
            {"configBinary", kProduct + "/configgen"},
            {"vokaironcli", kBin + "/vokaironcli"},
            {"timeReferenceDir", kProduct + "/timereferences"},
            {"timeKeeperDir", kProduct + "/timekeepers"},
            {"servoDir", kProduct + "/servos"},
            {"runtimeDir", kRun + "/vo-kairon"},
            {"runtimeTsmJson", kRun + "/vo-kairon/runtime_tsm.json"},
            {"configDir", kEtc},
            {"persistDir", kVarLib + "/vo-kairon"},
            {"persistentTsmJson", kVarLib + "/vo-kairon/tsm.json"},
            {"syncConfigFile", kVarLib + "/vo-sync/syncConfig.txt"},
            {"daemonPidFile", kRun + "/votsmd.pid"},
            {"daemonBinary", kBin + "/votsmd"},
            {"votsmdLogFile", kVar + "/log/votsmd.log"},
            {"gpsMetaDataFile", kVarLib + "/vo-kairon/position.json"}};
}

Members with(Members members, const std::string& name, const std::string& value) {
    for (auto& member : members) {
        if (member.first == name) member.second = value;
    }
    return members;
}

TEST_F(RelocatedTree, ProductDirectoryMeansStandardLayout) {
    fs::create_directory(kProduct);
    touch(kBin + "/votsmd");
    SyncLocations got(false);
    EXPECT_TRUE(got.standardLayout());
    expectMembers(got, standardMembers());
}

TEST_F(RelocatedTree, ProductAsRegularFileStillMeansStandardLayout) {
    touch(kProduct);
    touch(kBin + "/votsmd");
    SyncLocations got(false);
    EXPECT_TRUE(got.standardLayout());
    expectMembers(got, standardMembers());
}

TEST_F(RelocatedTree, NoProductDirectoryMeansLegacyLayout) {
    SyncLocations got(false);
    EXPECT_FALSE(got.standardLayout());
    expectMembers(got, legacyMembers());
}

TEST_F(RelocatedTree, DanglingSymlinkAsProductMeansLegacyLayout) {
    fs::create_symlink(kTree / "missing", kProduct);
    SyncLocations got(false);
    EXPECT_FALSE(got.standardLayout());
    expectMembers(got, legacyMembers());
}

// ENOTDIR counts as "not found" like ENOENT.
TEST_F(RelocatedTree, MultiarchAsRegularFileMeansLegacyLayout) {
    fs::remove(kMultiarch);
    touch(kMultiarch);
    SyncLocations got(false);
    EXPECT_FALSE(got.standardLayout());
    expectMembers(got, legacyMembers());
}

TEST_F(RelocatedTree, LegacyLayoutKeepsClientFoundInBindir) {
    touch(kBin + "/vokaironcli");
    SyncLocations got(false);
    expectMembers(got, with(legacyMembers(), "vokaironcli", kBin + "/vokaironcli"));
}

TEST_F(RelocatedTree, LegacyLayoutKeepsDaemonFoundInBindir) {
    touch(kBin + "/votsmd");
    SyncLocations got(false);
    expectMembers(got, with(legacyMembers(), "daemonBinary", kBin + "/votsmd"));
}

// The daemon is looked for in either layout; the client only in the legacy one.
TEST_F(RelocatedTree, StandardLayoutWithoutDaemonTakesItFromSharedDir) {
    fs::create_directory(kProduct);
    SyncLocations got(false);
    EXPECT_TRUE(got.standardLayout());
    expectMembers(got, with(standardMembers(), "daemonBinary", shared_ + "/Kairon/votsmd"));
}

// A symbolic-link loop would fail any probe, so none is made.
TEST_F(RelocatedTree, ForcedStandardLayoutProbesNothing) {
    fs::create_symlink(kProduct, kProduct);
    fs::create_symlink(kBin + "/votsmd", kBin + "/votsmd");
    SyncLocations got(true);
    EXPECT_TRUE(got.standardLayout());
    expectMembers(got, standardMembers());
}

// A probe that fails for another reason than "not found" fails the construction, for
// each of the three probes.
TEST_F(RelocatedTree, ProbeFailureOtherThanNotFoundIsThrown) {
    struct Case {
        const char* what;
        bool productDir;
        std::string loop;
    };
    const Case cases[] = {{"product", false, kProduct},
                          {"client in legacy layout", false, kBin + "/vokaironcli"},
                          {"daemon in standard layout", true, kBin + "/votsmd"}};
    for (const Case& c : cases) {
        fs::remove(c.loop);
        if (c.productDir) fs::create_directory(kProduct);
        fs::create_symlink(c.loop, c.loop);
        try {
            SyncLocations got(false);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const fs::filesystem_error& error) {
            EXPECT_EQ(error.code().value(), ELOOP) << c.what;
            EXPECT_EQ(error.path1().string(), c.loop) << c.what;
        }
        fs::remove(c.loop);
        fs::remove(kProduct);
    }
}

// A lookup in an image that the kernel keeps interrupting fails the construction, naming
// the path and the image, instead of taking a default for what it could not read.
TEST(ImageLocations, AResolutionThatKeepsRacingFailsTheConstruction) {
    vofsview::ImageView image;
    const char* failed = nullptr;
    ASSERT_EQ(image.open("/tmp", {}, &failed), 0);
    const int status = runWhereOpenat2KeepsFailing([&image] {
        try {
            SyncLocations got(false, nullptr, image);
        } catch (const std::runtime_error& error) {
            return std::string(error.what())
                       .rfind("in the image /tmp: \"/etc/ld.so.cache\" could not be resolved: ",
                              0) == 0;
        }
        return false;
    });
    if (status == 77) GTEST_SKIP() << "no seccomp filter";
    EXPECT_EQ(status, 0);
}

// Every query throws, so every base directory is its fallback, and every query writes
// its warning. The forced standard layout makes no shared-directory query, so the values
// do not depend on the machine. The warnings go to a logger of the test's own.
class FailingQueries : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string unavailable = enterPrivateDev();
        if (!unavailable.empty()) GTEST_SKIP() << unavailable;
        ASSERT_THROW(vosysq::get_sysconfdir(), std::exception) << "relocation answer not negative";
    }
};

TEST_F(FailingQueries, EveryQueryFallsBackWithAWarning) {
    PrivateSystemLog log;
    SyncLocations got(true);
    const std::vector<LoggedMessage> logged = log.collect();

    EXPECT_TRUE(got.standardLayout());
    const std::string product = "/usr/lib/x86_64-linux-gnu/vo-kairon";
    expectMembers(got, {{"kaironDir", product},
                        {"kaironLibraryDir", "/usr/lib/x86_64-linux-gnu"},
                        {"configBinary", product + "/configgen"},
                        {"vokaironcli", "/usr/bin/vokaironcli"},
                        {"timeReferenceDir", product + "/timereferences"},
                        {"timeKeeperDir", product + "/timekeepers"},
                        {"servoDir", product + "/servos"},
                        {"runtimeDir", "/var/run/vo-kairon"},
                        {"runtimeTsmJson", "/var/run/vo-kairon/runtime_tsm.json"},
                        {"configDir", "/etc"},
                        {"persistDir", "/var/lib/vo-kairon"},
                        {"persistentTsmJson", "/var/lib/vo-kairon/tsm.json"},
                        {"syncConfigFile", "/var/lib/vo-sync/syncConfig.txt"},
                        {"daemonPidFile", "/var/run/votsmd.pid"},
                        {"daemonBinary", "/usr/bin/votsmd"},
                        {"votsmdLogFile", "/var/log/votsmd.log"},
                        {"gpsMetaDataFile", "/var/lib/vo-kairon/position.json"}});

    // One warning per query, in member order: the sharedstatedir is asked three times.
    const std::vector<std::string> expected = {
        "vosysq::get_multiarchlibdir() failed",  // kaironDir
        "vosysq::get_bindir() failed",           // vokaironcli
        "vosysq::get_runstatedir() failed",      // runtimeDir
        "vosysq::get_sysconfdir() failed",       // configDir
        "vosysq::get_sharedstatedir() failed",   // persistDir
        "vosysq::get_sharedstatedir() failed",   // syncConfigFile
        "vosysq::get_runstatedir() failed",      // daemonPidFile
        "vosysq::get_bindir() failed",           // daemonBinary
        "vosysq::get_localstatedir() failed",    // votsmdLogFile
        "vosysq::get_sharedstatedir() failed",   // gpsMetaDataFile
    };
    std::vector<std::string> texts;
    for (const LoggedMessage& message : logged) {
        texts.push_back(message.text);
        EXPECT_EQ(message.priority, LOG_USER | LOG_WARNING) << message.text;
    }
    EXPECT_EQ(texts, expected);
}

}  // namespace
