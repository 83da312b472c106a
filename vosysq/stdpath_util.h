// Whole-file reading and the maker's shared directory lookup.
#pragma once

#include <string>

namespace vosysq {

// The maker's shared directory: the trimmed content of "/etc/morvane/share/share.dir",
// or "/usr/local/morvane/share" when that file cannot be read.
std::string getVOSharedDir();

}  // namespace vosysq
