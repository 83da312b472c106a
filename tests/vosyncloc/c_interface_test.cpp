// The C interface against its header. The relocation fixture makes a tree of the test's
// own the standard directories (see CMakeLists.txt); the tool, run alike, gives the
// expected texts. Built with -fsanitize=thread when VOSYNCLOC_TSAN is on.
#include "vosyncloc/vosyncloc.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// The header's version macros are the project's version.
static_assert(VOSYNCLOC_VERSION_MAJOR == PROJECT_VERSION_MAJOR &&
              VOSYNCLOC_VERSION_MINOR == PROJECT_VERSION_MINOR &&
              VOSYNCLOC_VERSION_PATCH == PROJECT_VERSION_PATCH);
static_assert(VOSYNCLOC_VERSION_NUMBER ==
              PROJECT_VERSION_MAJOR * 65536 + PROJECT_VERSION_MINOR * 256 + PROJECT_VERSION_PATCH);

namespace {

namespace fs = std::filesystem;
const std::string kProduct = VOSYNCLOC_TREE "/lib/vo-kairon";

// The fixture's log as it stands now. Removed, so that the next run starts a new one.
std::string takeRelocationLog() {
    std::ostringstream text;
    text << std::ifstream(VOSYNCLOC_RELOCATION_LOG).rdbuf();
    std::remove(VOSYNCLOC_RELOCATION_LOG);
    return text.str();
}
const std::string kLogBeforeMain = takeRelocationLog();

// The tool's standard output and error for `key` ("": no argument), its questions to
// the fixture left out of the log.
std::string tool(const std::string& key) {
    const std::string command =
        "env -u VORELOC_LOG " VOSYNCLOC_TOOL + (key.empty() ? "" : " '" + key + "'") + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
    return out;
}

// The standard layout, or a product directory that is a loop of symbolic links, which
// fails every layout probe.
void layOut(bool probeFails) {
    fs::remove_all(VOSYNCLOC_TREE);
    fs::create_directories(fs::path(kProduct).parent_path());
    if (probeFails) {
        fs::create_symlink(kProduct, kProduct);
    } else {
        fs::create_directory(kProduct);
    }
}

TEST(LibraryLoad, AsksTheRelocationLibraryAtTheFirstCallNotAtLoad) {
    EXPECT_EQ(kLogBeforeMain, "") << "loading the library ran the relocation library";
    vosyncloc_list* list = nullptr;
    ASSERT_EQ(vosyncloc_list_open(&list, nullptr), VOSYNCLOC_OK);
    vosyncloc_list_close(list);
    const std::string log = takeRelocationLog();
    EXPECT_EQ(log.rfind("load\nask prefixdir\n", 0), 0u) << log;
    const std::string end = "ask initddir\nunload\n";
    EXPECT_EQ(log.find(end), log.size() - end.size()) << log;
}

// Each failure: its code and message, and the outputs as they were before the call.
TEST(Failures, GiveTheirCodesAndMessagesAndLeaveOutputsAlone) {
    layOut(true);
    std::string probeError = tool("runtimeDir");
    ASSERT_NE(probeError.find("Too many levels of symbolic links"), std::string::npos);
    probeError.pop_back();  // the newline
    const struct {
        const char* key;
        bool nullPath;
        int code;
        std::string message;
    } cases[] = {
        {nullptr, false, VOSYNCLOC_ERR_KEY, "invalid location "},
        {"", false, VOSYNCLOC_ERR_KEY, "invalid location "},
        {"runtime", false, VOSYNCLOC_ERR_KEY, "invalid location runtime"},
        {"RuntimeDir", false, VOSYNCLOC_ERR_KEY, "invalid location RuntimeDir"},
        {"configDir", false, VOSYNCLOC_ERR_KEY, "invalid location configDir"},
        {"runtimeDir", true, VOSYNCLOC_ERR_ARGUMENT, "vosyncloc_location: null output pointer"},
        {"runtimeDir", false, VOSYNCLOC_ERR_FILE_STATUS, probeError},
    };
    char poison[] = "poison";
    size_t length = 777;
    for (const auto& c : cases) {
        char* path = poison;
        char* message = nullptr;
        EXPECT_EQ(vosyncloc_location(c.key, c.nullPath ? nullptr : &path, &length, &message),
                  c.code);
        EXPECT_EQ(path, poison);
        EXPECT_EQ(message, c.message);
        vosyncloc_free(message);
    }
    EXPECT_EQ(length, 777u);
    char* message = nullptr;
    EXPECT_EQ(vosyncloc_list_open(nullptr, &message), VOSYNCLOC_ERR_ARGUMENT);
    EXPECT_STREQ(message, "vosyncloc_list_open: null output pointer");
    vosyncloc_free(message);
    vosyncloc_list* list = reinterpret_cast<vosyncloc_list*>(poison);
    EXPECT_EQ(vosyncloc_list_open(&list, &message), VOSYNCLOC_ERR_FILE_STATUS);
    EXPECT_EQ(list, reinterpret_cast<vosyncloc_list*>(poison));
    EXPECT_EQ(message, probeError);
    vosyncloc_free(message);
    // Neutral results.
    EXPECT_EQ(vosyncloc_key(15), nullptr);
    EXPECT_EQ(vosyncloc_list_count(nullptr), 0u);
    EXPECT_EQ(vosyncloc_list_key(nullptr, 0), nullptr);
    EXPECT_EQ(vosyncloc_list_path(nullptr, 0, &length), nullptr);
    vosyncloc_list_close(nullptr);
    vosyncloc_free(nullptr);
}

// The list holds the tool's listing; then 8 threads x 1,000 lookups at once each find
// the list's path for their key.
TEST(Answers, EqualTheToolsAlsoFromManyThreadsAtOnce) {
    layOut(false);
    vosyncloc_list* list = nullptr;
    ASSERT_EQ(vosyncloc_list_open(&list, nullptr), VOSYNCLOC_OK);
    std::string listing;
    size_t length = 777;
    for (size_t i = 0; i < vosyncloc_list_count(list); ++i) {
        const char* path = vosyncloc_list_path(list, i, &length);
        listing += vosyncloc_list_key(list, i) + ("=" + std::string(path, length)) + "\n";
    }
    EXPECT_EQ(listing, tool(""));
    EXPECT_EQ(vosyncloc_list_count(list), 15u);
    EXPECT_EQ(vosyncloc_list_key(list, 15), nullptr);
    const size_t lastLength = length;
    EXPECT_EQ(vosyncloc_list_path(list, 15, &length), nullptr);
    EXPECT_EQ(length, lastLength);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (size_t t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (size_t i = t; i < t + 1000; ++i) {
                char* path = nullptr;
                size_t found = 0;
                if (vosyncloc_location(vosyncloc_key(i % 15), &path, &found, nullptr) != 0 ||
                    std::string(path, found) != vosyncloc_list_path(list, i % 15, nullptr)) {
                    ++wrong;
                }
                vosyncloc_free(path);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong, 0);
    vosyncloc_list_close(list);
}

}  // namespace
