// Non-throwing array allocation of the platform layer, its fixed-size status record,
// and the bridge that carries a Status's error state through a platform call.
#include "voapal/protons/cppNewDelete/memoryAllocation.h"

#include <cstring>
#include <new>

#include "errors/error_constants.h"
#include "errors/status_payload.h"
#include "json/json_buffer.h"

namespace {

// The reporting site of an exhausted heap.
constexpr const char* kAllocationFile = "voapal/protons/cppNewDelete/memoryAllocation.cpp";
constexpr uint64_t kAllocationLine = 329;

// Records smaller than this carry only `size` and `code`.
constexpr uint64_t kFullRecordSize = 216;

// Copies `text` into a fixed field of `size` bytes: at most `size` bytes up to its NUL,
// zeros after it, and a NUL in the last byte whatever the text's length.
void copyField(char* field, size_t size, const char* text) {
    size_t i = 0;
    for (; i < size && text[i] != '\0'; ++i) field[i] = text[i];
    for (; i < size; ++i) field[i] = '\0';
    field[size - 1] = '\0';
}

// The `file` field holds at most 100 characters; a longer path keeps its first 49 and
// its last 49 characters around "..", so both the library folder and the file name
// survive.
void storeFile(char (&field)[101], const char* text) {
    copyField(field, sizeof field, text);
    const size_t length = std::strlen(text);
    if (length <= 100) return;
    field[49] = '.';
    field[50] = '.';
    std::memcpy(field + 51, text + length - 49, 50);  // the last 49 and the NUL
}

}  // namespace

bool PlatformStatus::setError(int64_t newCode, const char* componentText, const char* fileText,
                              uint64_t lineNumber) noexcept {
    const bool taken = code == 0 ? newCode != 0 : code > 0 && newCode < 0;
    if (!taken) return false;
    code = newCode;
    if (size < kFullRecordSize) return true;
    copyField(component, sizeof component, componentText != nullptr ? componentText : "");
    storeFile(file, fileText != nullptr ? fileText : "");
    line = lineNumber;
    reserved = 0;
    return true;
}

char* allocateArrayNoThrow(size_t n, PlatformStatus* status) noexcept {
    if (status != nullptr && status->code < 0) return nullptr;
    char* array = new (std::nothrow) char[n];
    if (array == nullptr && status != nullptr) {
        status->setError(voapalerr_memoryFull, voerr_component, kAllocationFile, kAllocationLine);
    }
    return array;
}

PlatformStatusBridge::PlatformStatusBridge(Status* target) noexcept : target_(target), platform_() {
    platform_.size = kFullRecordSize;
    if (target_ == nullptr || target_->code == 0) return;
    char componentText[10] = "";
    char fileText[101] = "";
    uint64_t lineNumber = 0;
    if (target_->text != nullptr) {
        // A long file keeps its end, where the file name is.
        payloadStringCut(target_->text, nullptr, "component", 9, PayloadCut::keepFirst,
                         componentText);
        payloadStringCut(target_->text, nullptr, "file", 100, PayloadCut::keepLast, fileText);
        const int32_t readLine = payloadInt(target_->text, nullptr, "line", 0);
        lineNumber = static_cast<uint64_t>(static_cast<int64_t>(readLine));
    }
    platform_.setError(target_->code, componentText, fileText, lineNumber);
}

PlatformStatusBridge::~PlatformStatusBridge() {
    if (target_ == nullptr || platform_.code == 0) return;
    const bool taken = target_->setCode(static_cast<int32_t>(platform_.code));
    if (!taken || platform_.size < kFullRecordSize) return;
    // The platform call may have written the fields by hand: never read past them.
    platform_.file[sizeof platform_.file - 1] = '\0';
    platform_.component[sizeof platform_.component - 1] = '\0';
    // 256 bytes hold the members of every reporting site; what does not fit is left out.
    if (platform_.file[0] != '\0') {
        char* p = target_->reserve(256);
        if (p != nullptr) p = json_insert_string(p, "file", platform_.file);
        if (p != nullptr) json_insert_uint(p, "line", static_cast<uint32_t>(platform_.line));
    }
    if (platform_.component[0] != '\0') {
        char* p = target_->reserve(256);
        if (p != nullptr) json_insert_string(p, "component", platform_.component);
    }
}
