// Reading members back from a status's payload, the JSON debug text of a Status
// (errors/status.h), for code that explains or carries a failure after the fact. Nothing
// here allocates or throws, and the payload is only read.
//
// A member is named by `object` and `name`: the member `name` of the payload's root
// object when `object` is null, else the member `name` of the root's object member
// `object` (as "internal_error" and "string" in {"internal_error":{"string":"..."}}). The
// first member of a name is the one read. There is no such member when the payload or
// `name` is null, when the payload (or the value of `object`) is not an object, or when
// a member before it is not valid JSON.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes the named string member into `out` (`size` bytes) and terminates it, when
// `size` is at least the size it returns; a smaller size (a null `out` with size 0 asks
// only for the size) leaves `out` untouched. Returns the decoded length plus one for the
// terminator, or 0, `out` untouched, when there is no such member, it is not a valid
// string, or it does not decode (a \u0000, a surrogate escape without its pair). The
// decoded text holds no NUL and is never longer than the member's raw content.
size_t payloadString(const char* payload, const char* object, const char* name, char* out,
                     size_t size) noexcept;

// Which raw bytes payloadStringCut keeps of a longer member.
enum class PayloadCut { keepFirst, keepLast };

// Decodes at most `maxRaw` raw (still escaped) bytes of the named string member, the
// first or the last ones, into `out` (maxRaw + 1 bytes) and terminates it: a best-effort
// text that is always written (a null `out` excepted), "" when there is no such string
// member. The last bytes lose any backslashes they start with, since those may be the
// rest of an escape cut in two (so a whole escape there loses its backslash, and its
// letters stand as text); a decoding error, such as an escape cut at the end of the
// first bytes, ends the text where it occurs, keeping what was decoded before it.
void payloadStringCut(const char* payload, const char* object, const char* name, size_t maxRaw,
                      PayloadCut cut, char* out) noexcept;

// The named integer member: a number that converts to int32_t as json_number_to_int
// says (json/json_lookup.h: 010 is 8, a real is truncated). `fallback` when there is no
// such member, it is not a number, or its value does not fit.
int32_t payloadInt(const char* payload, const char* object, const char* name,
                   int32_t fallback) noexcept;
