#include "vodynlib/dynload.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "errors/error_constants.h"

namespace {

const std::string kAnswersLibrary = VORELOC_ANSWERS_DIR "/libvorelocations.so.0";
const std::string kNoSymbolLibrary = VORELOC_NOSYMBOL_DIR "/libvorelocations.so.0";
const std::string kMissingLibrary = "/nonexistent/vodynlib-test/libmissing.so";

// The loader's own message for a failing dlopen of `path`, as the library must report.
std::string loader_message_for(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    EXPECT_EQ(handle, nullptr);
    const char* message = dlerror();
    return message != nullptr ? message : "";
}

// Points the fixtures' VORELOC_LOG at a fresh file for the test's lifetime.
class FixtureLog {
public:
    FixtureLog() : path_(testing::TempDir() + "vodynlib_log_" + std::to_string(getpid())) {
        std::remove(path_.c_str());
        setenv("VORELOC_LOG", path_.c_str(), 1);
    }
    ~FixtureLog() {
        unsetenv("VORELOC_LOG");
        std::remove(path_.c_str());
    }
    std::string contents() const {
        std::ifstream in(path_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string path_;
};

TEST(DynloadTest, MissingLibraryGivesTheLoadPayloadWithTheLoaderMessage) {
    const std::string message = loader_message_for(kMissingLibrary);
    ASSERT_FALSE(message.empty());
    Status status;
    EXPECT_EQ(vodynlib_load(kMissingLibrary.c_str(), RTLD_NOW | RTLD_GLOBAL, &status), nullptr);
    EXPECT_EQ(status.code, voapalerr_invalidParameter);
    ASSERT_NE(status.text, nullptr);
    EXPECT_EQ(std::string(status.text),
              "{\"error_constant\":\"voapalerr_invalidParameter\","
              "\"file\":\"vodynlib/dynload.cpp\",\"line\":65,\"component\":\"vosyncloc\","
              "\"vodynlib_debug\":{\"debug\":\"failed to vodynlib_load library\",\"path\":\"" +
                  kMissingLibrary + "\"},\"internal_error\":{\"api\":\"dlerror\",\"string\":\"" +
                  message + "\"}}");
    EXPECT_EQ(dlerror(), nullptr) << "the loader's pending error must be cleared";
}

TEST(DynloadTest, MissingSymbolGivesTheSymbolPayloadWithTheLoaderMessage) {
    Status status;
    void* handle = vodynlib_load(kNoSymbolLibrary.c_str(), RTLD_NOW | RTLD_GLOBAL, &status);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(status.text, nullptr) << "a successful load does not touch the status";
    dlsym(handle, "get_relocated_dir");
    const char* expectedMessage = dlerror();
    ASSERT_NE(expectedMessage, nullptr);
    const std::string message = expectedMessage;

    EXPECT_EQ(vodynlib_symbol(handle, "get_relocated_dir", &status), nullptr);
    EXPECT_EQ(status.code, voapalerr_invalidParameter);
    ASSERT_NE(status.text, nullptr);
    EXPECT_EQ(std::string(status.text),
              "{\"error_constant\":\"voapalerr_invalidParameter\","
              "\"file\":\"vodynlib/dynload.cpp\",\"line\":140,\"component\":\"vosyncloc\","
              "\"vodynlib_debug\":{\"debug\":\"failed to get symbol\","
              "\"vodynlib_symbol\":\"get_relocated_dir\"},"
              "\"internal_error\":{\"api\":\"dlerror\",\"string\":\"" +
                  message + "\"}}");
    EXPECT_EQ(dlerror(), nullptr);
    vodynlib_close(handle);
}

TEST(DynloadTest, ExportedSymbolIsFoundAndCallable) {
    Status status;
    void* handle = vodynlib_load(kAnswersLibrary.c_str(), RTLD_NOW | RTLD_GLOBAL, &status);
    ASSERT_NE(handle, nullptr);
    void* symbol = vodynlib_symbol(handle, "get_relocated_dir", &status);
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol, dlsym(handle, "get_relocated_dir"));
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(status.text, nullptr);
    vodynlib_close(handle);
}

TEST(DynloadTest, LoadsOnceAndClosesAgain) {
    FixtureLog log;
    Status status;
    void* handle = vodynlib_load(kAnswersLibrary.c_str(), RTLD_NOW | RTLD_GLOBAL, &status);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(log.contents(), "load\n");
    vodynlib_close(handle);
    EXPECT_EQ(log.contents(), "load\nunload\n");
}

TEST(DynloadTest, StatusHoldingAnErrorNeverCallsTheLoader) {
    FixtureLog log;
    Status status;
    ASSERT_EQ(vodynlib_load(kMissingLibrary.c_str(), RTLD_NOW, &status), nullptr);
    const std::string payload = status.text;

    EXPECT_EQ(vodynlib_load(kAnswersLibrary.c_str(), RTLD_NOW | RTLD_GLOBAL, &status), nullptr);
    EXPECT_EQ(log.contents(), "") << "dlopen was called";
    // A lookup after the failed load, under the same status, adds nothing either.
    EXPECT_EQ(vodynlib_symbol(nullptr, "get_relocated_dir", &status), nullptr);
    EXPECT_EQ(status.code, voapalerr_invalidParameter);
    EXPECT_EQ(std::string(status.text), payload);
}

TEST(DynloadTest, FailureReplacesAWarning) {
    Status status;
    status.setCode(4);
    EXPECT_EQ(vodynlib_load(kMissingLibrary.c_str(), RTLD_NOW, &status), nullptr);
    EXPECT_EQ(status.code, voapalerr_invalidParameter);
    ASSERT_NE(status.text, nullptr);
    EXPECT_NE(std::string(status.text).find("\"line\":65"), std::string::npos);
}

}  // namespace
