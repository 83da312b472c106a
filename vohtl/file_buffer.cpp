#include "vohtl/file_buffer.h"

#include <cstdint>
#include <cstring>

#include "vohtl/capacity.h"
#include "vohtl/err/Allocator.h"
#include "vohtl/memory.h"

namespace vohtl {

namespace {

constexpr size_t kMinimumCapacity = 8;
constexpr size_t kMaximumCapacity = static_cast<size_t>(PTRDIFF_MAX);

}  // namespace

bool FileBuffer::resize(size_t length, char fill, Status* status) noexcept {
    if (status == nullptr || status->code < 0) return false;
    if (length <= length_) {
        length_ = length;
        return true;
    }
    if (length > capacity_) {
        size_t capacity = 0;
        if (!grown_capacity(length, kMinimumCapacity, capacity_, kMaximumCapacity, &capacity)) {
            record_memory_full(status);
            return false;
        }
        // realloc keeps the old block intact when it fails.
        char* grown = static_cast<char*>(reallocate_bytes(data_, capacity));
        if (grown == nullptr) {
            record_memory_full(status);
            return false;
        }
        data_ = grown;
        capacity_ = capacity;
    }
    std::memset(data_ + length_, fill, length - length_);
    length_ = length;
    return true;
}

void FileBuffer::release() noexcept {
    free_bytes(data_);
    data_ = nullptr;
    capacity_ = 0;
    length_ = 0;
}

}  // namespace vohtl
