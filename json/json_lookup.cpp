// Finding members by name and reading their values in place.
#include "json/json_lookup.h"

#include <cstring>

#include "json/json_chars.h"

using json_internal::skip_white_space;

bool json_name_equals(const char* name, const char* raw, size_t length) noexcept {
    if (name == nullptr || (raw == nullptr && length != 0)) return false;
    JsonUnescaper unescaper{0, length, raw};
    for (;; ++name) {
        const unsigned char decoded = json_unescape_next(&unescaper);
        if (decoded != static_cast<unsigned char>(*name)) return false;
        // A name whose decoding fails equals nothing, not even its decoded prefix.
        if (decoded == 0) return unescaper.cursor == nullptr;
    }
}

const char* json_find_member(const char* text, const char* name) noexcept {
    if (text == nullptr || name == nullptr) return nullptr;
    const char* p = skip_white_space(text);
    if (*p != '{') return nullptr;
    p = skip_white_space(p + 1);
    for (;;) {
        JsonValueInfo scanned;
        const char* value = json_scan_name(p, &scanned);  // fails at "}" too
        if (value == nullptr) return nullptr;
        if (json_name_equals(name, scanned.start, scanned.length)) return value;
        p = json_scan_member_value(value, nullptr);
        if (p == nullptr) return nullptr;
    }
}

const char* json_get_string(const char* position, const char* fallback, size_t* length,
                            const char** end) noexcept {
    JsonValueInfo scanned;
    const char* after = json_parse_value(position, &scanned);
    const bool is_string = after != nullptr && scanned.kind == JSON_KIND_STRING;
    if (length != nullptr) {
        *length = is_string ? scanned.length : (fallback == nullptr ? 0 : std::strlen(fallback));
    }
    if (end != nullptr) *end = is_string ? after : nullptr;
    return is_string ? scanned.start : fallback;
}

int32_t json_get_int(const char* position, int32_t fallback, const char** end) noexcept {
    JsonValueInfo scanned;
    const char* after = json_parse_value(position, &scanned);
    int32_t value = 0;
    const bool converted = after != nullptr && scanned.kind == JSON_KIND_NUMBER &&
                           json_number_to_int(&scanned, &value);
    if (end != nullptr) *end = converted ? after : nullptr;
    return converted ? value : fallback;
}
