// Status-passing wrapper of the platform's dynamic loader. Each failure becomes
// voapalerr_invalidParameter in the caller's Status, with a debug object that names the
// library or symbol and carries the loader's own message. No state of its own; the
// names carry the library's prefix instead of a namespace.
#pragma once

#include "errors/status.h"

// Opens the library at `path` with `dlopen` and `flags` (passed through unchanged).
// Returns the handle, leaving the status untouched; null without calling dlopen when the
// status is null or holds an error, or when `path` is null. When dlopen fails: null, and
// the status holds -52005 with {"vodynlib_debug":{"debug","path"},"internal_error":
// {"api":"dlerror","string"}} after its location members; the loader's pending error is
// cleared.
void* vodynlib_load(const char* path, int flags, Status* status) noexcept;

// Looks `name` up in `handle` with `dlsym`. Returns the address (a null address counts
// as not found); null without calling dlsym when the status is null or holds an error.
// When not found (or the handle or name is null): null, and the status holds -52005 with
// {"vodynlib_debug":{"debug","vodynlib_symbol"},"internal_error":{...}}.
void* vodynlib_symbol(void* handle, const char* name, Status* status) noexcept;

// Closes a handle that vodynlib_load returned (dlclose; its result is ignored). A null
// handle is ignored.
void vodynlib_close(void* handle) noexcept;
