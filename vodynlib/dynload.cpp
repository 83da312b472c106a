#include "vodynlib/dynload.h"

#include <dlfcn.h>

#include "errors/error_constants.h"
#include "json/json_buffer.h"

namespace {

const SourceLocation kLoadFailed = {"vodynlib/dynload.cpp", 65, voerr_component,
                                    "voapalerr_invalidParameter"};
const SourceLocation kSymbolNotFound = {"vodynlib/dynload.cpp", 140, voerr_component,
                                        "voapalerr_invalidParameter"};

// Appends "vodynlib_debug" {"debug":..,<key>:<value>} and "internal_error"
// {"api":"dlerror","string":..}. The loader's message is read between the two objects;
// nothing since the failing call has touched the loader, so it is that call's message.
void add_loader_members(Status* status, const char* debug, const char* key,
                        const char* value) noexcept {
    const JsonGrowHook hook = {statusGrowHook, status};
    char* p = status->reserve(2);
    p = json_open_object(p, "vodynlib_debug", &hook);
    p = json_add_string(p, "debug", debug, &hook);
    p = json_add_string(p, key, value, &hook);
    p = json_close(p);
    const char* message = dlerror();
    p = json_open_object(p, "internal_error", &hook);
    p = json_add_string(p, "api", "dlerror", &hook);
    p = json_add_string(p, "string", message != nullptr ? message : "", &hook);
    json_close(p);
}

// Records the failure at `site` (its members only when this error became the status's
// code), then clears the loader's pending error so no later caller sees it.
void record_failure(Status* status, const SourceLocation& site, const char* debug, const char* key,
                    const char* value) noexcept {
    if (status->setError(voapalerr_invalidParameter, site)) {
        add_loader_members(status, debug, key, value);
    }
    (void)dlerror();
}

}  // namespace

void* vodynlib_load(const char* path, int flags, Status* status) noexcept {
    if (status == nullptr || status->code < 0 || path == nullptr) return nullptr;
    void* handle = dlopen(path, flags);
    if (handle == nullptr) {
        record_failure(status, kLoadFailed, "failed to vodynlib_load library", "path", path);
    }
    return handle;
}

void* vodynlib_symbol(void* handle, const char* name, Status* status) noexcept {
    if (status == nullptr || status->code < 0) return nullptr;
    // A null handle would mean "search everything" to dlsym; it is not found here.
    void* address = (handle != nullptr && name != nullptr) ? dlsym(handle, name) : nullptr;
    if (address == nullptr) {
        record_failure(status, kSymbolNotFound, "failed to get symbol", "vodynlib_symbol",
                       name != nullptr ? name : "");
    }
    return address;
}

void vodynlib_close(void* handle) noexcept {
    if (handle != nullptr) (void)dlclose(handle);
}
