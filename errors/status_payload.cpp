// Reading string and integer members back from a status's payload.
#include "errors/status_payload.h"

#include <cstring>

#include "json/json_lookup.h"

namespace {

// The value of the named member (see the header), or null.
const char* findMember(const char* payload, const char* object, const char* name) noexcept {
    if (name == nullptr) return nullptr;
    return json_find_member(object == nullptr ? payload : json_find_member(payload, object), name);
}

}  // namespace

size_t payloadString(const char* payload, const char* object, const char* name, char* out,
                     size_t size) noexcept {
    size_t length = 0;
    const char* raw = json_get_string(findMember(payload, object, name), nullptr, &length, nullptr);
    if (raw == nullptr) return 0;
    if (std::memchr(raw, '\\', length) == nullptr) {  // no escape: the text is the raw bytes
        if (out != nullptr && length < size) {
            std::memcpy(out, raw, length);
            out[length] = '\0';
        }
        return length + 1;
    }
    // Counted first, so that a member that does not decode or fit leaves `out` alone.
    JsonUnescaper counter{0, length, raw};
    size_t decoded = 0;
    while (json_unescape_next(&counter) != 0) ++decoded;
    if (counter.cursor != nullptr) return 0;
    if (out != nullptr && decoded < size) json_unescape(raw, length, out);
    return decoded + 1;
}

void payloadStringCut(const char* payload, const char* object, const char* name, size_t maxRaw,
                      PayloadCut cut, char* out) noexcept {
    if (out == nullptr) return;
    size_t length = 0;
    const char* raw = json_get_string(findMember(payload, object, name), "", &length, nullptr);
    if (length > maxRaw && cut == PayloadCut::keepLast) {
        raw += length - maxRaw;
        length = maxRaw;
        while (length > 0 && *raw == '\\') {
            ++raw;
            --length;
        }
    } else if (length > maxRaw) {
        length = maxRaw;
    }
    json_unescape(raw, length, out);
}

int32_t payloadInt(const char* payload, const char* object, const char* name,
                   int32_t fallback) noexcept {
    return json_get_int(findMember(payload, object, name), fallback, nullptr);
}
