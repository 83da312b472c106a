// Member lookup and decoding: reads members of a JSON text in place. Nothing is
// allocated and the text is never changed; strings decode into caller buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "json/json_scan.h"

// Decoding state for one piece of raw string content (the bytes between the quotes,
// escapes not decoded). Start with pending 0, remaining = raw length, cursor = raw
// start. One byte is delivered per step; a delivered 0 ends the decoding, and cursor
// is then null exactly when the content was decoded completely (otherwise: an error).
struct JsonUnescaper {
    uint32_t pending;    // decoded bytes still to deliver, next one lowest; 0 when none
    size_t remaining;    // raw bytes not yet consumed
    const char* cursor;  // the next raw byte; null only after a clean end
};

// The next decoded byte: 0 at the end (cursor set null) or on an error. An error, such
// as a raw NUL, a cut escape or \u0000, leaves the state as it was, so it repeats.
// \uXXXX decodes to UTF-8; a surrogate pair to four bytes, whose halves are combined
// without checking them (a result above 0x1FFFFF is an error). A null unescaper gives 0;
// the cursor must not be null while bytes remain.
unsigned char json_unescape_next(JsonUnescaper* unescaper) noexcept;

// Reads four hexadecimal digits at *cursor into *value, advancing the cursor and
// lowering *remaining by one per digit; false at the first byte that is not one or
// when *remaining runs out (*value is then untouched, the digits read stay consumed).
bool json_read_hex4(size_t* remaining, const char** cursor, uint16_t* value) noexcept;

// Decodes raw content into `out` (at least length + 1 bytes) and terminates it.
// Returns the position of the terminator, or null on a decoding error (out then holds
// the bytes decoded before the error, terminated). `length` may cut the raw content.
// A null out gives null; a null raw decodes only with length 0.
char* json_unescape(const char* raw, size_t length, char* out) noexcept;

// True when the raw content decodes, without error, to exactly the plain NUL-terminated
// `name`; false for a null name.
bool json_name_equals(const char* name, const char* raw, size_t length) noexcept;

// The position of the value of the first direct member of the object that starts
// `text` (after white space) whose decoded name equals `name`; null when the text or
// name is null, the text is not an object, no member matches, or a member before the
// match is invalid. Nothing after the match is examined, not even its value.
const char* json_find_member(const char* text, const char* name) noexcept;

// For a string value at `position` (may be null; white space before it is skipped):
// its raw content start, with the raw length in *length and the position after the
// closing quote in *end (each when given). Otherwise `fallback` (may be null) with its
// length (0 for null) and *end null.
const char* json_get_string(const char* position, const char* fallback, size_t* length,
                            const char** end) noexcept;

// For a number value at `position` (may be null) that converts to a signed 32-bit
// value: that value, with *end after the number. Otherwise `fallback`, *end null.
int32_t json_get_int(const char* position, int32_t fallback, const char** end) noexcept;

// Converts a scanned number (start, length, is_real) to a signed 32-bit value: "%i"
// rules for integers, read from start up to the first byte that is not a digit (so
// 010 is 8 and 0x10 is 16), reals read in the current numeric locale and truncated
// toward zero. False, and *out untouched, when no value converts, the integer or the
// truncated real lies outside int32_t (2147483647.9 still gives INT32_MAX), or an
// argument is null.
bool json_number_to_int(const JsonValueInfo* number, int32_t* out) noexcept;
