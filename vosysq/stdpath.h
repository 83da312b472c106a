// Standard directory query: the process-wide table of standard directories, built
// once at start-up from built-in defaults and the optional relocation library.
//
// The table is built by the first get_std_dir_table call, which a start-up hook in this
// library makes before main, under a process-wide table status. It holds 19 names with
// their default paths, some possibly replaced by the relocation library
// "libvorelocations.so.0", which is opened, asked once per name and closed again during
// the build. Afterwards the table and its status are read-only. At exit the entries are
// released first, then the table status's buffer.
#pragma once

#include <cstdint>
#include <string>

#include "errors/status.h"
#include "vohtl/growable_list.h"
#include "vohtl/owned_text.h"

namespace vosysq {

// The relocation library's `get_relocated_dir`: asked with a directory name, a writable
// answer buffer and its size. Greater than 0: the buffer holds the relocated path as
// NUL-terminated text; 0: not relocated; less than 0: failure.
using RelocatedDirFn = int32_t (*)(const char* name, char* answer, int32_t size);

// One standard directory. The entry status is a copy of the status under which the list
// placed the entry (success, in practice); nothing reads it. Declared last, it is
// released first when the entry is destroyed.
struct StdDirEntry {
    vohtl::OwnedText name;
    vohtl::OwnedText defaultPath;  // the path the entry was created with; never changed
    vohtl::OwnedText currentPath;  // what lookups return; a relocation answer replaces it
    Status status;

    StdDirEntry() noexcept = default;
    StdDirEntry(StdDirEntry&& other) noexcept;
    StdDirEntry& operator=(StdDirEntry&&) = delete;

    // Called by the entry list whenever it creates or moves this entry.
    void placedUnder(const Status& listStatus) noexcept { status.assign(listStatus); }
};

struct StdDirTable {
    // The relocation library's entry point; set and used only while the table is being
    // built, and null again once the library has been closed.
    RelocatedDirFn getRelocatedDir = nullptr;
    // In insertion order; lookups take the first entry of a name.
    vohtl::GrowableList<StdDirEntry> entries;
};

// Returns the process-wide table, building it on the first call in the process. Every
// call merges the table status into `status` (Status::mergeCopy: a failed build fails
// every caller with the same code and debug text); a null status is not merged into.
// The table is returned in every case.
const StdDirTable& get_std_dir_table(Status* status) noexcept;

// Appends the entry {name, path, path} (no check for an existing entry of that name).
// Does nothing when the status is null or holds an error, or a text is null; when
// memory runs out the status holds voapalerr_memoryFull and the table is unchanged.
void add_std_dir(StdDirTable& table, const char* name, const char* path, Status* status) noexcept;

// Gives `out` the current path of the first entry named exactly `name` (an empty path
// gives an empty `out`). Does nothing when the status is null or holds an error; an
// unknown name records voapalerr_osFault (code only) and leaves `out` as it was.
void lookup_std_dir(const StdDirTable& table, const vohtl::OwnedText& name, vohtl::OwnedText& out,
                    Status* status) noexcept;

// Asks the table's relocation entry point about `name` with a 255-byte answer buffer.
// A positive answer replaces the entry's current path (or appends a new entry when there
// is none); 0 changes nothing; a negative answer, or a positive one whose text has no
// NUL within the buffer, records voapalerr_resourceNotFound (code only). Does nothing
// when the status is null or holds an error, or when the name or entry point is null.
void relocate_std_dir(StdDirTable& table, const char* name, Status* status) noexcept;

// Each getter returns the table's current path of its standard directory, exactly as
// held, or throws voerr::Exception with the status's code and debug text when the table's
// build failed or the name is unknown. Called while another exception propagates, a getter
// never throws: it returns its result, empty when the lookup failed.
std::string get_runstatedir();
std::string get_sysconfdir();
std::string get_sharedstatedir();
std::string get_localstatedir();
std::string get_multiarchlibdir();
std::string get_bindir();

}  // namespace vosysq
