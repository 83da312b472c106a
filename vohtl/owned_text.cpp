#include "vohtl/owned_text.h"

#include <cstdint>
#include <cstring>

#include "vohtl/capacity.h"
#include "vohtl/err/Allocator.h"
#include "vohtl/memory.h"

namespace vohtl {

namespace {

constexpr size_t kMinimumCapacity = 127;
// Storage is capacity + 1 bytes and no object may exceed PTRDIFF_MAX bytes.
constexpr size_t kMaximumCapacity = static_cast<size_t>(PTRDIFF_MAX) - 1;

}  // namespace

OwnedText::OwnedText(OwnedText&& other) noexcept
    : storage_(other.storage_), capacity_(other.capacity_), length_(other.length_) {
    other.storage_ = nullptr;
    other.capacity_ = 0;
    other.length_ = 0;
}

OwnedText& OwnedText::operator=(OwnedText&& other) noexcept {
    if (this != &other) {
        release();
        storage_ = other.storage_;
        capacity_ = other.capacity_;
        length_ = other.length_;
        other.storage_ = nullptr;
        other.capacity_ = 0;
        other.length_ = 0;
    }
    return *this;
}

bool OwnedText::assign(const char* bytes, size_t count, Status* status) noexcept {
    if (status == nullptr || status->code < 0) return false;
    if (bytes == nullptr && count != 0) return false;
    if (count == 0) {  // an empty text needs no storage, and keeps what it has
        if (storage_ != nullptr) storage_[0] = '\0';
        length_ = 0;
        return true;
    }
    if (count <= capacity_) {
        // memmove: the bytes may be a part of this very text.
        std::memmove(storage_, bytes, count);
        storage_[count] = '\0';
        length_ = count;
        return true;
    }
    size_t capacity = 0;
    if (!grown_capacity(count, kMinimumCapacity, capacity_, kMaximumCapacity, &capacity)) {
        record_memory_full(status);
        return false;
    }
    char* fresh = static_cast<char*>(allocate_bytes(capacity + 1));
    if (fresh == nullptr) {
        record_memory_full(status);
        return false;
    }
    // The old storage is freed only after the copy, since `bytes` may point into it.
    std::memcpy(fresh, bytes, count);
    fresh[count] = '\0';
    free_bytes(storage_);
    storage_ = fresh;
    capacity_ = capacity;
    length_ = count;
    return true;
}

bool OwnedText::assign(const char* text, Status* status) noexcept {
    if (text == nullptr) return false;
    return assign(text, std::strlen(text), status);
}

bool OwnedText::assign(const OwnedText& other, Status* status) noexcept {
    return assign(other.c_str(), other.length_, status);
}

bool OwnedText::equals(const char* bytes, size_t count) const noexcept {
    if (count != length_) return false;
    return count == 0 || (bytes != nullptr && std::memcmp(storage_, bytes, count) == 0);
}

void OwnedText::release() noexcept {
    free_bytes(storage_);
    storage_ = nullptr;
    capacity_ = 0;
    length_ = 0;
}

}  // namespace vohtl
