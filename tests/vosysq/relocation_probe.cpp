// Prints what a whole process sees of the standard directory table: the table status
// after start-up, every entry, and each getter's result on two rounds of calls.
//
//   table CODE TEXT            (TEXT is "-" when the status has none)
//   entry NAME=PATH            (one per entry, in table order)
//   GETTER=PATH                or  GETTER threw CODE what=TEXT
//
// With VOSYSQ_PROBE_LOG_AT_MAIN set it prints only the relocation fixture's log (the file
// named by VORELOC_LOG) as it stands when main starts, and asks the table nothing:
// whatever that log holds was done before main.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "errors/exceptions.h"
#include "vosysq/stdpath.h"

namespace {

struct Getter {
    const char* name;
    std::string (*call)();
};

const Getter kGetters[] = {
    {"get_runstatedir", vosysq::get_runstatedir},
    {"get_sysconfdir", vosysq::get_sysconfdir},
    {"get_sharedstatedir", vosysq::get_sharedstatedir},
    {"get_localstatedir", vosysq::get_localstatedir},
    {"get_multiarchlibdir", vosysq::get_multiarchlibdir},
    {"get_bindir", vosysq::get_bindir},
};

// Prints the file named by VORELOC_LOG, or nothing when there is none.
void print_relocation_log() {
    const char* path = std::getenv("VORELOC_LOG");
    FILE* log = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (log == nullptr) return;
    char chunk[512];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, log)) > 0) {
        std::fwrite(chunk, 1, count, stdout);
    }
    std::fclose(log);
}

}  // namespace

int main() {
    if (std::getenv("VOSYSQ_PROBE_LOG_AT_MAIN") != nullptr) {
        print_relocation_log();
        return 0;
    }
    Status status;
    const vosysq::StdDirTable& table = vosysq::get_std_dir_table(&status);
    std::printf("table %d %s\n", status.code, status.text != nullptr ? status.text : "-");
    for (const vosysq::StdDirEntry& entry : table.entries) {
        std::printf("entry %s=%s\n", entry.name.c_str(), entry.currentPath.c_str());
    }
    for (int round = 0; round < 2; ++round) {
        for (const Getter& getter : kGetters) {
            try {
                const std::string path = getter.call();
                std::printf("%s=%s\n", getter.name, path.c_str());
            } catch (const voerr::Exception& e) {
                std::printf("%s threw %d what=%s\n", getter.name, e.code(), e.what());
            }
        }
    }
    return 0;
}
