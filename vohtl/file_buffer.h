// FileBuffer: a growable byte buffer held as capacity, length and data (owned storage,
// no terminator of its own). Growing to a length beyond the capacity makes the capacity
// the largest of the length needed, 8 and the old capacity plus half of it.
//
// Status-aware like OwnedText: nothing is done when the status is null or already holds
// an error, and a length that cannot be held or a failed allocation records
// voapalerr_memoryFull at the allocator site and leaves the buffer unchanged.
#pragma once

#include <cstddef>

#include "errors/status.h"

namespace vohtl {

class FileBuffer {
public:
    FileBuffer() noexcept = default;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    ~FileBuffer() { release(); }

    // Makes the length exactly `length`: a longer buffer is cut down (its capacity
    // kept), a shorter one grows with `fill` written into every new position. Returns
    // true on success; false with the buffer unchanged otherwise (see above).
    bool resize(size_t length, char fill, Status* status) noexcept;

    // The bytes, or null when nothing was ever allocated.
    char* data() noexcept { return data_; }
    const char* data() const noexcept { return data_; }
    size_t size() const noexcept { return length_; }
    size_t capacity() const noexcept { return capacity_; }

    // Frees the storage; the buffer becomes empty.
    void release() noexcept;

private:
    size_t capacity_ = 0;
    size_t length_ = 0;
    char* data_ = nullptr;
};

}  // namespace vohtl
