// Both views over the same real trees: this machine's reads the paths as they are, an
// image's resolves them inside the tree. Where the loader of an image would find a
// library, from caches that ldconfig writes. What an image's view does under a rename
// race and when the kernel keeps answering EAGAIN.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "openat2_eagain.h"
#include "vofsview/file_system_view.h"
#include "vofsview/image_view.h"
#include "vofsview/loader_cache.h"

namespace {

using vofsview::FileType;
using vofsview::LibrarySearch;

const std::string kLibrary = "libvorelocations.so.0";

// A directory of the test's own, laid out by shell commands run inside it.
class Tree {
public:
    Tree() {
        char name[] = "/tmp/vofsview-XXXXXX";
        root_ = mkdtemp(name);
    }
    ~Tree() { EXPECT_EQ(std::system(("rm -rf '" + root_ + "'").c_str()), 0); }
    const std::string& root() const { return root_; }
    bool shell(const std::string& commands) const {
        return std::system(("cd '" + root_ + "' && " + commands).c_str()) == 0;
    }
    // An image view of the tree, its warnings dropped.
    void open(vofsview::ImageView& image) const {
        const char* failed = nullptr;
        ASSERT_EQ(image.open(root_.c_str(), {}, &failed), 0) << failed;
    }

private:
    std::string root_;
};

// What a view says of a path: its type or error, and how open_to_read gave it.
std::string seen(const vofsview::FileSystemView& view, const std::string& path) {
    static const char* const kTypes[] = {"notFound",  "regular", "directory", "block",
                                         "character", "fifo",    "socket",    "unknown"};
    FileType type = FileType::unknown;
    const int error = view.type_of(path.c_str(), &type);
    std::string said = error != 0 ? std::strerror(error) : kTypes[static_cast<int>(type)];
    const int fd = view.open_to_read(path.c_str());
    if (fd < 0) return said + ", " + std::strerror(errno);
    said += (fcntl(fd, F_GETFL) & O_PATH) != 0 ? ", named" : ", opened";
    close(fd);
    return said;
}

TEST(BothViews, AnswerForTheSameTree) {
    Tree tree;
    ASSERT_TRUE(tree.shell(
        "mkdir etc dir && echo x >etc/share.dir && mkfifo fifo && ln -s loop loop && "
        "ln -s /etc/share.dir absolute && ln -s ../../../../../../etc/share.dir climbing && "
        "python3 -c 'import socket; socket.socket(socket.AF_UNIX).bind(\"socket\")'"));
    vofsview::ImageView image;
    tree.open(image);
    const std::string loop = "Too many levels of symbolic links";
    // A link that leads out of the tree leads, in the image, to the image's own file;
    // an image's file that is not regular is never opened.
    struct Row {
        const char* path;
        std::string thisMachine;
        std::string image;
    } rows[] = {
        {"/etc/share.dir", "regular, opened", "regular, opened"},
        {"/dir", "directory, opened", "directory, named"},
        {"/fifo", "fifo, opened", "fifo, named"},
        {"/socket", "socket, No such device or address", "socket, named"},
        {"/absolute", "notFound, No such file or directory", "regular, opened"},
        {"/climbing", "notFound, No such file or directory", "regular, opened"},
        {"/loop", loop + ", " + loop, loop + ", " + loop},
        {"/etc/share.dir/below", "notFound, Not a directory", "notFound, Not a directory"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(seen(vofsview::this_machine(), tree.root() + row.path), row.thisMachine)
            << row.path;
        EXPECT_EQ(seen(image, row.path), row.image) << row.path;
    }
    EXPECT_EQ(image.unresolved_path(), nullptr);
}

// A file checked is the file read: with a regular file and a FIFO swapped under its name
// all the while, the image's FIFO is never opened to be read.
TEST(ImageView, NeverOpensAFifoSwappedInForTheFileItChecked) {
    Tree tree;
    ASSERT_TRUE(tree.shell("mkdir etc && echo x >etc/share.dir && mkfifo etc/swap"));
    vofsview::ImageView image;
    tree.open(image);
    std::atomic<bool> done{false};
    std::thread swapper([&] {
        const std::string a = tree.root() + "/etc/share.dir", b = tree.root() + "/etc/swap";
        while (!done) renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
    });
    int fifosOpened = 0, filesOpened = 0;
    for (int attempt = 0; attempt < 3000; ++attempt) {
        const int fd = image.open_to_read("/etc/share.dir");
        struct stat info {};
        if (fd >= 0 && fstat(fd, &info) == 0 && (fcntl(fd, F_GETFL) & O_PATH) == 0) {
            (S_ISFIFO(info.st_mode) ? fifosOpened : filesOpened) += 1;
        }
        if (fd >= 0) close(fd);
    }
    done = true;
    swapper.join();
    EXPECT_EQ(fifosOpened, 0);
    EXPECT_GT(filesOpened, 0);
}

// Past its retries, a resolution that the kernel keeps interrupting fails with EAGAIN
// and names its path; nothing is taken for "not found".
TEST(ImageView, ReportsAResolutionThatKeepsRacing) {
    Tree tree;
    vofsview::ImageView image;
    tree.open(image);
    const int status = runWhereOpenat2KeepsFailing([&image] {
        FileType type = FileType::unknown;
        return image.type_of("/etc/share.dir", &type) == EAGAIN && type == FileType::unknown &&
               image.open_to_read("/x") == -1 && errno == EAGAIN &&
               std::strcmp(image.unresolved_path(), "/etc/share.dir") == 0;
    });
    if (status == 77) GTEST_SKIP() << "no seccomp filter";
    EXPECT_EQ(status, 0);
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool visitAll(void* context, const char* path) {
    *static_cast<std::string*>(context) += std::string(path) + ";";
    return true;
}

// Where the image's loader would find the relocation library: through its cache (written
// by ldconfig -r, as root or as root of a user namespace), in a glibc-hwcaps
// subdirectory or a default directory, or nowhere. A cache that is there but not
// understood, or cut short anywhere before its last entry's strings, is never read as one
// that lacks it.
TEST(ImageView, FindsALibraryWhereTheImagesLoaderWould) {
    const std::string hwcaps = "/usr/lib/x86_64-linux-gnu/glibc-hwcaps/x86-64-v2";
    const std::string ldconfig =
        std::string(geteuid() == 0 ? "" : "unshare -Ur ") + "/sbin/ldconfig -r . 2>/dev/null";
    const std::string junkCache = "printf ld.so-1.7.0 >etc/ld.so.cache";
    struct Row {
        std::string dir;       // where the library is, "" for nowhere
        std::string commands;  // run in the tree after that
        LibrarySearch outcome;
        std::string path;
    } rows[] = {
        {"", "true", LibrarySearch::notFound, ""},
        {"/opt/vendor/lib", ldconfig, LibrarySearch::found, "/opt/vendor/lib/" + kLibrary},
        {"/usr/local/lib", "true", LibrarySearch::notFound, ""},
        {hwcaps, "true", LibrarySearch::found, hwcaps + "/" + kLibrary},
        {"/usr/lib", "true", LibrarySearch::found, "/usr/lib/" + kLibrary},
        {"/lib", "touch etc/ld.so.cache", LibrarySearch::notUnderstood, "/etc/ld.so.cache"},
        {"/lib", junkCache, LibrarySearch::notUnderstood, "/etc/ld.so.cache"},
    };
    for (const Row& row : rows) {
        Tree tree;
        const std::string place = row.dir.empty() ? "nowhere" : "." + row.dir;
        ASSERT_TRUE(tree.shell("mkdir -p etc " + place +
                               " && echo /opt/vendor/lib >etc/ld.so.conf"
                               " && cp " VORELOC_ANSWERS_DIR "/" +
                               kLibrary + " " + place));
        if (!tree.shell(row.commands)) {
            std::printf("cannot run here, skipped: %s\n", row.commands.c_str());
            continue;
        }
        vofsview::ImageView image;
        tree.open(image);
        vofsview::LibrarySearchResult result;
        image.find_library(kLibrary.c_str(), &result);
        EXPECT_EQ(result.outcome, row.outcome) << row.dir;
        EXPECT_EQ(result.path, row.path) << row.dir;
        if (row.commands != ldconfig) continue;
        const std::string cache = contentOf(tree.root() + "/etc/ld.so.cache");
        std::string paths;
        EXPECT_TRUE(vofsview::visit_cache_entries(cache.data(), cache.size(), kLibrary.c_str(),
                                                  visitAll, &paths));
        EXPECT_EQ(paths, row.path + ";");
        for (std::size_t size = 0; size < cache.rfind(kLibrary) + kLibrary.size() + 1; ++size) {
            EXPECT_FALSE(vofsview::visit_cache_entries(cache.data(), size, kLibrary.c_str(),
                                                       visitAll, &paths))
                << "cut at " << size;
        }
    }
    vofsview::LibrarySearchResult result;
    vofsview::this_machine().find_library(kLibrary.c_str(), &result);
    EXPECT_EQ(result.outcome, LibrarySearch::loadedByThisProcess);
}

}  // namespace
