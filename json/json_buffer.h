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
// character, or null when L + 2 > size or the buffer is null, leaving the buffer
// unchanged. A text already in the buffer is read no further than `size` bytes. An empty
// text is laid out normally and returns the buffer's first byte (its terminator), which
// is an insertion point that appends without a comma. `text` may lie inside `buffer`.
char* json_buffer_init(char* buffer, size_t size, const char* text) noexcept;

// Opens a gap of n bytes (plus a separating comma where one is needed) at `position`
// and returns where the caller writes exactly n bytes, none of them NUL; null without
// any change when the room after the terminator is smaller than the gap, or for a null
// position. The gap still holds stale bytes until the caller writes.
//   at an opener:  right after the opener. Past any white space, the matching closer
//                  (or the NUL) means an empty container: no comma. Anything else is
//                  a first element, scalar or container: a comma after the new text;
//   at a closer:   before the closer; a comma before the new text unless the previous
//                  byte other than white space is the matching opener (empty container);
//   at the NUL:    appended, no comma;
//   anywhere else: before that byte, comma before the new text.
// Precondition at a closer: some byte other than white space precedes it in the text.
// Every closer of a container has its opener before it, so this holds for any text
// that json_find_close accepts. The backwards search over white space stops only at
// such a byte, since the buffer's start is not known here; json_can_insert_at checks
// the precondition for a text that need not be JSON.
char* json_make_room(char* position, size_t n) noexcept;

// Whether `position` may be handed to json_make_room and the inserters for the text at
// `text`, `length` bytes before its NUL: a position from the text's first byte up to its
// NUL and, at a closer, with a byte other than white space before it in the text (not so
// in a text " }" or "]"). False for a null text or position. Positions are compared as
// addresses, so `position` may lie anywhere, even outside the buffer; only a position
// inside the text is read.
bool json_can_insert_at(const char* text, size_t length, const char* position) noexcept;

// Non-growing inserters: write one member (name may be null: a bare value) at a
// position. Return the position after the written value, or null when there is no room
// (or the position or string value is null), leaving the text byte for byte unchanged.
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
