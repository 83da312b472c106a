// The growth rule shared by vohtl's containers.
#pragma once

#include <cstddef>

namespace vohtl {

// The capacity to grow to: the largest of `needed`, `minimum` and `current` plus half of
// it, where the one-and-a-half step stops at `limit` (so it cannot wrap). Returns false,
// leaving *result alone, when `needed` itself exceeds `limit`.
inline bool grown_capacity(size_t needed, size_t minimum, size_t current, size_t limit,
                           size_t* result) noexcept {
    if (needed > limit) return false;
    size_t step = current > limit - current / 2 ? limit : current + current / 2;
    size_t capacity = needed;
    if (capacity < minimum) capacity = minimum;
    if (capacity < step) capacity = step;
    *result = capacity;
    return true;
}

}  // namespace vohtl
