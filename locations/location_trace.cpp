#include "locations/location_trace.h"

#include <cstddef>

#include "errors/status.h"
#include "vosysq/stdpath.h"

namespace volocations {

namespace {

// Indexed by vosysq::RelocationFailure.
constexpr RelocationFailure kRelocationFailures[] = {
    RelocationFailure::none,
    RelocationFailure::refused,
    RelocationFailure::unterminated,
    RelocationFailure::notTaken,
};

}  // namespace

RelocationTrace traceRelocation() {
    Status status;  // receives the table's own status, so its code tells how the build went
    const vosysq::RelocationOutcome& outcome = vosysq::get_std_dir_table(&status).relocation;
    RelocationTrace trace;
    trace.library = vosysq::kRelocationLibrary;
    trace.entryPoint = vosysq::kRelocationEntryPoint;
    trace.libraryLoaded = outcome.libraryLoaded;
    trace.entryPointFound = outcome.entryPointFound;
    trace.loaderMessage.assign(outcome.loaderMessage.c_str(), outcome.loaderMessage.size());
    trace.failure = kRelocationFailures[static_cast<std::size_t>(outcome.failure)];
    if (outcome.failedName != nullptr) trace.failedName = outcome.failedName;
    trace.failedAnswer = outcome.failedAnswer;
    trace.tableCode = status.code;
    return trace;
}

}  // namespace volocations
