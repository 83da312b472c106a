// Builds the standard directory table, and with it asks the relocation library, once
// before main: the library's code then runs while standard output is still held aside
// (see main.cpp), and main reads a finished table. Its outcome is read by the getters.
#include "errors/status.h"
#include "vosysq/stdpath.h"

namespace {

struct StdDirTableStartup {
    StdDirTableStartup() noexcept {
        Status discarded;
        (void)vosysq::get_std_dir_table(&discarded);
    }
};

[[maybe_unused]] const StdDirTableStartup startup;

}  // namespace
