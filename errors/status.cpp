// Buffer management and code precedence of Status.
#include "errors/status.h"

#include <cstdlib>
#include <cstring>

#include "json/json_buffer.h"
#include "json/json_scan.h"

namespace {

// The largest text length (and reserve request) whose buffer, text + NUL + sentinel,
// still stays below 2^31 bytes.
constexpr uint32_t kMaxTextLength = 2147483645u;

constexpr uint32_t kMinBufferSize = 512;

// 512 for small requests, else the smallest power of two >= n (n < 2^31).
uint32_t bufferSizeFor(uint32_t n) {
    if (n <= kMinBufferSize) return kMinBufferSize;
    uint32_t size = n - 1;
    size |= size >> 1;
    size |= size >> 2;
    size |= size >> 4;
    size |= size >> 8;
    size |= size >> 16;
    return size + 1;
}

// The precedence rule: the first error wins, an error replaces a warning, a warning
// replaces only success.
bool takesCode(int32_t current, int32_t incoming) {
    if (current == 0) return incoming != 0;
    if (current > 0) return incoming < 0;
    return false;
}

}  // namespace

bool defaultResize(Status* status, uint32_t n) noexcept {
    if (n == 0) {
        std::free(status->text);
        status->text = nullptr;
        status->capacity = 0;
        return true;
    }
    if (n <= status->capacity) return true;
    if (n >= 0x80000000u) return false;
    const uint32_t size = bufferSizeFor(n);
    char* buffer = static_cast<char*>(std::malloc(size));
    if (buffer == nullptr) return false;
    // The old text always fits: it needed at most the old capacity, which is smaller.
    json_buffer_init(buffer, size, status->text != nullptr ? status->text : "{}");
    std::free(status->text);
    status->text = buffer;
    status->capacity = size;
    return true;
}

char* Status::reserve(uint32_t n) noexcept {
    if (n > kMaxTextLength) return nullptr;
    if (capacity < n + 2 && !resize(this, n + 2)) return nullptr;
    if (text == nullptr) return nullptr;  // a resize function that did not allocate
    return json_find_close(text);
}

char* Status::setText(const char* t) noexcept {
    const char* source = t != nullptr ? t : "{}";
    const size_t length = std::strlen(source);
    if (length > kMaxTextLength) return nullptr;
    const uint32_t required = static_cast<uint32_t>(length) + 2;
    if (capacity < required && !resize(this, required)) return nullptr;
    if (text == nullptr) return nullptr;
    // Laying out the buffer's own text again needs no copy (and must not overlap one).
    return json_buffer_init(text, capacity, source == text ? nullptr : source);
}

bool Status::assign(const Status& other) noexcept {
    if (&other == this) return true;
    if (other.capacity == 0) {
        resize(this, 0);
    } else if (setText(other.text) == nullptr) {
        return false;
    }
    code = other.code;
    return true;
}

bool Status::setCode(int32_t c) noexcept {
    if (!takesCode(code, c)) return false;
    code = c;
    // An existing buffer holds at least "{}" and its layout, so this never needs to grow.
    if (text != nullptr) setText(nullptr);
    return true;
}

bool Status::mergeCopy(const Status& other, bool* ok) noexcept {
    const bool taken = setCode(other.code);
    if (ok != nullptr) *ok = true;
    if (!taken) return false;
    if (other.text != nullptr && setText(other.text) == nullptr && ok != nullptr) *ok = false;
    return true;
}

bool Status::mergeMove(Status& other, bool* ok) noexcept {
    const bool taken = setCode(other.code);
    if (ok != nullptr) *ok = true;
    if (!taken) return false;
    if (resize == other.resize) {
        // Same allocator on both sides: the buffer changes hands without a copy.
        resize(this, 0);
        capacity = other.capacity;
        text = other.text;
        other.capacity = 0;
        other.text = nullptr;
    } else if (setText(other.text) == nullptr && ok != nullptr) {
        *ok = false;
    }
    return true;
}

char* Status::growAt(char* p) noexcept {
    if (p == nullptr || text == nullptr) return nullptr;
    const ptrdiff_t offset = p - text;
    // Asks resize for 2 * capacity - 2 bytes, which the power-of-two rounding makes a
    // doubling. Wraps (and so fails in reserve) once the capacity reaches 2^31.
    if (reserve(2u * capacity - 4u) == nullptr) return nullptr;
    return text + offset;
}

char* statusGrowHook(char* p, void* user) noexcept {
    if (user == nullptr) return nullptr;
    return static_cast<Status*>(user)->growAt(p);
}

char* Status::addStringMember(char* p, const char* name, const char* value) noexcept {
    // A text set from outside (" }") may lack what the builder relies on at a closer.
    if (text == nullptr || !json_can_insert_at(text, strnlen(text, capacity), p)) return nullptr;
    const JsonGrowHook hook{statusGrowHook, this};
    return json_add_string(p, name, value != nullptr ? value : "", &hook);
}

void Status::release() noexcept {
    if (text != nullptr) resize(this, 0);
}
