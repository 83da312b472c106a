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

// One base directory: the function that asks for it (a standard directory getter, or
// the shared-directory lookup), side by side with its fallback and the warning that
// names that same function, so that the call and its message cannot disagree.
struct BaseDirQuery {
    const char* name;  // the standard directory's table name, or "shared"
    std::string (*stdDir)(vosysq::StdDirSource* source);
    std::string (*sharedDir)(vosysq::SharedDirOrigin* origin);
    const char* fallback;
    const char* failureMessage;
};

// Indexed by BaseDir.
const BaseDirQuery kBaseDirQueries[] = {
    {"multiarchlibdir", vosysq::get_multiarchlibdir, nullptr, "/usr/lib/x86_64-linux-gnu",
     "vosysq::get_multiarchlibdir() failed"},
    {"bindir", vosysq::get_bindir, nullptr, "/usr/bin", "vosysq::get_bindir() failed"},
    {"runstatedir", vosysq::get_runstatedir, nullptr, "/var/run",
     "vosysq::get_runstatedir() failed"},
    {"sysconfdir", vosysq::get_sysconfdir, nullptr, "/etc", "vosysq::get_sysconfdir() failed"},
    {"sharedstatedir", vosysq::get_sharedstatedir, nullptr, "/var/lib",
     "vosysq::get_sharedstatedir() failed"},
    {"localstatedir", vosysq::get_localstatedir, nullptr, "/var",
     "vosysq::get_localstatedir() failed"},
    {"shared", nullptr, vosysq::getVOSharedDir, "/usr/local/morvane/shared",
     "vosysq::getVOSharedDir() failed"},
};

const BaseDirQuery& queryOf(BaseDir dir) {
    return kBaseDirQueries[static_cast<std::size_t>(dir)];
}

// Indexed by vosysq::StdDirSource.
constexpr Source kStdDirSources[] = {Source::builtInDefault, Source::relocated};

// Indexed by vosysq::SharedDirSource.
constexpr Source kSharedDirSources[] = {Source::pointerFile, Source::emptyPointerFile,
                                        Source::pointerFileNotFound, Source::pointerFileUnreadable};

// What the lookup's origin says, in this layer's terms.
void notePointerFile(const vosysq::SharedDirOrigin& origin, BaseDirStep& step) {
    step.source = kSharedDirSources[static_cast<std::size_t>(origin.source)];
    step.pointerFile = {origin.pointerFile, origin.content,  origin.code,     origin.error,
                        origin.errorText,   origin.fileSize, origin.bytesRead};
}

// The query's answer; with a step, where it came from, told by the same call.
std::string ask(const BaseDirQuery& query, BaseDirStep* step) {
    if (query.sharedDir != nullptr) {
        if (step == nullptr) return query.sharedDir(nullptr);
        vosysq::SharedDirOrigin origin;
        std::string answer = query.sharedDir(&origin);
        notePointerFile(origin, *step);
        return answer;
    }
    if (step == nullptr) return query.stdDir(nullptr);
    vosysq::StdDirSource source = vosysq::StdDirSource::builtInDefault;
    std::string answer = query.stdDir(&source);
    step->source = kStdDirSources[static_cast<std::size_t>(source)];
    return answer;
}

// Notes the exception being handled, inside the handler that caught it.
void noteFallback(const BaseDirQuery& query, BaseDirStep& step) {
    step.source = Source::fallback;
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
    return queryOf(dir).name;
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
