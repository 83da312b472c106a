#include "vohtl/err/Allocator.h"

namespace vohtl {

const SourceLocation allocator_location = {"vohtl/err/Allocator.cpp", 32, voerr_component,
                                           "voapalerr_memoryFull"};

void record_memory_full(Status* status) noexcept {
    if (status != nullptr) status->setError(voapalerr_memoryFull, allocator_location);
}

}  // namespace vohtl
