#include "vosysq/debug_text.h"

#include <cstddef>

#include "json/json_lookup.h"
#include "vohtl/file_buffer.h"

namespace vosysq {

namespace {

const char* find_nested_member(const char* debugText, const char* object,
                               const char* name) noexcept {
    if (object == nullptr || name == nullptr) return nullptr;
    return json_find_member(json_find_member(debugText, object), name);
}

}  // namespace

bool debug_text_string(const char* debugText, const char* object, const char* name,
                       vohtl::OwnedText& out, Status* status) noexcept {
    if (status == nullptr || status->code < 0) return false;
    size_t length = 0;
    const char* raw =
        json_get_string(find_nested_member(debugText, object, name), nullptr, &length, nullptr);
    if (raw == nullptr) return false;
    // Decoding never lengthens the text, so the raw length and a NUL always suffice.
    vohtl::FileBuffer decoded;
    if (!decoded.resize(length + 1, '\0', status)) return false;
    const char* end = json_unescape(raw, length, decoded.data());
    if (end == nullptr) return false;
    return out.assign(decoded.data(), static_cast<size_t>(end - decoded.data()), status);
}

int32_t debug_text_int(const char* debugText, const char* object, const char* name,
                       int32_t fallback) noexcept {
    return json_get_int(find_nested_member(debugText, object, name), fallback, nullptr);
}

}  // namespace vosysq
