// Builds the standard directory table, and with it asks the relocation library, once
// before main: the library's code then runs while standard output is still held aside
// (see main.cpp), and main reads a finished table.
#include "locations/base_dir_query.h"

namespace {

struct StdDirTableStartup {
    StdDirTableStartup() noexcept { volocations::loadStandardDirectories(); }
};

[[maybe_unused]] const StdDirTableStartup startup;

}  // namespace
