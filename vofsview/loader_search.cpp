#include "vofsview/loader_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vofsview/loader_cache.h"

namespace vofsview {
namespace {

constexpr char kCache[] = "/etc/ld.so.cache";
// Far above any real cache (a system with thousands of libraries has a few hundred KiB),
// so that a hostile one is refused before it is read.
constexpr off_t kMaxCacheSize = 64 << 20;

constexpr const char* kDefaultDirs[] = {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu",
                                        "/lib", "/usr/lib"};
// In the loader's order of preference; "" is the directory itself.
constexpr const char* kHwcapsSubdirs[] = {"/glibc-hwcaps/x86-64-v4", "/glibc-hwcaps/x86-64-v3",
                                          "/glibc-hwcaps/x86-64-v2", ""};

void conclude(LibrarySearch outcome, int error, const char* path,
              LibrarySearchResult* result) noexcept {
    result->outcome = outcome;
    result->error = error;
    std::snprintf(result->path, sizeof result->path, "%s", path);
}

// Looks at one place the loader would take the library from. False when the search
// ends there: found, or the place could not be looked at.
bool look_at(const FileSystemView& view, const char* path, LibrarySearchResult* result) noexcept {
    FileType type = FileType::notFound;
    const int error = view.type_of(path, &type);
    if (error != 0) {
        conclude(LibrarySearch::unreadable, error, path, result);
        return false;
    }
    if (type == FileType::notFound) return true;
    conclude(LibrarySearch::found, 0, path, result);
    return false;
}

struct CacheVisit {
    const FileSystemView& view;
    LibrarySearchResult* result;
    bool ended;
};

bool visit_entry(void* context, const char* path) noexcept {
    auto& visit = *static_cast<CacheVisit*>(context);
    visit.ended = !look_at(visit.view, path, visit.result);
    return !visit.ended;
}

// Reads all of the open regular file `fd` of `size` bytes into fresh storage (the
// caller frees it); null with errno set when it cannot (EIO for a file that ends early).
char* read_whole(int fd, size_t size) noexcept {
    char* bytes = static_cast<char*>(std::malloc(size > 0 ? size : 1));
    if (bytes == nullptr) return nullptr;
    size_t done = 0;
    while (done < size) {
        const ssize_t count = read(fd, bytes + done, size - done);
        if (count > 0) {
            done += static_cast<size_t>(count);
        } else if (count == 0 || errno != EINTR) {
            if (count == 0) errno = EIO;
            const int error = errno;
            std::free(bytes);
            errno = error;
            return nullptr;
        }
    }
    return bytes;
}

// The cache's entries for `name`. False when the search ends at the cache: found in
// it, or it cannot be read or understood.
bool search_cache(const FileSystemView& view, const char* name,
                  LibrarySearchResult* result) noexcept {
    const int fd = view.open_to_read(kCache);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return true;  // no cache: the loader goes on
        conclude(LibrarySearch::unreadable, errno, kCache, result);
        return false;
    }
    struct stat info {};
    char* bytes = nullptr;
    int error = fstat(fd, &info) != 0 ? errno : 0;
    if (error == 0 && S_ISREG(info.st_mode)) {
        if (info.st_size > kMaxCacheSize) {
            error = EFBIG;
        } else if ((bytes = read_whole(fd, static_cast<size_t>(info.st_size))) == nullptr) {
            error = errno;
        }
    }
    close(fd);
    if (error != 0) {
        conclude(LibrarySearch::unreadable, error, kCache, result);
        return false;
    }
    CacheVisit visit{view, result, false};
    const bool understood =
        bytes != nullptr &&
        visit_cache_entries(bytes, static_cast<size_t>(info.st_size), name, visit_entry, &visit);
    std::free(bytes);
    if (!understood) conclude(LibrarySearch::notUnderstood, 0, kCache, result);
    return understood && !visit.ended;
}

}  // namespace

void search_library(const FileSystemView& view, const char* name,
                    LibrarySearchResult* result) noexcept {
    *result = LibrarySearchResult{};
    if (!search_cache(view, name, result)) return;
    char path[PATH_MAX];
    for (const char* dir : kDefaultDirs) {
        for (const char* subdir : kHwcapsSubdirs) {
            std::snprintf(path, sizeof path, "%s%s/%s", dir, subdir, name);
            if (!look_at(view, path, result)) return;
        }
    }
}

}  // namespace vofsview
