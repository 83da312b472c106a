// GrowableList: an ordered list of T kept in insertion order, held as capacity, count
// and element storage. When more room is needed the capacity becomes the largest of the
// count needed, 8 and the old capacity plus half of it. The element count is checked
// against the largest storable count before it is multiplied by the element size, so no
// size wraps. A failed growth records voapalerr_memoryFull at the allocator site and
// leaves the list unchanged.
//
// T needs a noexcept default constructor, move constructor and destructor, and
//     void placedUnder(const Status& listStatus) noexcept;
// which the list calls on every element it creates or moves into new storage, with the
// Status under which that list operation runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "errors/status.h"
#include "vohtl/capacity.h"
#include "vohtl/err/Allocator.h"
#include "vohtl/memory.h"

namespace vohtl {

template <typename T>
class GrowableList {
public:
    GrowableList() noexcept = default;
    GrowableList(const GrowableList&) = delete;
    GrowableList& operator=(const GrowableList&) = delete;
    ~GrowableList() { clear(); }

    size_t size() const noexcept { return count_; }
    size_t capacity() const noexcept { return capacity_; }
    T& operator[](size_t index) noexcept { return elements_[index]; }
    const T& operator[](size_t index) const noexcept { return elements_[index]; }
    T* begin() noexcept { return elements_; }
    T* end() noexcept { return elements_ + count_; }
    const T* begin() const noexcept { return elements_; }
    const T* end() const noexcept { return elements_ + count_; }

    // Makes room for at least `count` elements. Returns true when there is room; false,
    // the list unchanged, when the status is null or holds an error, or when the storage
    // cannot be had (voapalerr_memoryFull recorded).
    bool reserve(size_t count, Status* status) noexcept {
        if (status == nullptr || status->code < 0) return false;
        return count <= capacity_ || growTo(count, status);
    }

    // Moves `element` to the end of the list. Returns true on success; false as for
    // reserve, the list unchanged and `element` still the caller's.
    bool append(T&& element, Status* status) noexcept {
        if (!reserve(count_ + 1, status)) return false;
        T* placed = new (elements_ + count_) T(std::move(element));
        placed->placedUnder(*status);
        ++count_;
        return true;
    }

    // Destroys every element and frees the storage.
    void clear() noexcept {
        for (size_t i = count_; i > 0; --i) elements_[i - 1].~T();
        free_bytes(elements_);
        elements_ = nullptr;
        capacity_ = 0;
        count_ = 0;
    }

private:
    static_assert(alignof(T) <= alignof(std::max_align_t), "the heap must align T");
    static constexpr size_t kMinimumCapacity = 8;
    static constexpr size_t kMaximumCapacity = static_cast<size_t>(PTRDIFF_MAX) / sizeof(T);

    bool growTo(size_t count, Status* status) noexcept {
        size_t capacity = 0;
        if (!grown_capacity(count, kMinimumCapacity, capacity_, kMaximumCapacity, &capacity)) {
            record_memory_full(status);
            return false;
        }
        T* fresh = static_cast<T*>(allocate_bytes(capacity * sizeof(T)));
        if (fresh == nullptr) {
            record_memory_full(status);
            return false;
        }
        for (size_t i = 0; i < count_; ++i) {
            new (fresh + i) T(std::move(elements_[i]));
            fresh[i].placedUnder(*status);
            elements_[i].~T();
        }
        free_bytes(elements_);
        elements_ = fresh;
        capacity_ = capacity;
        return true;
    }

    size_t capacity_ = 0;
    size_t count_ = 0;
    T* elements_ = nullptr;
};

}  // namespace vohtl
