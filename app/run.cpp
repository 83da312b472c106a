#include "app/run.h"

#include <cstring>
#include <exception>
#include <stdexcept>

#include "app/explain/explain_format.h"
#include "app/listing_format.h"
#include "app/output.h"
#include "app/shell_format.h"
#include "locations/location_list.h"
#include "locations/location_trace.h"
#include "locations/sync_locations.h"
#include "text/person_line.h"
#include "vofsview/image_view.h"

// The build passes the CMake project version (see the top-level CMakeLists.txt).
#ifndef VOSYNCLOC_VERSION
#error "VOSYNCLOC_VERSION, the project version, must be defined by the build"
#endif

namespace {

// The one run's result, for the formatter of the form asked for.
struct Result {
    const Request& request;
    const volocations::LocationTrace* trace;  // the decisions, when explained
    const LocationList& list;
    const std::string* path;  // the path of request.key, when asked for
};

void formatText(const Result& result, std::string& out) {
    if (result.trace != nullptr) formatTextExplanation(*result.trace, out);
    if (result.path != nullptr) {
        formatQueryAnswer(*result.path, out);
    } else {
        formatTextListing(result.list, out);
    }
}

void formatJson(const Result& result, std::string& out) {
    if (result.trace == nullptr) return formatJsonListing(result.list, out);
    // The listing first: a path JSON cannot carry fails the run by its key.
    std::string listing;
    formatJsonListing(result.list, listing);
    formatJsonExplanation(*result.trace, listing,
                          result.request.key ? &*result.request.key : nullptr, result.path, out);
}

void formatShell(const Result& result, std::string& out) {
    if (result.path != nullptr)
        return formatShellAssignment(*result.request.key, *result.path, out);
    formatShellListing(result.list, out);
}

// The error line: whatever the failure's text holds, one line that a person can read.
std::string errorLine(const char* what) {
    const std::size_t length = std::strlen(what);
    std::string line(person_line_escape(what, length, nullptr, nullptr), '\0');
    person_line_escape(what, length, nullptr, line.data());
    return line + '\n';
}

// An image's warning: a line on standard error, since this machine's log is not the image's.
void warnOnStandardError(void* errFd, const char* message) noexcept {
    try {
        writeAll(*static_cast<int*>(errFd),
                 errorLine((std::string("warning: ") + message).c_str()));
    } catch (const std::exception&) {
        // Standard error is gone, or memory: a warning is not worth failing the run for.
    }
}

// The file system the locations are read from, chosen once: this machine's, or the
// image's that the request names (unless it is this machine's own root), whose warnings
// go to *warnFd (nowhere for null).
const vofsview::FileSystemView& chooseView(const Request& request, int* warnFd,
                                           vofsview::ImageView& image) {
    if (!request.root) return vofsview::this_machine();
    const std::string& dir = *request.root;
    const vofsview::WarningSink sink{warnFd != nullptr ? warnOnStandardError : nullptr, warnFd};
    const char* failed = nullptr;
    const int error = image.open(dir.c_str(), sink, &failed);
    if (error != 0 && failed == dir.c_str()) {
        throw std::runtime_error("invalid root " + dir + ": " + std::strerror(error));
    }
    // This machine's own root needs nothing an image does, /proc included.
    if (image.shows_this_machine()) return vofsview::this_machine();
    if (error != 0) {
        throw std::runtime_error("the image " + dir + " cannot be read safely without " + failed +
                                 ": " + std::strerror(error));
    }
    return image;
}

}  // namespace

std::string composeOutput(const Request& request, int warnFd) {
    if (request.action == Request::Action::help) return request.helpText;
    // Like the help, the version computes no location, so it logs nothing either.
    if (request.action == Request::Action::version) return "vosyncloc " VOSYNCLOC_VERSION "\n";

    vofsview::ImageView image;
    const vofsview::FileSystemView& view =
        chooseView(request, warnFd >= 0 ? &warnFd : nullptr, image);
    volocations::LocationTrace trace;
    const SyncLocations locations(false, request.explain ? &trace : nullptr, view);
    // The list is always complete before a key is answered or a listing made.
    const LocationList list = buildLocationList(locations);
    const std::string* path = request.key ? &findLocation(list, *request.key) : nullptr;
    const Result result{request, request.explain ? &trace : nullptr, list, path};
    std::string out;
    switch (request.form) {
        case Request::Form::text:
            formatText(result, out);
            break;
        case Request::Form::json:
            formatJson(result, out);
            break;
        case Request::Form::shell:
            formatShell(result, out);
            break;
    }
    return out;
}

int runVosyncloc(int argc, const char* const argv[], int outFd, int errFd) {
    try {
        writeAll(outFd, composeOutput(parseRequest(argc, argv), errFd));
        return 0;
    } catch (const std::exception& error) {
        try {
            writeAll(errFd, errorLine(error.what()));
        } catch (const std::exception&) {
            // Standard error is gone too: the exit status is all that is left to tell.
        }
        return 1;
    }
}
