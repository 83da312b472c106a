#include "vosysq/stdpath_util.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "errors/error_constants.h"
#include "errors/exceptions.h"
#include "errors/status_payload.h"
#include "json/json_buffer.h"

namespace vosysq {

namespace {

const SourceLocation kOpenFailed = {"vosysq/stdpath_util.cpp", 224, voerr_component,
                                    "voapalerr_resourceNotFound"};
const SourceLocation kShortRead = {"vosysq/stdpath_util.cpp", 249, voerr_component,
                                   "voapalerr_osFault"};

constexpr const char* kPointerFile = "/etc/morvane/share/share.dir";
constexpr const char* kDefaultSharedDir = "/usr/local/morvane/share";

// strerror_r comes in two forms: the GNU one returns the text (not necessarily in the
// buffer), the XSI one returns an int and only fills the buffer. Overloading on the
// result type picks the right reading for whichever the C library declares.
[[maybe_unused]] const char* message_text(int /*xsiResult*/, const char* buffer) noexcept {
    return buffer[0] != '\0' ? buffer : nullptr;
}
[[maybe_unused]] const char* message_text(const char* gnuResult, const char* buffer) noexcept {
    return buffer[0] != '\0' ? buffer : gnuResult;
}

// Appends "internal_error" {"api":"errno","code":..,"string":..} and opens
// "vosysq_debug" with its "desc"; returns the position inside "vosysq_debug".
char* add_errno_members(Status* status, int error, const char* desc,
                        const JsonGrowHook& hook) noexcept {
    char buffer[256];
    buffer[0] = '\0';
    const char* message = message_text(strerror_r(error, buffer, sizeof buffer), buffer);
    char* p = status->reserve(2);
    p = json_open_object(p, "internal_error", &hook);
    p = json_add_string(p, "api", "errno", &hook);
    p = json_add_int(p, "code", error, &hook);
    if (message != nullptr && message[0] != '\0') {
        p = json_add_string(p, "string", message, &hook);
    }
    p = json_close(p);
    p = json_open_object(p, "vosysq_debug", &hook);
    return json_add_string(p, "desc", desc, &hook);
}

void record_open_failure(const char* path, int error, Status* status) noexcept {
    if (!status->setError(voapalerr_resourceNotFound, kOpenFailed)) return;
    const JsonGrowHook hook = {statusGrowHook, status};
    char* p = add_errno_members(status, error, "error opening file", hook);
    json_add_string(p, "filename", path, &hook);
}

void record_short_read(const char* path, int error, uint64_t size, uint64_t count,
                       Status* status) noexcept {
    if (!status->setError(voapalerr_osFault, kShortRead)) return;
    const JsonGrowHook hook = {statusGrowHook, status};
    char* p = add_errno_members(status, error, "didn't read full content of file", hook);
    p = json_add_ulong(p, "fileSize", size, &hook);
    p = json_add_ulong(p, "fread_return", count, &hook);
    json_add_string(p, "filename", path, &hook);
}

// The size of the open file, from a seek to its end, and back to its start. False, with
// *error set, when the seek or the position query fails or the size exceeds the cap
// (EFBIG); *size is then the size that was reported (0 when none was). A size above the
// cap is refused before anything is allocated or read.
bool measure_file(FILE* file, uint64_t* size, int* error) noexcept {
    *size = 0;
    if (std::fseek(file, 0, SEEK_END) != 0) {
        *error = errno;
        return false;
    }
    const long end = std::ftell(file);
    if (end < 0) {
        *error = errno;
        return false;
    }
    *size = static_cast<uint64_t>(end);
    if (*size > kMaxFileContentSize) {
        *error = EFBIG;
        return false;
    }
    std::rewind(file);
    return true;
}

// The error number reported for a file that is not a regular one: what reading or
// measuring it would have met. A directory cannot be read, a FIFO or socket cannot be
// measured by seeking; a device is simply not accepted.
int not_regular_error(mode_t mode) noexcept {
    if (S_ISDIR(mode)) return EISDIR;
    if (S_ISFIFO(mode) || S_ISSOCK(mode)) return ESPIPE;
    return EINVAL;
}

// Opens `path` as a stream when it is a regular file; otherwise records the failure and
// returns null. A FIFO, socket, device or directory is a failed read of the short-read
// kind, with nothing read ("fread_return" 0), so that a lookup gives its default as for
// any failed read. The view opens without blocking: without O_NONBLOCK a FIFO that no
// one writes would wait forever in open (on a regular file the flag changes nothing).
FILE* open_regular_file(const char* path, const vofsview::FileSystemView& view,
                        Status* status) noexcept {
    const int fd = view.open_to_read(path);
    if (fd < 0) {
        record_open_failure(path, errno, status);
        return nullptr;
    }
    struct stat info {};
    int error = fstat(fd, &info) != 0 ? errno : 0;
    if (error == 0 && !S_ISREG(info.st_mode)) error = not_regular_error(info.st_mode);
    if (error != 0) {
        close(fd);
        record_short_read(path, error, static_cast<uint64_t>(info.st_size), 0, status);
        return nullptr;
    }
    FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {  // no memory for the stream: as good as a failed open
        error = errno;
        close(fd);
        record_open_failure(path, error, status);
    }
    return file;
}

// Reads the measured content of the open file into the buffer (see read_file_contents).
bool read_open_file(FILE* file, const char* path, vohtl::FileBuffer& buffer,
                    Status* status) noexcept {
    uint64_t size = 0;
    int error = 0;
    if (!measure_file(file, &size, &error)) {
        record_short_read(path, error, size, 0, status);
        return false;
    }
    const size_t length = static_cast<size_t>(size);
    if (!buffer.resize(length + 1, '\0', status) || status->code < 0) return false;
    errno = 0;  // a read cut short by end of file leaves errno alone
    const size_t count = std::fread(buffer.data(), 1, length, file);
    error = errno;
    buffer.data()[length] = '\0';
    if (count != length) {
        record_short_read(path, error, size, count, status);
        return false;
    }
    return true;
}

bool is_space(char c) noexcept {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Describes a failed read of the pointer file from the status it left: a file that could
// not be opened because it (or a directory above it) is missing is not found; every other
// failure, an unopened file included, is unreadable.
void describe_failed_read(const Status& failed, SharedDirOrigin& origin) {
    origin.code = failed.code;
    origin.error = payloadInt(failed.text, "internal_error", "code", 0);
    const bool missing = failed.code == voapalerr_resourceNotFound &&
                         (origin.error == ENOENT || origin.error == ENOTDIR);
    origin.source =
        missing ? SharedDirSource::pointerFileNotFound : SharedDirSource::pointerFileUnreadable;
    if (failed.code == voapalerr_osFault && origin.error == 0) {
        // A short read with no error number: its sizes say what happened, not errno 0's
        // text. The file was at most kMaxFileContentSize bytes, so both fit.
        origin.fileSize = payloadInt(failed.text, "vosysq_debug", "fileSize", -1);
        origin.bytesRead = payloadInt(failed.text, "vosysq_debug", "fread_return", -1);
        return;
    }
    const size_t size = payloadString(failed.text, "internal_error", "string", nullptr, 0);
    if (size == 0) return;
    std::string message(size, '\0');  // throws std::bad_alloc when memory runs out
    payloadString(failed.text, "internal_error", "string", &message[0], size);
    message.pop_back();
    origin.errorText.swap(message);
}

}  // namespace

bool read_file_contents(const char* path, vohtl::FileBuffer& buffer, Status* status,
                        const vofsview::FileSystemView& view) noexcept {
    if (status == nullptr || status->code < 0 || path == nullptr) return false;
    FILE* file = open_regular_file(path, view, status);
    if (file == nullptr) return false;
    const bool complete = read_open_file(file, path, buffer, status);
    std::fclose(file);
    return complete;
}

void trim_dir_text(std::string& text) noexcept {
    size_t end = text.size();
    while (end > 0 && (is_space(text[end - 1]) || text[end - 1] == '\0' || text[end - 1] == '/')) {
        --end;
    }
    text.erase(end);
    size_t start = 0;
    while (start < text.size() && is_space(text[start])) ++start;
    text.erase(0, start);
}

std::string shared_dir_from(const char* pointerFile, SharedDirOrigin* origin,
                            const vofsview::FileSystemView& view) {
    if (origin != nullptr) *origin = SharedDirOrigin{};
    if (origin != nullptr && pointerFile != nullptr) origin->pointerFile = pointerFile;
    vohtl::FileBuffer buffer;
    Status local;  // a missing or unreadable pointer file is not an error
    if (!read_file_contents(pointerFile, buffer, &local, view)) {
        if (origin != nullptr) describe_failed_read(local, *origin);
        return kDefaultSharedDir;
    }
    std::string result(buffer.data(), buffer.size());  // the content and its final NUL
    if (origin != nullptr) origin->content.assign(result, 0, result.size() - 1);
    trim_dir_text(result);
    if (origin != nullptr) {
        origin->source =
            result.empty() ? SharedDirSource::emptyPointerFile : SharedDirSource::pointerFile;
    }
    return result;
}

std::string getVOSharedDir() {
    return getVOSharedDir(nullptr);
}

std::string getVOSharedDir(SharedDirOrigin* origin) {
    return getVOSharedDir(origin, vofsview::this_machine());
}

std::string getVOSharedDir(SharedDirOrigin* origin, const vofsview::FileSystemView& view) {
    ThrowingStatus status;  // ends its scope last, after the result is filled
    std::string result = shared_dir_from(kPointerFile, origin, view);
    return result;
}

}  // namespace vosysq
