// JSON buffer builder: grows one compact JSON text in place inside a caller-owned
// character buffer. Nothing here allocates; growth is delegated to a grow hook.
//
// Buffer layout (S bytes, S known only to the owner):
//
//   bytes 0 .. L-1     the JSON text, L bytes, no NUL inside
//   byte  L            the NUL terminator
//   bytes L+1 .. S-2   padding, every byte zero
//   byte  S-1          the sentinel 'J' (0x4A)
//
// A text of length L fits exactly when L + 2 <= S. The room left for an insertion is
// the run of bytes after the terminator up to the sentinel, so the builder never needs
// S itself. Every operation keeps this layout intact; a buffer that was not laid out by
// json_buffer_init (so has no sentinel) must never be handed to an inserter.
//
// Positions are char* into the text. Every inserter returns the position just after
// what it wrote, so calls chain; the growing operations pass a null position through.
#pragma once

#include <cstddef>
#include <cstdint>

// Grows the buffer that holds `position`: returns the same offset in a buffer holding
// the same text with more room, or null when it cannot grow. It must either enlarge
// the buffer or fail, because the growing operations retry after every call.
using JsonGrowFn = char* (*)(char* position, void* user);

struct JsonGrowHook {
    JsonGrowFn fn;  // may be null: the growing operations then behave like their twins
    void* user;     // handed back to fn unchanged
};

// Lays `text` (or, when null, the text already in the buffer) into `buffer` of `size`
// bytes: text, NUL, zero padding, sentinel. Returns the position of the text's last
// character, or null when L + 2 > size, leaving the buffer unchanged. An empty text is
// laid out normally and returns the buffer's first byte (its terminator), which is an
// insertion point that appends without a comma.
char* json_buffer_init(char* buffer, size_t size, const char* text) noexcept;

// Opens a gap of n bytes (plus a separating comma where one is needed) at `position`
// and returns where the caller writes its n bytes, or null without any change when the
// room after the terminator is smaller than the gap.
//   at an opener:  after the opener, comma after the new text unless the container is
//                  empty (closer, NUL or white space up to the closer follows); when an
//                  element follows, a comma always goes after the new text;
//   at a closer:   before the closer, comma before the new text unless the container
//                  is empty;
//   at the NUL:    appended, no comma;
//   anywhere else: before that byte, comma before the new text.
// Precondition at a closer: the backwards search for the previous non-white-space byte
// stops at the buffer's first byte, which must be the start of the text. A closer
// preceded by nothing but white space back to that first byte counts as not empty
// (a comma is written), which never occurs for a valid text.
char* json_make_room(char* position, size_t n) noexcept;

// Non-growing inserters: write one member (name may be null: a bare value) at a
// non-null position. Return the position after the written value, or null when there
// is no room, leaving the text byte for byte unchanged. Values must not be null.
char* json_insert_string(char* position, const char* name, const char* value) noexcept;
char* json_insert_int(char* position, const char* name, int32_t value) noexcept;
char* json_insert_uint(char* position, const char* name, uint32_t value) noexcept;
char* json_insert_ulong(char* position, const char* name, uint64_t value) noexcept;
char* json_insert_object(char* position, const char* name) noexcept;

// Growing inserters: like their twins, but a null position returns null at once, and
// when there is no room they call hook->fn and retry until it fits or growth fails
// (null hook or fn, or fn returning null), then return null with the text unchanged.
char* json_add_string(char* position, const char* name, const char* value,
                      const JsonGrowHook* hook) noexcept;
char* json_add_int(char* position, const char* name, int32_t value,
                   const JsonGrowHook* hook) noexcept;
char* json_add_ulong(char* position, const char* name, uint64_t value,
                     const JsonGrowHook* hook) noexcept;

// Inserts an empty object member and returns the position of its closing brace, so
// the following adds go into the new object; null as for json_add_string.
char* json_open_object(char* position, const char* name, const JsonGrowHook* hook) noexcept;

// Steps past the closing brace of an object opened by json_open_object: position + 1,
// or null for null.
char* json_close(char* position) noexcept;
