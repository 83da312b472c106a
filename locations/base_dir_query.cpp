#include "locations/base_dir_query.h"

#include <syslog.h>

#include <cstddef>
#include <string>

#include "vosysq/stdpath.h"
#include "vosysq/stdpath_util.h"

namespace volocations {
namespace {

struct BaseDirQuery {
    std::string (*query)();
    const char* fallback;
    const char* failureMessage;
};

// Indexed by BaseDir.
const BaseDirQuery kBaseDirQueries[] = {
    {vosysq::get_multiarchlibdir, "/usr/lib/x86_64-linux-gnu",
     "vosysq::get_multiarchlibdir() failed"},
    {vosysq::get_bindir, "/usr/bin", "vosysq::get_bindir() failed"},
    {vosysq::get_runstatedir, "/var/run", "vosysq::get_runstatedir() failed"},
    {vosysq::get_sysconfdir, "/etc", "vosysq::get_sysconfdir() failed"},
    {vosysq::get_sharedstatedir, "/var/lib", "vosysq::get_sharedstatedir() failed"},
    {vosysq::get_localstatedir, "/var", "vosysq::get_localstatedir() failed"},
    {vosysq::getVOSharedDir, "/usr/local/morvane/shared", "vosysq::getVOSharedDir() failed"},
};

}  // namespace

boost::filesystem::path queryBaseDir(BaseDir dir) {
    const BaseDirQuery& entry = kBaseDirQueries[static_cast<std::size_t>(dir)];
    std::string text;
    try {
        text = entry.query();
    } catch (...) {
        // Whatever went wrong, a well-known default still names a usable location; the
        // warning tells an administrator that it was used. The log is never opened
        // explicitly, so the platform's default identity and facility apply.
        syslog(LOG_WARNING, "%s", entry.failureMessage);
        text = entry.fallback;
    }
    return boost::filesystem::path(text);
}

}  // namespace volocations
