// Whole-file reading and trimming, on real files, directories and pipes.
#include "vosysq/stdpath_util.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "errors/error_constants.h"

namespace {

using vohtl::FileBuffer;

std::string bytes_of(const FileBuffer& buffer) {
    return std::string(buffer.data(), buffer.size());
}

// A file or directory under the test temp directory, removed again at the end.
class TempPath {
public:
    explicit TempPath(const std::string& leaf)
        : path_(testing::TempDir() + "vosysq_" + std::to_string(getpid()) + "_" + leaf) {}
    ~TempPath() {
        std::remove(path_.c_str());  // a file or an empty directory
    }
    const char* c_str() const { return path_.c_str(); }
    const std::string& str() const { return path_; }

    void write(const std::string& content) const {
        std::ofstream out(path_, std::ios::binary);
        out << content;
    }

private:
    std::string path_;
};

std::string errno_member(int error) {
    return "\"internal_error\":{\"api\":\"errno\",\"code\":" + std::to_string(error) +
           ",\"string\":\"" + std::strerror(error) + "\"}";
}

TEST(ReadFileContentsTest, MissingFileGivesTheOpenPayloadInOrder) {
    TempPath missing("missing");
    FileBuffer buffer;
    Status status;
    EXPECT_FALSE(vosysq::read_file_contents(missing.c_str(), buffer, &status));
    EXPECT_EQ(status.code, voapalerr_resourceNotFound);
    ASSERT_NE(status.text, nullptr);
    EXPECT_EQ(std::string(status.text),
              "{\"error_constant\":\"voapalerr_resourceNotFound\","
              "\"file\":\"vosysq/stdpath_util.cpp\",\"line\":224,\"component\":\"vosyncloc\"," +
                  errno_member(ENOENT) +
                  ",\"vosysq_debug\":{\"desc\":\"error opening file\",\"filename\":\"" +
                  missing.str() + "\"}}");
    EXPECT_EQ(buffer.size(), 0u);
}

TEST(ReadFileContentsTest, RealFileGivesItsBytesAndOneNul) {
    const std::string contents[] = {
        "",
        "/opt/share\n",
        std::string("inner\0nul\r\n\xff", 12),
        std::string(5000, 'l'),
    };
    for (const std::string& content : contents) {
        TempPath file("real");
        file.write(content);
        FileBuffer buffer;
        Status status;
        ASSERT_TRUE(buffer.resize(9000, 'x', &status)) << "a longer buffer is cut down";
        EXPECT_TRUE(vosysq::read_file_contents(file.c_str(), buffer, &status));
        EXPECT_EQ(status.code, 0);
        EXPECT_EQ(status.text, nullptr);
        ASSERT_EQ(buffer.size(), content.size() + 1);
        EXPECT_EQ(bytes_of(buffer), content + '\0');
    }
}

TEST(ReadFileContentsTest, DirectoryFailsAsAShortReadWithTheBufferUntouched) {
    TempPath directory("directory");
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    FileBuffer buffer;
    Status status;
    ASSERT_TRUE(buffer.resize(3, 'k', &status));
    // Depending on the file system the size query fails, reports a size no buffer can
    // hold (LONG_MAX), or reports a small size whose read then fails: every way, the
    // read fails and nothing beyond the buffer is touched.
    EXPECT_FALSE(vosysq::read_file_contents(directory.c_str(), buffer, &status));
    EXPECT_EQ(status.code, voapalerr_osFault);
    ASSERT_NE(status.text, nullptr);
    const std::string payload = status.text;
    EXPECT_EQ(payload.rfind(
                  "{\"error_constant\":\"voapalerr_osFault\",\"file\":\"vosysq/stdpath_util.cpp\","
                  "\"line\":249,\"component\":\"vosyncloc\",\"internal_error\":{\"api\":\"errno\"",
                  0),
              0u)
        << payload;
    EXPECT_NE(payload.find("\"vosysq_debug\":{\"desc\":\"didn't read full content of file\""),
              std::string::npos)
        << payload;
    EXPECT_NE(payload.find("\"fread_return\":0,\"filename\":\"" + directory.str() + "\"}}"),
              std::string::npos)
        << payload;
    rmdir(directory.c_str());
}

TEST(ReadFileContentsTest, UnseekableFileFailsAsAShortRead) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string path = "/proc/self/fd/" + std::to_string(ends[0]);
    FileBuffer buffer;
    Status status;
    EXPECT_FALSE(vosysq::read_file_contents(path.c_str(), buffer, &status));
    close(ends[0]);
    close(ends[1]);
    EXPECT_EQ(status.code, voapalerr_osFault);
    ASSERT_NE(status.text, nullptr);
    EXPECT_EQ(std::string(status.text),
              "{\"error_constant\":\"voapalerr_osFault\",\"file\":\"vosysq/stdpath_util.cpp\","
              "\"line\":249,\"component\":\"vosyncloc\"," +
                  errno_member(ESPIPE) +
                  ",\"vosysq_debug\":{\"desc\":\"didn't read full content of file\","
                  "\"fileSize\":0,\"fread_return\":0,\"filename\":\"" +
                  path + "\"}}");
    EXPECT_EQ(buffer.size(), 0u);
}

// Only a regular file up to the cap is read. A FIFO (whose plain open would wait for a
// writer) and a larger file, however sparse, fail like a short read with nothing read.
TEST(ReadFileContentsTest, FifoOrFileAboveTheCapIsAFailedRead) {
    struct Row {
        const char* leaf;
        bool fifo;
        uint64_t size;
        int error;  // 0: read in full
    };
    const uint64_t cap = vosysq::kMaxFileContentSize;
    for (const Row row : {Row{"fifo", true, 0, ESPIPE}, Row{"at_cap", false, cap, 0},
                          Row{"above_cap", false, cap + 1, EFBIG},
                          Row{"sparse_gib", false, uint64_t{1} << 30, EFBIG}}) {
        TempPath path(row.leaf);
        if (row.fifo) {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0) << std::strerror(errno);
        } else {
            path.write("");
            ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(row.size)), 0);
        }
        FileBuffer buffer;
        Status status;
        const bool read = vosysq::read_file_contents(path.c_str(), buffer, &status);
        EXPECT_EQ(read, row.error == 0) << row.leaf;
        EXPECT_EQ(buffer.size(), row.error == 0 ? row.size + 1 : 0u) << row.leaf;
        if (row.error == 0) continue;
        EXPECT_EQ(std::string(status.text != nullptr ? status.text : ""),
                  "{\"error_constant\":\"voapalerr_osFault\",\"file\":\"vosysq/stdpath_util.cpp\","
                  "\"line\":249,\"component\":\"vosyncloc\"," +
                      errno_member(row.error) +
                      ",\"vosysq_debug\":{\"desc\":\"didn't read full content of file\","
                      "\"fileSize\":" +
                      std::to_string(row.size) + ",\"fread_return\":0,\"filename\":\"" +
                      path.str() + "\"}}");
    }
}

TEST(ReadFileContentsTest, StatusHoldingAnErrorChangesNothing) {
    TempPath file("untouched");
    file.write("content");
    FileBuffer buffer;
    Status status;
    ASSERT_TRUE(buffer.resize(2, 'k', &status));
    status.setCode(voapalerr_invalidParameter);
    EXPECT_FALSE(vosysq::read_file_contents(file.c_str(), buffer, &status));
    EXPECT_EQ(bytes_of(buffer), "kk");
    TempPath missing("missing");
    EXPECT_FALSE(vosysq::read_file_contents(missing.c_str(), buffer, &status));
    EXPECT_EQ(status.code, voapalerr_invalidParameter);
    EXPECT_EQ(status.text, nullptr) << "the first error's payload stays";
}

TEST(ReadFileContentsTest, AWarningDoesNotStopTheReadButAFailureReplacesIt) {
    TempPath file("warned");
    file.write("abc");
    FileBuffer buffer;
    Status status;
    status.setCode(2);
    EXPECT_TRUE(vosysq::read_file_contents(file.c_str(), buffer, &status));
    EXPECT_EQ(bytes_of(buffer), std::string("abc", 4));
    EXPECT_EQ(status.code, 2);
    TempPath missing("missing");
    EXPECT_FALSE(vosysq::read_file_contents(missing.c_str(), buffer, &status));
    EXPECT_EQ(status.code, voapalerr_resourceNotFound);
}

struct TrimCase {
    std::string input;
    std::string expected;
};

TEST(TrimDirTextTest, TrimsEndsOnly) {
    const TrimCase cases[] = {
        {"/opt/morvane/share\n", "/opt/morvane/share"},
        {" \t/srv/share///  \r\n", "/srv/share"},
        {std::string("/srv/share\n\0", 12), "/srv/share"},
        {"\v\f/srv/share", "/srv/share"},
        {"/", ""},
        {"// \t\n/", ""},
        {"", ""},
        {"   ", ""},
        {"/first\n/second\n", "/first\n/second"},
        {"/inner space/x", "/inner space/x"},
        {std::string("\0/x", 3), std::string("\0/x", 3)},  // NUL is not trimmed at the start
        {"//network/share", "//network/share"},            // nor "/"
    };
    for (const TrimCase& trimCase : cases) {
        std::string text = trimCase.input;
        vosysq::trim_dir_text(text);
        EXPECT_EQ(text, trimCase.expected) << '"' << trimCase.input << '"';
    }
}

}  // namespace
