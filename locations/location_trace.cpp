#include "locations/location_trace.h"

#include <new>

#include "errors/error_constants.h"
#include "errors/status.h"
#include "vohtl/owned_text.h"
#include "vosysq/stdpath.h"

namespace volocations {

namespace {

RelocationFailure failureOf(const vosysq::RelocationOutcome& outcome, int32_t tableCode) {
    if (outcome.failedName == nullptr) return RelocationFailure::none;
    if (outcome.failedAnswer < 0) return RelocationFailure::refused;
    if (outcome.failedAnswer > 0 && tableCode == voapalerr_resourceNotFound) {
        return RelocationFailure::unterminated;
    }
    return RelocationFailure::notTaken;
}

}  // namespace

RelocationTrace traceRelocation() {
    Status status;  // receives the table's own status, so its code tells how the build went
    const vosysq::StdDirTable& table = vosysq::get_std_dir_table(&status);
    const vosysq::RelocationOutcome& outcome = table.relocation;
    RelocationTrace trace;
    trace.library = vosysq::kRelocationLibrary;
    trace.entryPoint = vosysq::kRelocationEntryPoint;
    trace.libraryLoaded = outcome.libraryLoaded;
    trace.entryPointFound = outcome.entryPointFound;
    trace.failure = failureOf(outcome, status.code);
    if (outcome.failedName != nullptr) trace.failedName = outcome.failedName;
    trace.failedAnswer = outcome.failedAnswer;
    trace.tableCode = status.code;
    vohtl::OwnedText message;
    Status local;
    if (vosysq::relocation_loader_message(table, message, &local)) {
        trace.loaderMessage.assign(message.c_str(), message.size());
    } else if (local.code < 0) {
        throw std::bad_alloc();  // the one way reading a message back can fail
    }
    return trace;
}

}  // namespace volocations
