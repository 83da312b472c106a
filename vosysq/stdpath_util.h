// Whole-file reading and the maker's shared directory lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "errors/status.h"
#include "vofsview/file_system_view.h"
#include "vohtl/file_buffer.h"

namespace vosysq {

// The largest file read_file_contents reads: 64 KiB. The pointer file names one
// directory, so this is far above any path the system takes (PATH_MAX is 4096), yet a
// huge or sparse file is refused before anything is allocated or read.
constexpr size_t kMaxFileContentSize = 64 * 1024;

// Where the shared directory came from.
enum class SharedDirSource : uint8_t {
    pointerFile,            // the trimmed content of the pointer file
    emptyPointerFile,       // the pointer file was read but trimmed to nothing: "" it is
    pointerFileNotFound,    // the default: the pointer file does not exist
    pointerFileUnreadable,  // the default: the pointer file exists but was not read
};

// What one shared directory lookup found, described by the same single read that gave
// its result.
struct SharedDirOrigin {
    SharedDirSource source = SharedDirSource::pointerFileUnreadable;
    std::string pointerFile;  // the path of the pointer file consulted ("" for none)
    std::string content;      // what was read from it, before trimming (read sources)
    // For the default: the failed read's status code (0 when there was no path), the
    // system's error number it recorded and that number's message text (0 and "" when
    // it recorded none: exhausted memory, or a read cut short without an error, such as
    // a file that reports a larger size than it yields). All three are empty for a read.
    int32_t code = 0;
    int32_t error = 0;
    std::string errorText;
    // For a read cut short without an error number: the size the file reported and the
    // bytes it yielded; -1 otherwise.
    int64_t fileSize = -1;
    int64_t bytesRead = -1;
};

// The maker's shared directory: the trimmed content of "/etc/morvane/share/share.dir"
// (possibly empty), or "/usr/local/morvane/share" when that file cannot be read. A failed
// read is not an error: only the string type's own exceptions leave this function.
std::string getVOSharedDir();

// As getVOSharedDir(), and when `origin` is not null, fills it from the same read.
std::string getVOSharedDir(SharedDirOrigin* origin);

// As getVOSharedDir(origin), with the pointer file read through `view` (this machine's,
// or an image's, inside which its path is then resolved).
std::string getVOSharedDir(SharedDirOrigin* origin, const vofsview::FileSystemView& view);

// The lookup behind getVOSharedDir, for the pointer file at `pointerFile` as `view` sees
// it: its trimmed content, or "/usr/local/morvane/share" when read_file_contents fails
// on it (also for a null path). When `origin` is not null it is filled as well; *origin
// is complete only when the function returns. Throws only the string type's exceptions.
std::string shared_dir_from(const char* pointerFile, SharedDirOrigin* origin = nullptr,
                            const vofsview::FileSystemView& view = vofsview::this_machine());

// Reads the whole file at `path` into `buffer`: on success its length is the file size
// plus one, the last byte NUL, and true is returned. Returns false, doing nothing, when
// the status is null or holds an error, or `path` is null. The file is opened without
// blocking and must be a regular file of at most kMaxFileContentSize bytes. Otherwise a
// failure returns false with the status holding:
//   - voapalerr_resourceNotFound when the file cannot be opened (buffer unchanged);
//   - voapalerr_osFault, the code and payload of a short read with "fread_return" 0
//     (buffer unchanged), when the path is not a regular file ("internal_error" code
//     EISDIR for a directory, ESPIPE for a FIFO or socket, EINVAL for a device;
//     "fileSize" as the file system reports it), when the size cannot be determined,
//     or when it exceeds kMaxFileContentSize (EFBIG, "fileSize" the real size);
//   - voapalerr_osFault when fewer bytes than the size were read (buffer sized, NUL at
//     the size position);
//   - voapalerr_memoryFull when the buffer cannot grow (buffer unchanged);
// with "internal_error" and "vosysq_debug" members after the location members when the
// error became the status's code. A file not regular or too large gets no code of its
// own: it fails as a directory always has, so callers that tell failures apart by code
// see nothing new. A status holding a warning is read on as if it held success.
// The file is opened through `view` (vofsview::FileSystemView::open_to_read), so an
// image's file that is not regular is never opened to be read.
bool read_file_contents(const char* path, vohtl::FileBuffer& buffer, Status* status,
                        const vofsview::FileSystemView& view = vofsview::this_machine()) noexcept;

// Trims `text` in place: first the longest run at the end made of white space, NUL
// bytes and "/", then the longest run of white space at the start. Inner bytes stay; the
// result may be empty.
void trim_dir_text(std::string& text) noexcept;

}  // namespace vosysq
