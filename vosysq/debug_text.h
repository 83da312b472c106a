// Reading members back from a status's JSON debug text, for callers that explain a
// failure after the fact. The text is only read, never changed.
#pragma once

#include <cstdint>

#include "errors/status.h"
#include "vohtl/owned_text.h"

namespace vosysq {

// Decodes the string member `name` of the object member `object` at the top level of
// `debugText` (as in {"internal_error":{"string":"..."}}) into `out`. Returns true when
// there is such a string; false, `out` unchanged, when `debugText`, `object` or `name`
// is null, the member is missing, not a string or does not decode (a \u0000), when the
// status is null or holds an error, or when memory runs out (voapalerr_memoryFull
// recorded).
bool debug_text_string(const char* debugText, const char* object, const char* name,
                       vohtl::OwnedText& out, Status* status) noexcept;

// The integer member `name` of the object member `object` at the top level of
// `debugText`, or `fallback` when a text or name is null, the member is missing or is
// not a number that fits in 32 bits.
int32_t debug_text_int(const char* debugText, const char* object, const char* name,
                       int32_t fallback) noexcept;

}  // namespace vosysq
