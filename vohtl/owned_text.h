// OwnedText: a byte string that owns its storage and keeps one NUL after its last byte.
//
// Layout: storage, capacity, length. Storage is null exactly when capacity is 0 (an
// empty text may have none); otherwise it holds capacity + 1 bytes, the text's `length`
// bytes, then a NUL. Storage grows to the largest of the length needed, 127 and the old
// capacity plus half of it.
//
// Status-aware: every operation that can fail takes the caller's Status, does nothing
// when it already holds an error (or is null), and records voapalerr_memoryFull at the
// allocator site when storage cannot be had. A failed assignment leaves the old value
// intact: a larger text is built in fresh storage and swapped in only when that worked.
#pragma once

#include <cstddef>

#include "errors/status.h"

namespace vohtl {

class OwnedText {
public:
    OwnedText() noexcept = default;
    OwnedText(OwnedText&& other) noexcept;
    OwnedText& operator=(OwnedText&& other) noexcept;
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;
    ~OwnedText() { release(); }

    // Replaces the text by `count` bytes at `bytes` (which may lie inside this text).
    // Returns true on success; false with the text unchanged when the status is null or
    // holds an error, when `bytes` is null with a non-zero count, or when storage cannot
    // be had (then voapalerr_memoryFull is recorded, also for a count too large to hold).
    bool assign(const char* bytes, size_t count, Status* status) noexcept;

    // As above for a NUL-terminated text; a null text returns false and changes nothing.
    bool assign(const char* text, Status* status) noexcept;

    // As above for another owned text.
    bool assign(const OwnedText& other, Status* status) noexcept;

    // True when the text is exactly these bytes (same length, same bytes).
    bool equals(const char* bytes, size_t count) const noexcept;

    // The storage (text and NUL), or null when there is none.
    const char* data() const noexcept { return storage_; }
    // The text as a NUL-terminated string: the storage, or "" when there is none.
    const char* c_str() const noexcept { return storage_ != nullptr ? storage_ : ""; }
    size_t size() const noexcept { return length_; }
    size_t capacity() const noexcept { return capacity_; }

    // Frees the storage; the text becomes empty.
    void release() noexcept;

private:
    char* storage_ = nullptr;
    size_t capacity_ = 0;
    size_t length_ = 0;
};

}  // namespace vohtl
