#include "locations/base_dir_query.h"

#include <syslog.h>

#include <cstddef>
#include <exception>
#include <string>
#include <utility>

#include "errors/exceptions.h"
#include "locations/location_trace.h"
#include "vosysq/stdpath.h"
#include "vosysq/stdpath_util.h"

namespace volocations {
namespace {

struct BaseDirQuery {
    const char* stdDirName;  // the table name of a standard directory; null for the shared one
    const char* fallback;
    const char* failureMessage;
};

// Indexed by BaseDir.
const BaseDirQuery kBaseDirQueries[] = {
    {"multiarchlibdir", "/usr/lib/x86_64-linux-gnu", "vosysq::get_multiarchlibdir() failed"},
    {"bindir", "/usr/bin", "vosysq::get_bindir() failed"},
    {"runstatedir", "/var/run", "vosysq::get_runstatedir() failed"},
    {"sysconfdir", "/etc", "vosysq::get_sysconfdir() failed"},
    {"sharedstatedir", "/var/lib", "vosysq::get_sharedstatedir() failed"},
    {"localstatedir", "/var", "vosysq::get_localstatedir() failed"},
    {nullptr, "/usr/local/morvane/shared", "vosysq::getVOSharedDir() failed"},
};

const BaseDirQuery& queryOf(BaseDir dir) {
    return kBaseDirQueries[static_cast<std::size_t>(dir)];
}

// The query's answer; with a step, the answer's source goes into it from the same call.
std::string ask(const BaseDirQuery& query, BaseDirStep* step) {
    if (query.stdDirName == nullptr) {
        return vosysq::getVOSharedDir(step != nullptr ? &step->sharedDir : nullptr);
    }
    return vosysq::get_std_dir(query.stdDirName, step != nullptr ? &step->stdDirSource : nullptr);
}

// Notes the exception being handled, inside the handler that caught it.
void noteFallback(const BaseDirQuery& query, BaseDirStep& step) {
    step.fellBack = true;
    step.warning = query.failureMessage;
    try {
        throw;
    } catch (const voerr::Exception& error) {
        step.code = error.code();
        step.detail = error.what();
    } catch (const std::exception& error) {
        step.detail = error.what();
    } catch (...) {
        // Nothing more is known of an exception of unknown type.
    }
}

// The query's answer, or its fallback after a warning to the system log when it throws.
std::string answerOrFallback(const BaseDirQuery& query, BaseDirStep* step) {
    try {
        return ask(query, step);
    } catch (...) {
        // Whatever went wrong, a well-known default still names a usable location; the
        // warning tells an administrator that it was used. The log is never opened
        // explicitly, so the platform's default identity and facility apply.
        syslog(LOG_WARNING, "%s", query.failureMessage);
        if (step != nullptr) noteFallback(query, *step);
        return query.fallback;
    }
}

}  // namespace

const char* baseDirName(BaseDir dir) noexcept {
    const char* name = queryOf(dir).stdDirName;
    return name != nullptr ? name : "shared";
}

boost::filesystem::path queryBaseDir(BaseDir dir, LocationTrace* trace) {
    const BaseDirQuery& query = queryOf(dir);
    if (trace == nullptr) return boost::filesystem::path(answerOrFallback(query, nullptr));
    BaseDirStep step;
    step.dir = dir;
    step.path = answerOrFallback(query, &step);
    boost::filesystem::path result(step.path);
    trace->steps.emplace_back(std::move(step));
    return result;
}

}  // namespace volocations
