// A view of a file system: this machine's own, or a system image's seen from outside it.
// Every question the locations ask of a file system goes through one, so that the choice
// between the two is made once, by whoever creates the view, and nothing that reads
// through it asks which one it has. The view of this machine answers as the plain system
// calls always have; an image's resolves every path inside the image (image_view.h).
//
// Status-passing library code: nothing here throws or allocates with a throwing
// allocator. Failures are error numbers, as the system calls give them.
#pragma once

#include <limits.h>

#include <cstdint>

namespace vofsview {

// What a path names, as stat(2) tells it, symbolic links followed.
enum class FileType : uint8_t {
    notFound,  // ENOENT or ENOTDIR: nothing there, or a file where a directory should be
    regular,
    directory,
    blockDevice,
    characterDevice,
    fifo,
    socket,
    unknown,
};

// Where the dynamic loader of a viewed system would take a library from, by its name.
enum class LibrarySearch : uint8_t {
    // This machine: the process's own loader searched, and what it found already ran
    // (the standard directory table asked the relocation library before main).
    loadedByThisProcess,
    notFound,
    found,          // `path` holds where
    unreadable,     // a file the search needs could not be read: `path` and `error` say which
    notUnderstood,  // the loader's cache at `path` is in no format this search reads
};

struct LibrarySearchResult {
    LibrarySearch outcome = LibrarySearch::notFound;
    int error = 0;          // for unreadable: the error number
    char path[PATH_MAX]{};  // found, unreadable, notUnderstood: the path, as the view sees it
};

class FileSystemView {
public:
    FileSystemView(const FileSystemView&) = delete;
    FileSystemView& operator=(const FileSystemView&) = delete;

    // The type of the file at `path`, symbolic links followed (inside the view). Returns
    // 0 with *type set (FileType::notFound for ENOENT and ENOTDIR), or the error number
    // of any other failure with *type unchanged. Never opens the file, whatever it is.
    virtual int type_of(const char* path, FileType* type) const noexcept = 0;

    // A descriptor to read the file at `path` from, close-on-exec and without blocking
    // (a FIFO that no one writes does not hold up the open); -1 with errno set when it
    // cannot be opened. The caller checks its type with fstat(2) before reading: a view
    // that must not open a file which is not a regular one gives it only named (O_PATH),
    // so that reading it fails (EBADF) and fstat still tells what it is.
    virtual int open_to_read(const char* path) const noexcept = 0;

    // Where the viewed system's dynamic loader would find the library `name` (a file
    // name, no "/"), into *result.
    virtual void find_library(const char* name, LibrarySearchResult* result) const noexcept = 0;

    // Tells an administrator that a location fell back to a fixed default: `message`, as
    // it is, wherever the view's warnings go (this machine: its system log).
    virtual void warn(const char* message) const noexcept = 0;

    // What an error about one of the view's paths starts with, so that it cannot be
    // taken for this machine's own file: "" for this machine, "in the image DIR: "
    // for an image.
    virtual const char* error_context() const noexcept = 0;

    // The directory the view shows as "/", for a person who asks where the answers came
    // from: "" for this machine, the image's directory as given otherwise.
    virtual const char* image_dir() const noexcept = 0;

    // The first path whose resolution kept being interrupted by changes elsewhere in the
    // tree (the kernel's EAGAIN), past every retry: the answers read through this view
    // are then not to be trusted, and null until that happens. The call that met it
    // failed with EAGAIN.
    const char* unresolved_path() const noexcept {
        return unresolvedPath_[0] != '\0' ? unresolvedPath_ : nullptr;
    }

protected:
    FileSystemView() noexcept = default;
    // Views are never destroyed through this type, so this machine's needs no exit handler.
    ~FileSystemView() = default;

    // Records `path` as unresolved, unless one already is: the first one is reported.
    void note_unresolved(const char* path) const noexcept;

private:
    mutable char unresolvedPath_[PATH_MAX]{};
};

// The view of this machine: plain stat(2) and open(2) on the paths as given, its own
// dynamic loader, and its system log (LOG_WARNING, the platform's default identity and
// facility, as the log is never opened explicitly).
const FileSystemView& this_machine() noexcept;

}  // namespace vofsview
