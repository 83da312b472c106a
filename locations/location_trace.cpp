#include "locations/location_trace.h"

#include <cstddef>

#include "errors/status.h"
#include "vosysq/stdpath.h"

namespace volocations {

namespace {

// Each value named, so that a new one below fails the build (-Werror=switch) until it is
// mapped.
RelocationFailure failureOf(vosysq::RelocationFailure failure) {
    switch (failure) {
        case vosysq::RelocationFailure::none:
            return RelocationFailure::none;
        case vosysq::RelocationFailure::refused:
            return RelocationFailure::refused;
        case vosysq::RelocationFailure::unterminated:
            return RelocationFailure::unterminated;
        case vosysq::RelocationFailure::notTaken:
            return RelocationFailure::notTaken;
    }
    return RelocationFailure::notTaken;
}

}  // namespace

RelocationTrace traceRelocation(StdDirAnswers answers) {
    RelocationTrace trace;
    trace.library = vosysq::kRelocationLibrary;
    trace.entryPoint = vosysq::kRelocationEntryPoint;
    trace.answersUsed = answers == StdDirAnswers::relocationTable;
    Status status;  // receives the table's own status, so its code tells how the build went
    const vosysq::RelocationOutcome& outcome = vosysq::get_std_dir_table(&status).relocation;
    trace.libraryLoaded = outcome.libraryLoaded;
    trace.entryPointFound = outcome.entryPointFound;
    vohtl::OwnedText message;
    vosysq::loader_message(outcome, message);
    if (message.data() != nullptr) trace.loaderMessage.assign(message.data(), message.size());
    trace.failure = failureOf(outcome.failure);
    if (outcome.failedName != nullptr) trace.failedName = outcome.failedName;
    trace.failedAnswer = outcome.failedAnswer;
    trace.tableCode = status.code;
    return trace;
}

}  // namespace volocations
