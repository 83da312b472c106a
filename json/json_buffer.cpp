#include "json/json_buffer.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "json/json_chars.h"
#include "json/json_escape.h"

namespace {

using json_internal::is_white_space;
using json_internal::skip_white_space;

constexpr char kSentinel = 'J';

// Where the separating comma of an insertion goes.
enum class Comma { kNone, kBefore, kAfter };

bool is_opener(char byte) noexcept {
    return byte == '{' || byte == '[';
}
bool is_closer(char byte) noexcept {
    return byte == '}' || byte == ']';
}
char matching_closer(char opener) noexcept {
    return opener == '{' ? '}' : ']';
}
char matching_opener(char closer) noexcept {
    return closer == '}' ? '{' : '[';
}

// After an opener the container is empty when, past any white space, its closer (or
// the end of the text) follows; otherwise an element follows and needs a comma after
// the new text, whether that element is a scalar or a container.
Comma comma_after_opener(const char* opener) noexcept {
    const char* next = skip_white_space(opener + 1);
    return (*next == matching_closer(*opener) || *next == '\0') ? Comma::kNone : Comma::kAfter;
}

// Before a closer the container is empty when the previous byte other than white space
// is its opener. The caller guarantees that such a byte exists before the closer.
Comma comma_before_closer(const char* closer) noexcept {
    const char* previous = closer - 1;
    while (is_white_space(*previous)) --previous;
    return *previous == matching_opener(*closer) ? Comma::kNone : Comma::kBefore;
}

// True when at least `needed` bytes follow the terminator before the sentinel. Counts
// at most `needed` bytes, so it never reads past the sentinel or walks the padding.
bool has_room(const char* terminator, size_t needed) noexcept {
    for (size_t counted = 0; counted < needed; ++counted) {
        if (terminator[1 + counted] == kSentinel) return false;
    }
    return true;
}

// A member value: either text to quote and escape, or bytes written as they are.
struct MemberValue {
    const char* text;
    size_t length;  // used for unquoted values only
    bool quoted;
};

// Opens a gap of the member's exact size and writes name prefix and value into it.
char* insert_member(char* position, const char* name, MemberValue value) noexcept {
    if (position == nullptr || value.text == nullptr) return nullptr;
    const size_t name_length = name == nullptr ? 0 : json_escaped_length(name) + 3;
    const size_t value_length = value.quoted ? json_escaped_length(value.text) + 2 : value.length;
    char* out = json_make_room(position, name_length + value_length);
    if (out == nullptr) return nullptr;
    out = json_write_name(out, name);
    if (value.quoted) {
        *out++ = '"';
        out = json_write_escaped(out, value.text);
        *out++ = '"';
    } else {
        std::memcpy(out, value.text, value.length);
        out += value.length;
    }
    return out;
}

// Formatted numbers are short; an snprintf failure (never expected) inserts nothing.
MemberValue number_value(const char* digits, int count) noexcept {
    return MemberValue{count > 0 ? digits : nullptr, count > 0 ? static_cast<size_t>(count) : 0,
                       false};
}

// Retries `insert` at the position, growing through the hook after every miss, until
// it fits or growth fails.
template <typename Insert>
char* insert_growing(char* position, const JsonGrowHook* hook, Insert insert) noexcept {
    if (position == nullptr) return nullptr;
    for (;;) {
        char* end = insert(position);
        if (end != nullptr) return end;
        if (hook == nullptr || hook->fn == nullptr) return nullptr;
        position = hook->fn(position, hook->user);
        if (position == nullptr) return nullptr;
    }
}

}  // namespace

char* json_buffer_init(char* buffer, size_t size, const char* text) noexcept {
    if (buffer == nullptr) return nullptr;
    const size_t length = text == nullptr ? strnlen(buffer, size) : std::strlen(text);
    if (length + 1 >= size) return nullptr;
    if (text != nullptr) std::memmove(buffer, text, length + 1);
    std::memset(buffer + length + 1, 0, size - length - 2);
    buffer[size - 1] = kSentinel;
    return length == 0 ? buffer : buffer + length - 1;
}

char* json_make_room(char* position, size_t n) noexcept {
    if (position == nullptr) return nullptr;
    char* gap = position;
    Comma comma = Comma::kBefore;
    if (is_opener(*position)) {
        gap = position + 1;
        comma = comma_after_opener(position);
    } else if (is_closer(*position)) {
        comma = comma_before_closer(position);
    } else if (*position == '\0') {
        comma = Comma::kNone;
    }
    const size_t gap_size = n + (comma == Comma::kNone ? 0 : 1);
    if (gap_size < n) return nullptr;  // n + 1 wrapped around: can never fit
    char* terminator = gap + std::strlen(gap);
    if (!has_room(terminator, gap_size)) return nullptr;

    std::memmove(gap + gap_size, gap, static_cast<size_t>(terminator - gap));
    terminator[gap_size] = '\0';
    if (comma == Comma::kAfter) gap[gap_size - 1] = ',';
    if (comma != Comma::kBefore) return gap;
    gap[0] = ',';
    return gap + 1;
}

bool json_can_insert_at(const char* text, size_t length, const char* position) noexcept {
    if (text == nullptr || position == nullptr) return false;
    const uintptr_t offset =
        reinterpret_cast<uintptr_t>(position) - reinterpret_cast<uintptr_t>(text);
    if (offset > length) return false;  // before the text (wrapped) or past its NUL
    if (!is_closer(*position)) return true;
    for (const char* before = position; before != text;) {
        if (!is_white_space(*--before)) return true;
    }
    return false;
}

char* json_insert_string(char* position, const char* name, const char* value) noexcept {
    return insert_member(position, name, MemberValue{value, 0, true});
}

char* json_insert_int(char* position, const char* name, int32_t value) noexcept {
    char digits[64];
    const int count = std::snprintf(digits, sizeof digits, "%" PRIi32, value);
    return insert_member(position, name, number_value(digits, count));
}

char* json_insert_uint(char* position, const char* name, uint32_t value) noexcept {
    char digits[64];
    const int count = std::snprintf(digits, sizeof digits, "%" PRIu32, value);
    return insert_member(position, name, number_value(digits, count));
}

char* json_insert_ulong(char* position, const char* name, uint64_t value) noexcept {
    char digits[64];
    const int count = std::snprintf(digits, sizeof digits, "%" PRIu64, value);
    return insert_member(position, name, number_value(digits, count));
}

char* json_insert_object(char* position, const char* name) noexcept {
    return insert_member(position, name, MemberValue{"{}", 2, false});
}

char* json_add_string(char* position, const char* name, const char* value,
                      const JsonGrowHook* hook) noexcept {
    return insert_growing(position, hook,
                          [&](char* at) { return json_insert_string(at, name, value); });
}

char* json_add_int(char* position, const char* name, int32_t value,
                   const JsonGrowHook* hook) noexcept {
    return insert_growing(position, hook,
                          [&](char* at) { return json_insert_int(at, name, value); });
}

char* json_add_ulong(char* position, const char* name, uint64_t value,
                     const JsonGrowHook* hook) noexcept {
    return insert_growing(position, hook,
                          [&](char* at) { return json_insert_ulong(at, name, value); });
}

char* json_open_object(char* position, const char* name, const JsonGrowHook* hook) noexcept {
    char* end =
        insert_growing(position, hook, [&](char* at) { return json_insert_object(at, name); });
    return end == nullptr ? nullptr : end - 1;
}

char* json_close(char* position) noexcept {
    return position == nullptr ? nullptr : position + 1;
}
