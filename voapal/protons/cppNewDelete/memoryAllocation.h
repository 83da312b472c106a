// The platform layer's allocation reporting. The platform layer does not use Status:
// it reports through PlatformStatus, a fixed-size record whose first field declares
// its own size. PlatformStatusBridge carries a Status's error state into a
// PlatformStatus for one platform call and folds the result back afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

#include "errors/status.h"

// Fields from `component` on exist only when `size` > 215; every operation tests the
// declared size before touching them. Plain data: no pointers, no release.
struct PlatformStatus {
    uint64_t size;           // declared size of the record; 216 for the full record
    int64_t code;            // 0 success, negative error, positive warning
    char component[10];      // NUL-terminated program tag, at most 9 characters
    char file[101];          // NUL-terminated source path, at most 100 characters
    uint64_t line;           // line number of the reporting site
    uint64_t reserved;       // zeroed together with line; read by nothing
    unsigned char tail[72];  // rest of the declared 216 bytes; never read (the bridge
                             // zeroes it together with the rest of its record)

    // Takes `code` under the Status precedence rule (on 64 bits). When taken and the
    // record is full-size, stores component, file (a longer one than 100 characters as
    // its first 49, "..", its last 49) and line; null texts are stored as "". Returns
    // whether the code was taken; not taken, nothing changes.
    bool setError(int64_t newCode, const char* componentText, const char* fileText,
                  uint64_t lineNumber) noexcept;
};

static_assert(sizeof(PlatformStatus) == 216, "the full record is 216 bytes");

// Allocates n bytes with the non-throwing array new (release with delete[]). Returns
// null without allocating when the status holds an error; on exhaustion records
// voapalerr_memoryFull with this file and line 329 and returns null. A null status
// only allocates.
char* allocateArrayNoThrow(size_t n, PlatformStatus* status) noexcept;

// Lives for one platform call: construction copies the target's code and its payload's
// "component", "file" and "line" into a full-size PlatformStatus; destruction folds a
// non-zero result back into the target (code, then "file"/"line" and "component"),
// leaving out silently what does not fit. A null target folds nothing back.
class PlatformStatusBridge {
public:
    explicit PlatformStatusBridge(Status* target) noexcept;
    ~PlatformStatusBridge();
    PlatformStatusBridge(const PlatformStatusBridge&) = delete;
    PlatformStatusBridge& operator=(const PlatformStatusBridge&) = delete;

    PlatformStatus* status() noexcept { return &platform_; }

private:
    Status* target_;
    PlatformStatus platform_;
};
