#include "locations/base_dir_query.h"

#include <cstddef>
#include <cstring>
#include <exception>
#include <stdexcept>
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
    std::string (*sharedDir)(vosysq::SharedDirOrigin* origin, const vofsview::FileSystemView& view);
    const char* fallback;
    const char* failureMessage;
};

const BaseDirQuery& queryOf(BaseDir dir) {
    static const BaseDirQuery kMultiarchLib{"multiarchlibdir", vosysq::get_multiarchlibdir, nullptr,
                                            "/usr/lib/x86_64-linux-gnu",
                                            "vosysq::get_multiarchlibdir() failed"};
    static const BaseDirQuery kBin{"bindir", vosysq::get_bindir, nullptr, "/usr/bin",
                                   "vosysq::get_bindir() failed"};
    static const BaseDirQuery kRunState{"runstatedir", vosysq::get_runstatedir, nullptr, "/var/run",
                                        "vosysq::get_runstatedir() failed"};
    static const BaseDirQuery kSysConf{"sysconfdir", vosysq::get_sysconfdir, nullptr, "/etc",
                                       "vosysq::get_sysconfdir() failed"};
    static const BaseDirQuery kSharedState{"sharedstatedir", vosysq::get_sharedstatedir, nullptr,
                                           "/var/lib", "vosysq::get_sharedstatedir() failed"};
    static const BaseDirQuery kLocalState{"localstatedir", vosysq::get_localstatedir, nullptr,
                                          "/var", "vosysq::get_localstatedir() failed"};
    static const BaseDirQuery kMakerShared{"shared", nullptr, vosysq::getVOSharedDir,
                                           "/usr/local/morvane/shared",
                                           "vosysq::getVOSharedDir() failed"};
    switch (dir) {
        case BaseDir::multiarchLib:
            return kMultiarchLib;
        case BaseDir::bin:
            return kBin;
        case BaseDir::runState:
            return kRunState;
        case BaseDir::sysConf:
            return kSysConf;
        case BaseDir::sharedState:
            return kSharedState;
        case BaseDir::localState:
            return kLocalState;
        case BaseDir::makerShared:
            return kMakerShared;
    }
    return kMakerShared;  // a value no enumerator names
}

// The query's sources in this layer's terms. Each switch here names every value and has
// no default, so that a new one fails the build (-Werror=switch) until it is mapped.
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

// The query's answer; with a step, where it came from, told by the same call.
std::string ask(const BaseDirQuery& query, const vofsview::FileSystemView& view,
                StdDirAnswers answers, BaseDirStep* step) {
    if (query.sharedDir != nullptr) {
        if (step == nullptr) return query.sharedDir(nullptr, view);
        vosysq::SharedDirOrigin origin;
        std::string answer = query.sharedDir(&origin, view);
        notePointerFile(origin, *step);
        return answer;
    }
    switch (answers) {
        case StdDirAnswers::relocationTable:
            break;
        case StdDirAnswers::builtInDefaults: {
            const char* path = vosysq::std_dir_default(query.name);
            if (path == nullptr)
                throw std::logic_error("no default for " + std::string(query.name));
            return path;  // a step's source is already builtInDefault
        }
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

// The query's answer, or its fallback after a warning when it throws.
std::string answerOrFallback(const BaseDirQuery& query, const vofsview::FileSystemView& view,
                             StdDirAnswers answers, BaseDirStep* step) {
    try {
        return ask(query, view, answers, step);
    } catch (...) {
        // Whatever went wrong, a well-known default still names a usable location; the
        // warning tells an administrator that it was used.
        view.warn(query.failureMessage);
        if (step != nullptr) noteFallback(query, *step);
        return query.fallback;
    }
}

// The error about a place where the view's loader would find the relocation library, or
// where it could not be told whether it would.
std::runtime_error relocationLibraryError(const vofsview::FileSystemView& view,
                                          const vofsview::LibrarySearchResult& search) {
    const std::string context = view.error_context();
    const std::string path = search.path;
    const std::string dir = view.image_dir();
    switch (search.outcome) {
        case vofsview::LibrarySearch::found:
            return std::runtime_error("the image " + dir + " holds the relocation library " + path +
                                      ", whose answers only running it can give: use chroot " +
                                      dir + " vosyncloc");
        case vofsview::LibrarySearch::notUnderstood:
            return std::runtime_error(context + path +
                                      " is not a dynamic loader cache in the format read here, "
                                      "so whether its loader finds the relocation library " +
                                      vosysq::kRelocationLibrary + " cannot be told");
        case vofsview::LibrarySearch::unreadable:
        case vofsview::LibrarySearch::loadedByThisProcess:
        case vofsview::LibrarySearch::notFound:
            break;
    }
    return std::runtime_error(context + "\"" + path + "\": " + std::strerror(search.error) +
                              ", so whether its dynamic loader finds the relocation library " +
                              vosysq::kRelocationLibrary + " cannot be told");
}

}  // namespace

const char* baseDirName(BaseDir dir) noexcept {
    return queryOf(dir).name;
}

StdDirAnswers stdDirAnswersOf(const vofsview::FileSystemView& view) {
    vofsview::LibrarySearchResult search;
    view.find_library(vosysq::kRelocationLibrary, &search);
    requireResolved(view);
    switch (search.outcome) {
        case vofsview::LibrarySearch::loadedByThisProcess:
            return StdDirAnswers::relocationTable;
        case vofsview::LibrarySearch::notFound:
            return StdDirAnswers::builtInDefaults;
        case vofsview::LibrarySearch::found:
        case vofsview::LibrarySearch::unreadable:
        case vofsview::LibrarySearch::notUnderstood:
            break;
    }
    throw relocationLibraryError(view, search);
}

void requireResolved(const vofsview::FileSystemView& view) {
    const char* path = view.unresolved_path();
    if (path == nullptr) return;
    throw std::runtime_error(std::string(view.error_context()) + "\"" + path +
                             "\" could not be resolved: the tree kept changing while it was "
                             "looked up; try again once it is still");
}

boost::filesystem::path queryBaseDir(BaseDir dir, const vofsview::FileSystemView& view,
                                     StdDirAnswers answers, LocationTrace* trace) {
    const BaseDirQuery& query = queryOf(dir);
    if (trace == nullptr) {
        boost::filesystem::path result(answerOrFallback(query, view, answers, nullptr));
        requireResolved(view);
        return result;
    }
    BaseDirStep step;
    step.dir = dir;
    step.path = answerOrFallback(query, view, answers, &step);
    requireResolved(view);
    boost::filesystem::path result(step.path);
    trace->steps.emplace_back(std::move(step));
    return result;
}

void loadStandardDirectories() noexcept {
    Status discarded;  // the getters read the table's own status
    (void)vosysq::get_std_dir_table(&discarded);
}

}  // namespace volocations
