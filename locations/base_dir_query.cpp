#include "locations/base_dir_query.h"

#include <syslog.h>

#include <cstddef>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include "errors/exceptions.h"
#include "locations/image_root.h"
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
    std::string (*sharedDir)(vosysq::SharedDirOrigin* origin, int rootFd);
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

// The query's sources in this layer's terms. Each switch names every value, so that a
// new one below is a warning (-Wswitch) until it is mapped here.
Source sourceOf(vosysq::StdDirSource source) {
    switch (source) {
        case vosysq::StdDirSource::builtInDefault:
            return Source::builtInDefault;
        case vosysq::StdDirSource::relocated:
            return Source::relocated;
    }
    return Source::builtInDefault;
}

Source sourceOf(vosysq::SharedDirSource source) {
    switch (source) {
        case vosysq::SharedDirSource::pointerFile:
            return Source::pointerFile;
        case vosysq::SharedDirSource::emptyPointerFile:
            return Source::emptyPointerFile;
        case vosysq::SharedDirSource::pointerFileNotFound:
            return Source::pointerFileNotFound;
        case vosysq::SharedDirSource::pointerFileUnreadable:
            return Source::pointerFileUnreadable;
    }
    return Source::pointerFileUnreadable;
}

// What the lookup's origin says, in this layer's terms.
void notePointerFile(const vosysq::SharedDirOrigin& origin, BaseDirStep& step) {
    step.source = sourceOf(origin.source);
    step.pointerFile = {origin.pointerFile, origin.content,  origin.code,     origin.error,
                        origin.errorText,   origin.fileSize, origin.bytesRead};
}

// The query's answer; with a step, where it came from, told by the same call. For an
// image, a standard directory is its default, whatever this machine's table holds.
std::string ask(const BaseDirQuery& query, BaseDirStep* step, const ImageRoot* root) {
    if (query.sharedDir != nullptr) {
        const int rootFd = root != nullptr ? root->fd() : -1;
        if (step == nullptr) return query.sharedDir(nullptr, rootFd);
        vosysq::SharedDirOrigin origin;
        std::string answer = query.sharedDir(&origin, rootFd);
        notePointerFile(origin, *step);
        return answer;
    }
    if (root != nullptr) {
        const char* path = vosysq::std_dir_default(query.name);
        if (path == nullptr) throw std::logic_error("no default for " + std::string(query.name));
        return path;  // a step's source is already builtInDefault
    }
    if (step == nullptr) return query.stdDir(nullptr);
    vosysq::StdDirSource source = vosysq::StdDirSource::builtInDefault;
    std::string answer = query.stdDir(&source);
    step->source = sourceOf(source);
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

// The query's answer, or its fallback after a warning when it throws: to the system log,
// or for an image to its own warning sink, since this machine's log is not the image's.
std::string answerOrFallback(const BaseDirQuery& query, BaseDirStep* step, const ImageRoot* root) {
    try {
        return ask(query, step, root);
    } catch (...) {
        // Whatever went wrong, a well-known default still names a usable location; the
        // warning tells an administrator that it was used. The log is never opened
        // explicitly, so the platform's default identity and facility apply.
        if (root == nullptr) {
            syslog(LOG_WARNING, "%s", query.failureMessage);
        } else if (root->warn) {
            root->warn(query.failureMessage);
        }
        if (step != nullptr) noteFallback(query, *step);
        return query.fallback;
    }
}

}  // namespace

const char* baseDirName(BaseDir dir) noexcept {
    return queryOf(dir).name;
}

boost::filesystem::path queryBaseDir(BaseDir dir, LocationTrace* trace, const ImageRoot* root) {
    const BaseDirQuery& query = queryOf(dir);
    if (trace == nullptr) return boost::filesystem::path(answerOrFallback(query, nullptr, root));
    BaseDirStep step;
    step.dir = dir;
    step.path = answerOrFallback(query, &step, root);
    boost::filesystem::path result(step.path);
    trace->steps.emplace_back(std::move(step));
    return result;
}

}  // namespace volocations
