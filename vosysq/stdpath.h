// Standard directory query: the process-wide table of standard directories, built
// once at start-up from built-in defaults and the optional relocation library.
#pragma once

#include <string>

namespace vosysq {

// Each getter returns the current path of its standard directory, or throws
// voerr::Exception when the table's build failed or the name is unknown.
std::string get_runstatedir();
std::string get_sysconfdir();
std::string get_sharedstatedir();
std::string get_localstatedir();
std::string get_multiarchlibdir();
std::string get_bindir();

}  // namespace vosysq
