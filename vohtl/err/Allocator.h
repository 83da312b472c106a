// The reporting site of exhausted memory in vohtl's containers.
#pragma once

#include "errors/error_constants.h"
#include "errors/status.h"

namespace vohtl {

// {"vohtl/err/Allocator.cpp", 32, "vosyncloc", "voapalerr_memoryFull"}
extern const SourceLocation allocator_location;

// Records voapalerr_memoryFull at allocator_location in `status` (Status::setError, so an
// earlier error stays). A null status is ignored.
void record_memory_full(Status* status) noexcept;

}  // namespace vohtl
