#include "vofsview/loader_cache.h"

#include <cstdint>
#include <cstring>

namespace vofsview {
namespace {

constexpr char kMagic[] = "glibc-ld.so.cache1.1";
constexpr size_t kHeaderSize = 48;
constexpr size_t kEntrySize = 24;
constexpr size_t kCountOffset = 20;
constexpr size_t kFlagsOffset = 28;
constexpr unsigned kEndianMask = 3;
constexpr unsigned kEndianUnset = 0;
constexpr unsigned kLittleEndian = 2;
// An ELF library of the C library's ABI (FLAG_ELF_LIBC6) built for x86-64 (FLAG_X8664_LIB64).
constexpr int32_t kThisArchitecture = 0x0303;

uint32_t read_u32(const char* at) noexcept {
    uint32_t value;
    std::memcpy(&value, at, sizeof value);  // the format and this machine are little-endian
    return value;
}

// The NUL-terminated string at `offset`, or null when it does not end inside the cache.
const char* string_at(const char* cache, size_t size, uint32_t offset) noexcept {
    if (offset >= size) return nullptr;
    const void* end = std::memchr(cache + offset, '\0', size - offset);
    return end != nullptr ? cache + offset : nullptr;
}

}  // namespace

bool visit_cache_entries(const char* cache, size_t size, const char* name,
                         bool (*visit)(void* context, const char* path), void* context) noexcept {
    if (size < kHeaderSize || std::memcmp(cache, kMagic, sizeof kMagic - 1) != 0) return false;
    const unsigned endian = static_cast<unsigned char>(cache[kFlagsOffset]) & kEndianMask;
    if (endian != kLittleEndian && endian != kEndianUnset) return false;
    const uint64_t count = read_u32(cache + kCountOffset);
    if (count > (size - kHeaderSize) / kEntrySize) return false;
    // Every entry is checked before any is visited, so that a cache cut short or
    // damaged anywhere is not read as one that merely lacks the library.
    for (uint64_t index = 0; index < count; ++index) {
        const char* entry = cache + kHeaderSize + index * kEntrySize;
        if (string_at(cache, size, read_u32(entry + 4)) == nullptr ||
            string_at(cache, size, read_u32(entry + 8)) == nullptr) {
            return false;
        }
    }
    for (uint64_t index = 0; index < count; ++index) {
        const char* entry = cache + kHeaderSize + index * kEntrySize;
        if (static_cast<int32_t>(read_u32(entry)) != kThisArchitecture) continue;
        if (std::strcmp(cache + read_u32(entry + 4), name) != 0) continue;
        if (!visit(context, cache + read_u32(entry + 8))) break;
    }
    return true;
}

}  // namespace vofsview
