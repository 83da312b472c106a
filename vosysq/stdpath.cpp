#include "vosysq/stdpath.h"

#include <dlfcn.h>

#include <cstring>
#include <utility>

#include "errors/error_constants.h"
#include "errors/exceptions.h"
#include "errors/status_payload.h"
#include "voapal/protons/cppNewDelete/memoryAllocation.h"
#include "vodynlib/dynload.h"
#include "vohtl/file_buffer.h"

namespace vosysq {

namespace {

struct StdDirDefault {
    const char* name;
    const char* path;
};

// The standard directories in the order they are added and offered to the relocation
// library.
constexpr StdDirDefault kStdDirDefaults[] = {
    {"prefixdir", "/usr"},
    {"execprefixdir", "/usr"},
    {"bindir", "/usr/bin"},
    {"sbindir", "/usr/sbin"},
    {"libdir", "/usr/lib"},
    {"lib32dir", "/usr/lib"},
    {"lib64dir", "/usr/lib64"},
    {"nativelibdir", "/usr/lib64"},
    {"multiarchlibdir", "/usr/lib/x86_64-linux-gnu"},
    {"libexecdir", "/usr/libexec"},
    {"sharedstatedir", "/var/lib"},
    {"datarootdir", "/usr/share"},
    {"datadir", "/usr/share"},
    {"sysconfdir", "/etc"},
    {"localstatedir", "/var"},
    {"runstatedir", "/var/run"},
    {"includedir", "/usr/include"},
    {"docdir", "/usr/share/doc"},
    {"initddir", "/etc/init.d"},
};

constexpr int kRelocationLoadFlags = RTLD_NOW | RTLD_GLOBAL;
constexpr int32_t kAnswerSize = 255;

StdDirEntry* find_entry(StdDirTable& table, const char* name, size_t length) noexcept {
    for (StdDirEntry& entry : table.entries) {
        if (entry.name.equals(name, length)) return &entry;
    }
    return nullptr;
}

const StdDirEntry* find_entry(const StdDirTable& table, const char* name, size_t length) noexcept {
    for (const StdDirEntry& entry : table.entries) {
        if (entry.name.equals(name, length)) return &entry;
    }
    return nullptr;
}

// Why the answer `answer` failed the build, which left `code` in the table status.
RelocationFailure failure_of(int32_t answer, int32_t code) noexcept {
    if (answer < 0) return RelocationFailure::refused;
    if (answer > 0 && code == voapalerr_resourceNotFound) return RelocationFailure::unterminated;
    return RelocationFailure::notTaken;
}

// Asks every name, in table order, until a question fails the build; notes which.
void ask_every_name(StdDirTable& table, Status* tableStatus) noexcept {
    for (const StdDirDefault& entry : kStdDirDefaults) {
        const int32_t answer = relocate_std_dir(table, entry.name, tableStatus);
        if (tableStatus->code < 0) {
            table.relocation.failure = failure_of(answer, tableStatus->code);
            table.relocation.failedName = entry.name;
            table.relocation.failedAnswer = answer;
            return;
        }
    }
}

// Asks the relocation library, if it can be opened and exports its entry point, about
// every name. Whatever goes wrong while opening it stays in a local status that never
// reaches the table status: a missing library or symbol leaves the defaults and is not
// an error. The table keeps that status, for whoever explains the table later.
void apply_relocations(StdDirTable& table, Status* tableStatus) noexcept {
    Status local;
    void* library = vodynlib_load(kRelocationLibrary, kRelocationLoadFlags, &local);
    void* symbol = vodynlib_symbol(library, kRelocationEntryPoint, &local);
    table.relocation.libraryLoaded = library != nullptr;
    table.relocation.entryPointFound = symbol != nullptr;
    table.relocation.loaderStatus.mergeMove(local);
    // A data pointer to function pointer conversion; dlsym hands back code addresses so.
    table.getRelocatedDir = reinterpret_cast<RelocatedDirFn>(symbol);
    if (local.code >= 0 && tableStatus->code >= 0) ask_every_name(table, tableStatus);
    // The entry point dies with the library.
    table.getRelocatedDir = nullptr;
    vodynlib_close(library);
}

void build_std_dir_table(StdDirTable& table, Status* tableStatus) noexcept {
    table.entries.clear();
    if (tableStatus->code >= 0) {
        for (const StdDirDefault& entry : kStdDirDefaults) {
            add_std_dir(table, entry.name, entry.path, tableStatus);
        }
    }
    apply_relocations(table, tableStatus);
}

// The status under which the table is built. It is created before the table, so it is
// destroyed after it: at exit the entries go first, then this status's buffer.
Status& table_status() noexcept {
    static Status status;
    return status;
}

struct BuiltStdDirTable {
    StdDirTable table;
    explicit BuiltStdDirTable(Status* status) noexcept { build_std_dir_table(table, status); }
};

// Takes a positive answer: its text must end within the buffer.
void take_answer(StdDirTable& table, const char* name, const char* answer,
                 Status* status) noexcept {
    const void* end = std::memchr(answer, '\0', kAnswerSize);
    if (end == nullptr) {  // unterminated: as broken as a negative answer
        status->setCode(voapalerr_resourceNotFound);
        return;
    }
    const size_t length = static_cast<size_t>(static_cast<const char*>(end) - answer);
    StdDirEntry* entry = find_entry(table, name, std::strlen(name));
    if (entry == nullptr) {
        add_std_dir(table, name, answer, status);
        if (status->code < 0) return;
        entry = &table.entries[table.entries.size() - 1];
    } else if (!entry->currentPath.assign(answer, length, status)) {
        return;
    }
    entry->source = StdDirSource::relocated;
}

}  // namespace

StdDirEntry::StdDirEntry(StdDirEntry&& other) noexcept
    : name(std::move(other.name)),
      defaultPath(std::move(other.defaultPath)),
      currentPath(std::move(other.currentPath)),
      source(other.source) {
    status.assign(other.status);
    other.status.release();
}

const StdDirTable& get_std_dir_table(Status* status) noexcept {
    Status& tableStatus = table_status();
    static BuiltStdDirTable built(&tableStatus);
    if (status != nullptr) status->mergeCopy(tableStatus);
    return built.table;
}

// Read once, into room on the stack that holds the usual message.
void loader_message(const RelocationOutcome& outcome, vohtl::OwnedText& message) noexcept {
    const char* payload = outcome.loaderStatus.text;
    char usual[256];
    const size_t size = payloadString(payload, "internal_error", "string", usual, sizeof usual);
    Status scratch;
    if (size == 0 || size <= sizeof usual) {
        if (size != 0) message.assign(usual, size - 1, &scratch);
        return;
    }
    vohtl::FileBuffer decoded;
    if (decoded.resize(size, '\0', &scratch)) {
        payloadString(payload, "internal_error", "string", decoded.data(), size);
        message.assign(decoded.data(), size - 1, &scratch);
    }
}

const char* std_dir_default(const char* name) noexcept {
    if (name == nullptr) return nullptr;
    for (const StdDirDefault& entry : kStdDirDefaults) {
        if (std::strcmp(entry.name, name) == 0) return entry.path;
    }
    return nullptr;
}

void add_std_dir(StdDirTable& table, const char* name, const char* path, Status* status) noexcept {
    if (status == nullptr || status->code < 0 || name == nullptr || path == nullptr) return;
    StdDirEntry entry;
    if (entry.name.assign(name, status) && entry.defaultPath.assign(path, status) &&
        entry.currentPath.assign(path, status)) {
        table.entries.append(std::move(entry), status);
    }
}

void lookup_std_dir(const StdDirTable& table, const vohtl::OwnedText& name, vohtl::OwnedText& out,
                    Status* status, StdDirSource* source) noexcept {
    if (status == nullptr || status->code < 0) return;
    const StdDirEntry* entry = find_entry(table, name.c_str(), name.size());
    if (entry == nullptr) {
        status->setCode(voapalerr_osFault);
        return;
    }
    if (out.assign(entry->currentPath, status) && source != nullptr) *source = entry->source;
}

int32_t relocate_std_dir(StdDirTable& table, const char* name, Status* status) noexcept {
    if (status == nullptr || name == nullptr) return 0;
    int32_t result = 0;
    char* answer = nullptr;
    {
        PlatformStatusBridge bridge(status);
        answer = allocateArrayNoThrow(kAnswerSize, bridge.status());
    }
    // Once the status holds an error (an earlier name failed, or the buffer could not be
    // had), no further name is asked.
    if (status->code >= 0 && answer != nullptr && table.getRelocatedDir != nullptr) {
        // A library that reports success without writing an answer then gives an empty
        // path, always the same, instead of whatever the heap left in the buffer.
        std::memset(answer, 0, kAnswerSize);
        result = table.getRelocatedDir(name, answer, kAnswerSize);
        if (result > 0) {
            take_answer(table, name, answer, status);
        } else if (result < 0) {
            status->setCode(voapalerr_resourceNotFound);
        }
    }
    delete[] answer;
    return result;
}

// The ThrowingStatus is declared first so that it ends its scope last, after the result
// has been filled; a failed status then throws voerr::Exception.
std::string get_std_dir(const char* name, StdDirSource* source) {
    ThrowingStatus status;
    std::string result;
    {
        vohtl::OwnedText key;
        vohtl::OwnedText answer;
        StdDirSource found = StdDirSource::builtInDefault;
        key.assign(name, &status);
        const StdDirTable& table = get_std_dir_table(&status);
        if (status.code >= 0) lookup_std_dir(table, key, answer, &status, &found);
        if (answer.data() != nullptr) result = answer.data();
        if (source != nullptr && status.code >= 0) *source = found;
    }
    return result;
}

std::string get_runstatedir(StdDirSource* source) {
    return get_std_dir("runstatedir", source);
}
std::string get_sysconfdir(StdDirSource* source) {
    return get_std_dir("sysconfdir", source);
}
std::string get_sharedstatedir(StdDirSource* source) {
    return get_std_dir("sharedstatedir", source);
}
std::string get_localstatedir(StdDirSource* source) {
    return get_std_dir("localstatedir", source);
}
std::string get_multiarchlibdir(StdDirSource* source) {
    return get_std_dir("multiarchlibdir", source);
}
std::string get_bindir(StdDirSource* source) {
    return get_std_dir("bindir", source);
}

}  // namespace vosysq
