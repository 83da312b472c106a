// The dynamic loader's cache, /etc/ld.so.cache, read as data: the file that ldconfig
// writes and the loader consults before its default directories. Only the format that
// Debian 12's C library writes is read ("glibc-ld.so.cache1.1", little-endian):
//
//   header (48 bytes): magic "glibc-ld.so.cache" and version "1.1" (20 bytes), the
//     number of entries (u32), the string table's size (u32), flags (u8: 2 in the low
//     two bits for little-endian, 0 when unset), 3 bytes of padding, the extension
//     directory's offset (u32), 12 unused bytes;
//   entries (24 bytes each): flags (i32: 0x0303 for an x86-64 ELF library of the C
//     library's ABI), the library's name and its path (u32 each: offsets of
//     NUL-terminated strings from the start of the file), the OS version (u32, unused),
//     hwcaps (u64: which hwcaps subdirectory the path is in, if any);
//   then the strings, and the extension directory.
#pragma once

#include <cstddef>

namespace vofsview {

// Calls visit(context, path) for each entry of `cache` (`size` bytes) that names the
// library `name` for this architecture, in the cache's order, whatever hwcaps it is for:
// each is a place where the loader may take it from. Stops early when visit returns
// false. Returns false, having visited nothing, when the bytes are not a whole cache of
// that format (another magic or version, big-endian, entries or strings beyond the end).
bool visit_cache_entries(const char* cache, size_t size, const char* name,
                         bool (*visit)(void* context, const char* path), void* context) noexcept;

}  // namespace vofsview
