// Heap access for vohtl's own storage (owned texts, lists, file buffers): the C heap,
// never throwing. The three functions live in a translation unit of their own so that
// a test binary can link its own definitions in their place and make an allocation
// fail on demand.
#pragma once

#include <cstddef>

namespace vohtl {

// malloc: n bytes, or null when the heap is exhausted.
void* allocate_bytes(size_t n) noexcept;

// realloc: the block grown or shrunk to n bytes, or null with `block` left intact.
void* reallocate_bytes(void* block, size_t n) noexcept;

// free: a null block is ignored.
void free_bytes(void* block) noexcept;

}  // namespace vohtl
