// Standard directory query: the process-wide table of standard directories, built
// once at start-up from built-in defaults and the optional relocation library.
//
// The table is built by the first get_std_dir_table call, once and thread-safely, under a
// process-wide table status: the tool makes that call before main, a library only when it
// is first asked, so that loading it runs no foreign code. It holds 19 names with
// their default paths, some possibly replaced by the relocation library
// "libvorelocations.so.0", which is opened, asked once per name and closed again during
// the build. Afterwards the table and its status are read-only. At exit the entries are
// released first, then the table status's buffer.
//
// The table also keeps how it came to be, for a caller that explains its answers: each
// entry's source (built-in default or relocated) and the relocation library's outcome.
// Keeping it costs the build nothing it can measure: a flag per entry, and the loader's
// failure, which the build already holds in a status, moved over instead of dropped.
#pragma once

#include <cstdint>
#include <string>

#include "errors/status.h"
#include "vohtl/growable_list.h"
#include "vohtl/owned_text.h"

namespace vosysq {

// The optional relocation library and its entry point.
inline constexpr char kRelocationLibrary[] = "libvorelocations.so.0";
inline constexpr char kRelocationEntryPoint[] = "get_relocated_dir";

// Where a table entry's current path came from.
enum class StdDirSource : uint8_t {
    builtInDefault,  // the path the entry was created with: not relocated (or not asked)
    relocated,       // the relocation library's answer replaced it
};

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
    StdDirSource source = StdDirSource::builtInDefault;  // where currentPath came from
    Status status;

    StdDirEntry() noexcept = default;
    StdDirEntry(StdDirEntry&& other) noexcept;
    StdDirEntry& operator=(StdDirEntry&&) = delete;

    // Called by the entry list whenever it creates or moves this entry.
    void placedUnder(const Status& listStatus) noexcept { status.assign(listStatus); }
};

// Why the relocation library's answer to a name failed the table's build.
enum class RelocationFailure : uint8_t {
    none,          // no answer failed
    refused,       // a negative answer
    unterminated,  // a positive answer without a NUL within the buffer
    notTaken,      // no memory to store the answer, or to ask with
};

// What the table's build made of the relocation library, decoded by the build itself;
// read-only afterwards. A table that was not built by get_std_dir_table keeps the
// initial values.
struct RelocationOutcome {
    bool libraryLoaded = false;    // kRelocationLibrary was opened
    bool entryPointFound = false;  // it exports kRelocationEntryPoint
    // The loader's failure when either was not, its message (dlerror's) in the payload;
    // success otherwise. Moved over from the build as it was: decoding the message is
    // left to whoever shows it (loader_message).
    Status loaderStatus;
    RelocationFailure failure = RelocationFailure::none;
    // The name whose question failed the build (a static text; no later name was asked),
    // or null when no question failed.
    const char* failedName = nullptr;
    // The library's result for failedName; 0 when it could not be asked.
    int32_t failedAnswer = 0;
};

struct StdDirTable {
    // The relocation library's entry point; set and used only while the table is being
    // built, and null again once the library has been closed.
    RelocatedDirFn getRelocatedDir = nullptr;
    // In insertion order; lookups take the first entry of a name.
    vohtl::GrowableList<StdDirEntry> entries;
    RelocationOutcome relocation;
};

// Returns the process-wide table, building it on the first call in the process. Every
// call merges the table status into `status` (Status::mergeCopy: a failed build fails
// every caller with the same code and debug text); a null status is not merged into.
// The table is returned in every case.
const StdDirTable& get_std_dir_table(Status* status) noexcept;

// The loader's message kept in `outcome`, decoded into `message`: empty when the library
// and its entry point were found, and also when there is no memory for it.
void loader_message(const RelocationOutcome& outcome, vohtl::OwnedText& message) noexcept;

// The built-in default path of the standard directory `name`, as the table starts with
// it before any relocation; null for a name the table does not hold.
const char* std_dir_default(const char* name) noexcept;

// Appends the entry {name, path, path} (no check for an existing entry of that name).
// Does nothing when the status is null or holds an error, or a text is null; when
// memory runs out the status holds voapalerr_memoryFull and the table is unchanged.
void add_std_dir(StdDirTable& table, const char* name, const char* path, Status* status) noexcept;

// Gives `out` the current path of the first entry named exactly `name` (an empty path
// gives an empty `out`), and *source (when not null) the entry's source. Does nothing
// when the status is null or holds an error; an unknown name records voapalerr_osFault
// (code only) and leaves `out` and *source as they were.
void lookup_std_dir(const StdDirTable& table, const vohtl::OwnedText& name, vohtl::OwnedText& out,
                    Status* status, StdDirSource* source = nullptr) noexcept;

// Asks the table's relocation entry point about `name` with a 255-byte answer buffer.
// A positive answer replaces the entry's current path, making it relocated (or appends a
// new, relocated entry when there is none); 0 changes nothing; a negative answer, or a
// positive one whose text has no NUL within the buffer, records
// voapalerr_resourceNotFound (code only). Returns the entry point's result, or 0 when it
// was not asked. Does nothing (and returns 0) when the status is null or holds an error,
// or when the name or entry point is null.
int32_t relocate_std_dir(StdDirTable& table, const char* name, Status* status) noexcept;

// Each getter returns the table's current path of its standard directory, exactly as
// held, or throws voerr::Exception with the status's code and debug text when the table's
// build failed or the name is unknown. Called while another exception propagates, a getter
// never throws: it returns its result, empty when the lookup failed. The form with a
// `source` also gives *source (when not null) where the path came from, and leaves it as
// it was when it throws.
std::string get_runstatedir(StdDirSource* source);
std::string get_sysconfdir(StdDirSource* source);
std::string get_sharedstatedir(StdDirSource* source);
std::string get_localstatedir(StdDirSource* source);
std::string get_multiarchlibdir(StdDirSource* source);
std::string get_bindir(StdDirSource* source);
inline std::string get_runstatedir() {
    return get_runstatedir(nullptr);
}
inline std::string get_sysconfdir() {
    return get_sysconfdir(nullptr);
}
inline std::string get_sharedstatedir() {
    return get_sharedstatedir(nullptr);
}
inline std::string get_localstatedir() {
    return get_localstatedir(nullptr);
}
inline std::string get_multiarchlibdir() {
    return get_multiarchlibdir(nullptr);
}
inline std::string get_bindir() {
    return get_bindir(nullptr);
}

// The getters' common form, for the table entry `name`.
std::string get_std_dir(const char* name, StdDirSource* source);

}  // namespace vosysq
