// The C interface over the product location model. Each entry point catches every
// exception and turns it into a result code and message: nothing thrown below, by the
// location record, Boost or the C++ runtime, reaches a C caller.
#include "vosyncloc/vosyncloc.h"

#include <boost/filesystem/exception.hpp>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <string>

#include "locations/location_list.h"
#include "locations/sync_locations.h"

struct vosyncloc_list {
    LocationList entries;
};

namespace {

// `length` bytes of `bytes` and a NUL, in memory that vosyncloc_free releases; null when
// memory ran out.
char* copyOut(const char* bytes, std::size_t length) noexcept {
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, bytes, length);
    copy[length] = '\0';
    return copy;
}

// Hands `text` to the caller as the failure's message, when one is asked for.
int fail(int code, const char* text, char** message) noexcept {
    if (message != nullptr) *message = copyOut(text, std::strlen(text));
    return code;
}

// The code and message of the exception being handled. The messages are the what()
// texts that the tool prints for the same failures.
int failWithCurrentException(char** message) noexcept {
    try {
        throw;
    } catch (const std::bad_alloc& error) {
        return fail(VOSYNCLOC_ERR_MEMORY, error.what(), message);
    } catch (const boost::filesystem::filesystem_error& error) {
        return fail(VOSYNCLOC_ERR_FILE_STATUS, error.what(), message);
    } catch (const std::exception& error) {
        return fail(VOSYNCLOC_ERR_INTERNAL, error.what(), message);
    } catch (...) {
        return fail(VOSYNCLOC_ERR_INTERNAL, "unknown exception", message);
    }
}

int failUnknownKey(const char* key, char** message) {
    const std::string text = std::string("invalid location ") + (key != nullptr ? key : "");
    return fail(VOSYNCLOC_ERR_KEY, text.c_str(), message);
}

}  // namespace

const char* vosyncloc_key(size_t index) {
    return locationKey(index);
}

int vosyncloc_location(const char* key, char** path, size_t* length, char** message) {
    if (path == nullptr) {
        return fail(VOSYNCLOC_ERR_ARGUMENT, "vosyncloc_location: null output pointer", message);
    }
    try {
        const std::optional<std::size_t> index = locationIndex(key);
        if (!index) return failUnknownKey(key, message);
        // Like one run of the tool: the whole record, then the one path asked for.
        const SyncLocations locations(false);
        const std::string& text = locationPath(locations, *index).native();
        char* copy = copyOut(text.data(), text.size());
        if (copy == nullptr) throw std::bad_alloc();
        *path = copy;
        if (length != nullptr) *length = text.size();
        return VOSYNCLOC_OK;
    } catch (...) {
        return failWithCurrentException(message);
    }
}

int vosyncloc_list_open(vosyncloc_list** list, char** message) {
    if (list == nullptr) {
        return fail(VOSYNCLOC_ERR_ARGUMENT, "vosyncloc_list_open: null output pointer", message);
    }
    try {
        const SyncLocations locations(false);
        *list = new vosyncloc_list{buildLocationList(locations)};
        return VOSYNCLOC_OK;
    } catch (...) {
        return failWithCurrentException(message);
    }
}

size_t vosyncloc_list_count(const vosyncloc_list* list) {
    return list != nullptr ? list->entries.size() : 0;
}

const char* vosyncloc_list_key(const vosyncloc_list* list, size_t index) {
    return index < vosyncloc_list_count(list) ? locationKey(index) : nullptr;
}

const char* vosyncloc_list_path(const vosyncloc_list* list, size_t index, size_t* length) {
    if (index >= vosyncloc_list_count(list)) return nullptr;
    const std::string& path = list->entries[index].second;
    if (length != nullptr) *length = path.size();
    return path.c_str();
}

void vosyncloc_list_close(vosyncloc_list* list) {
    delete list;
}

void vosyncloc_free(void* memory) {
    std::free(memory);
}
