// The shared directory lookup on any pointer-file content. The input's bytes after the
// first are written to a real file, which the lookup reads as the pointer file; the
// low six bits of the first byte choose whether the file holds just them (values other
// than 1 and 2), is padded with zeros to exactly the largest size read (1), or is one
// byte larger than that (2; a sparse tail). The result must be the content trimmed as
// the lookup promises, or the default for the file above the cap; trim_dir_text itself
// must trim the raw bytes the same way.
//
// The file is a memory file (memfd) opened by its /proc path: a file on disk would be
// flushed on every close after its truncation, which made syscalls most of the time.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "vosysq/stdpath_util.h"

namespace {

constexpr const char* kDefaultSharedDir = "/usr/local/morvane/share";

// The pointer file of this process, rewritten for each input.
struct PointerFile {
    int fd = memfd_create("vosysq_shared_dir_fuzz", MFD_CLOEXEC);
    std::string path = "/proc/self/fd/" + std::to_string(fd);

    // Makes the file `bytes` followed by zeros up to `size` bytes.
    void write(const uint8_t* bytes, size_t count, size_t size) const {
        FUZZ_CHECK(fd >= 0 && ftruncate(fd, 0) == 0);
        size_t done = 0;
        while (done < count) {
            const ssize_t n = pwrite(fd, bytes + done, count - done, static_cast<off_t>(done));
            FUZZ_CHECK(n > 0);
            done += static_cast<size_t>(n);
        }
        FUZZ_CHECK(ftruncate(fd, static_cast<off_t>(size)) == 0);
    }
};

bool isSpace(char c) {
    return std::strchr(" \t\n\v\f\r", c) != nullptr && c != '\0';
}
bool isTrailing(char c) {
    return isSpace(c) || c == '\0' || c == '/';
}

// `trimmed` must be `bytes` without its leading white space and without the longest
// run at the end made of white space, NUL and "/": it starts after the leading white
// space, everything behind it is such a run, and it does not end in such a byte.
void checkTrimmed(const std::string& bytes, const std::string& trimmed) {
    size_t start = 0;
    while (start < bytes.size() && isSpace(bytes[start])) ++start;
    FUZZ_CHECK(bytes.compare(start, trimmed.size(), trimmed) == 0);
    for (size_t i = start + trimmed.size(); i < bytes.size(); ++i) FUZZ_CHECK(isTrailing(bytes[i]));
    FUZZ_CHECK(trimmed.empty() || !isTrailing(trimmed.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const PointerFile pointerFile;
    if (size == 0) return 0;
    const uint8_t* content = data + 1;
    const size_t length = size - 1;
    const std::string bytes(reinterpret_cast<const char*>(content), length);

    std::string direct = bytes;
    vosysq::trim_dir_text(direct);
    checkTrimmed(bytes, direct);

    const size_t cap = vosysq::kMaxFileContentSize;
    // A file at the cap costs a 64 KiB read and trim: one input in 64.
    const size_t fileSize = (data[0] & 63) == 1 ? cap : (data[0] & 63) == 2 ? cap + 1 : length;
    if (fileSize < length) return 0;  // content alone above the cap (beyond -max_len)
    pointerFile.write(content, length, fileSize);
    const std::string found = vosysq::shared_dir_from(pointerFile.path.c_str());
    if (fileSize > cap) {
        FUZZ_CHECK(found == kDefaultSharedDir);
    } else {
        // Zeros after the content, and the NUL the reader adds, end in the trimmed run.
        checkTrimmed(bytes + '\0', found);
    }
    return 0;
}
