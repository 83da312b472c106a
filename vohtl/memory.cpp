#include "vohtl/memory.h"

#include <cstdlib>

namespace vohtl {

void* allocate_bytes(size_t n) noexcept {
    return std::malloc(n);
}

void* reallocate_bytes(void* block, size_t n) noexcept {
    return std::realloc(block, n);
}

void free_bytes(void* block) noexcept {
    std::free(block);
}

}  // namespace vohtl
