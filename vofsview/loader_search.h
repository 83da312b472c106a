// Where a system's dynamic loader would find a library by its name, told from its files
// alone: the order in which Debian 12's loader looks for a library that a program without
// a run path opens by name.
#pragma once

#include "vofsview/file_system_view.h"

namespace vofsview {

// Fills *result with the first place where the loader of the system that `view` shows
// would take the library `name` from:
//   1. the entries for it in the loader's cache, /etc/ld.so.cache (loader_cache.h), of
//      every hwcaps level, since the machine it will run on is not known;
//   2. in each default directory (/lib/x86_64-linux-gnu, /usr/lib/x86_64-linux-gnu, /lib,
//      /usr/lib), its glibc-hwcaps subdirectories x86-64-v4, -v3 and -v2, then the
//      directory itself.
// A file of any type there counts as found. notFound when there is none; unreadable
// when a file could not be looked at (its path and error number; a cache that exists
// but cannot be read, or is larger than 64 MiB (EFBIG), included); notUnderstood when
// the cache is not a regular file in the format loader_cache.h reads. A search that
// cannot read the cache never goes on as if there were none.
void search_library(const FileSystemView& view, const char* name,
                    LibrarySearchResult* result) noexcept;

}  // namespace vofsview
