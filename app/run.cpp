#include "app/run.h"

#include <exception>

#include "app/explain.h"
#include "app/listing_format.h"
#include "app/output.h"
#include "app/shell_format.h"
#include "locations/location_list.h"
#include "locations/sync_locations.h"

// The build passes the CMake project version (see the top-level CMakeLists.txt).
#ifndef VOSYNCLOC_VERSION
#error "VOSYNCLOC_VERSION, the project version, must be defined by the build"
#endif

std::string composeOutput(const CommandLine& line) {
    if (line.help) return line.helpText;
    // Like the help, the version computes no location, so it logs nothing either.
    if (line.version) return "vosyncloc " VOSYNCLOC_VERSION "\n";
    if (line.explain) return composeExplanation(line);

    SyncLocations locations(false);
    // The list is always complete before a query is answered or a listing made.
    LocationList list = buildLocationList(locations);
    std::string out;
    if (line.location) {
        const std::string& path = findLocation(list, *line.location);
        if (line.shell) {
            formatShellAssignment(*line.location, path, out);
        } else {
            formatQueryAnswer(path, out);
        }
    } else if (line.json) {
        formatJsonListing(list, out);
    } else if (line.shell) {
        formatShellListing(list, out);
    } else {
        formatTextListing(list, out);
    }
    return out;
}

int runVosyncloc(int argc, const char* const argv[], int outFd, int errFd) {
    try {
        writeAll(outFd, composeOutput(parseCommandLine(argc, argv)));
        return 0;
    } catch (const std::exception& error) {
        try {
            writeAll(errFd, std::string(error.what()) + "\n");
        } catch (const std::exception&) {
            // Standard error is gone too: the exit status is all that is left to tell.
        }
        return 1;
    }
}
