// Status: how the library code reports failure without throwing. The caller owns a
// Status and passes its address to every operation; an operation that finds the code
// negative returns at once with its neutral result (null, false, outputs untouched).
//
// Code precedence: the first error wins, an error replaces a warning, a warning
// replaces only success (0 success, negative error, positive warning).
//
// Invariant: text is null exactly when capacity is 0. Otherwise text is a JSON buffer
// (json/json_buffer.h) of `capacity` bytes holding one compact JSON object that starts
// at its first byte ("{}" when empty): text, NUL, zero padding, sentinel 'J'.
// The buffer is owned by its Status and only ever allocated or freed through `resize`.
// A Status is never copied bytewise: copying goes through assign, mergeCopy or
// mergeMove, so the copy operations are deleted.
#pragma once

#include <cstdint>

struct Status;
struct SourceLocation;

// Grows the status's buffer to at least n bytes (keeping the text), or frees it for
// n = 0. Returns false, the status unchanged, when it cannot grow; freeing always
// succeeds. A status that already holds a buffer keeps the same resize function.
using StatusResizeFn = bool (*)(Status* status, uint32_t n);

// malloc/free, buffers of 512 bytes or the next power of two above, at most 2^31 - 1
// requested bytes. A fresh buffer holds the old text, or "{}" when there was none.
bool defaultResize(Status* status, uint32_t n) noexcept;

struct Status {
    int32_t code = 0;
    uint32_t capacity = 0;
    StatusResizeFn resize = defaultResize;
    char* text = nullptr;

    Status() noexcept = default;
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    ~Status() { release(); }

    // Makes the buffer at least n + 2 bytes (a total size, not free room), allocating a
    // "{}" buffer when there is none, and returns the root object's closing brace. Null
    // when n > 2147483645 or growth fails; the status is then unchanged.
    char* reserve(uint32_t n) noexcept;

    // Replaces the text by `t` ("{}" for null), growing as needed. Returns the position
    // of its last character, or null (text and code unchanged) when it cannot. `t` may
    // be this status's own text, but no other position inside its buffer.
    char* setText(const char* t) noexcept;

    // Becomes a copy of `other` (code and text), overwriting even an error. False, with
    // the code unchanged, when the text could not be copied.
    bool assign(const Status& other) noexcept;

    // Takes `c` under the precedence rule; when taken, resets an existing text to "{}"
    // (no buffer is allocated for a code alone). Not taken: nothing changes.
    bool setCode(int32_t c) noexcept;

    // Takes other's code under the precedence rule and, when taken, a copy of its text.
    // Not taken: nothing changes. *ok (optional) is false when the code was taken but the
    // text was not copied; the text is then "{}" (or there is still no buffer).
    bool mergeCopy(const Status& other, bool* ok = nullptr) noexcept;

    // As mergeCopy, but moves other's buffer over when both use the same resize
    // function; other keeps its code and is left without a buffer. With different
    // resize functions the text is copied ("{}" when other has none).
    bool mergeMove(Status& other, bool* ok = nullptr) noexcept;

    // Doubles the buffer and returns `p` rebased onto it. Null for a null `p` or no
    // buffer, or when it cannot grow; the buffer is then unchanged.
    char* growAt(char* p) noexcept;

    // Inserts the string member name:value at p, growing as needed; a null value is
    // written as "". Returns the position after the value, or null with the text
    // unchanged: when growth fails, and when p cannot take a member (null, no text, a
    // position outside the text, which runs from its first byte to its NUL, or a closer
    // with nothing but white space before it in the text, as in a text " }" set from
    // outside).
    char* addStringMember(char* p, const char* name, const char* value) noexcept;

    // Frees the buffer (through resize with 0); the code stays.
    void release() noexcept;

    // Takes `code` under the precedence rule and, when taken, makes the payload
    // {"error_constant":..,"file":..,"line":..,"component":..} from `location`.
    // Returns whether the code was taken; *ok is false when the payload is incomplete.
    bool setError(int32_t code, const SourceLocation& location, bool* ok = nullptr) noexcept;

    // Writes "file", "line" and (when not null) "component" of `location` at p.
    // Returns the position after the last member, or null (p cannot take a member, as
    // for addStringMember, with the text unchanged; or growth failed, leaving the
    // members completed before it).
    char* addLocationMembers(char* p, const SourceLocation& location) noexcept;
};

// The JsonGrowFn of a status: growAt on the Status given as `user`; null for a null
// user.
char* statusGrowHook(char* p, void* user) noexcept;
