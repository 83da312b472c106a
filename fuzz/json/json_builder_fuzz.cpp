// Runs arbitrary sequences of insertions into a buffer laid out by json_buffer_init,
// in a fixed buffer or one that a grow hook reallocates. After every step the layout
// must be intact, the text a valid container, a failed step must leave the text as it
// was, and every value written must read back byte for byte.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "json/json_buffer.h"
#include "json/json_escape.h"
#include "json/json_lookup.h"

namespace {

constexpr size_t kMaxBufferSize = 1 << 16;
constexpr size_t kMaxOpenObjects = 48;
constexpr int kMaxSteps = 64;

// Consumes the fuzz input; reads past its end give zeros.
struct Input {
    const uint8_t* data;
    size_t size;

    uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    uint64_t number() {
        uint64_t value = 0;
        for (int i = 0; i < 8; ++i) value = value << 8 | byte();
        return value;
    }
    // Up to `max` bytes, cut at the first NUL.
    std::string text(size_t max) {
        size_t length = byte() % (max + 1);
        if (length > size) length = size;
        std::string taken(reinterpret_cast<const char*>(data), length);
        data += length;
        size -= length;
        return taken.c_str();
    }
};

// A container the builder is inside: where its opener is, and whether members there
// take names. Insertions happen after every opener on this stack, so offsets hold.
struct Container {
    size_t opener;
    bool is_object;
};

struct Builder {
    char* buffer;
    size_t size;

    // The grow hook: doubles into a fresh malloc'd buffer and rebases the position.
    static char* grow(char* position, void* user) {
        auto* self = static_cast<Builder*>(user);
        const size_t size = self->size * 2;
        if (size > kMaxBufferSize) return nullptr;
        char* bigger = static_cast<char*>(std::malloc(size));
        if (bigger == nullptr) return nullptr;
        std::memset(bigger, 0xA5, size);
        FUZZ_CHECK(json_buffer_init(bigger, size, self->buffer) != nullptr);
        const size_t offset = static_cast<size_t>(position - self->buffer);
        std::free(self->buffer);
        self->buffer = bigger;
        self->size = size;
        return bigger + offset;
    }
};

void check_layout(const Builder& b) {
    const size_t length = strnlen(b.buffer, b.size);
    FUZZ_CHECK(length + 2 <= b.size);
    for (size_t i = length + 1; i + 1 < b.size; ++i) FUZZ_CHECK(b.buffer[i] == 0);
    FUZZ_CHECK(b.buffer[b.size - 1] == 'J');
    FUZZ_CHECK(length > 0 && json_find_close(b.buffer) == b.buffer + length - 1);
}

// A string value ends at `end`; it must scan back, decode to `value`, and (when named)
// be the member that the lookup finds in its object.
void check_string_reads_back(const Builder& b, const Container& in, const char* end,
                             const char* name, const std::string& value) {
    const char* start = end - (json_escaped_length(value.c_str()) + 2);
    size_t length = 0;
    const char* scanned_end = nullptr;
    const char* raw = json_get_string(start, nullptr, &length, &scanned_end);
    FUZZ_CHECK(scanned_end == end && raw == start + 1);
    std::vector<char> decoded(length + 1);
    FUZZ_CHECK(json_unescape(raw, length, decoded.data()) != nullptr);
    FUZZ_CHECK(value == decoded.data());
    if (name != nullptr) FUZZ_CHECK(json_find_member(b.buffer + in.opener, name) == start);
}

// Digits written for a number end at `end`, and a named one is found by its name.
void check_number_reads_back(const Builder& b, const Container& in, const char* end,
                             const char* name, const char* digits) {
    const char* start = end - std::strlen(digits);
    FUZZ_CHECK(std::memcmp(start, digits, std::strlen(digits)) == 0);
    if (name != nullptr) FUZZ_CHECK(json_find_member(b.buffer + in.opener, name) == start);
}

const char* const kRoots[] = {"{}", "[]", "{ }", "[\n]", "{\t \r\n}"};

// One step: an insertion, a jump to the current container's opener or closer, or a
// close. Returns the new position, or null when an insertion did not fit.
char* run_step(Input& in, Builder& b, std::vector<Container>& open, char* p,
               const JsonGrowHook* hook, int step) {
    const Container top = open.back();
    const std::string name_text = in.text(12) + "#" + std::to_string(step);  // unique
    const char* name = top.is_object ? name_text.c_str() : nullptr;
    char digits[32];
    switch (in.byte() % 8) {
        case 0: {
            const std::string value = in.text(40);
            char* end = json_add_string(p, name, value.c_str(), hook);
            if (end != nullptr) check_string_reads_back(b, top, end, name, value);
            return end;
        }
        case 1: {
            const auto value = static_cast<int32_t>(in.number());
            std::snprintf(digits, sizeof digits, "%" PRIi32, value);
            char* end = json_add_int(p, name, value, hook);
            if (end != nullptr) check_number_reads_back(b, top, end, name, digits);
            if (end != nullptr)
                FUZZ_CHECK(json_get_int(end - std::strlen(digits), 0, nullptr) == value);
            return end;
        }
        case 2: {
            const uint64_t value = in.number();
            std::snprintf(digits, sizeof digits, "%" PRIu64, value);
            char* end = json_add_ulong(p, name, value, hook);
            if (end != nullptr) check_number_reads_back(b, top, end, name, digits);
            return end;
        }
        case 3: {
            const auto value = static_cast<uint32_t>(in.number());
            std::snprintf(digits, sizeof digits, "%" PRIu32, value);
            char* end = json_insert_uint(p, name, value);  // never grows
            if (end != nullptr) check_number_reads_back(b, top, end, name, digits);
            return end;
        }
        case 4: {
            if (open.size() >= kMaxOpenObjects) return p;
            char* closer = json_open_object(p, name, hook);
            if (closer == nullptr) return nullptr;
            FUZZ_CHECK(closer[0] == '}' && closer[-1] == '{');
            open.push_back(Container{static_cast<size_t>(closer - 1 - b.buffer), true});
            return closer;
        }
        case 5: {
            if (open.size() == 1) return p;
            char* closer = json_find_close(b.buffer + top.opener);
            FUZZ_CHECK(closer != nullptr && *closer == '}');
            open.pop_back();
            return json_close(closer);
        }
        case 6:
            return b.buffer + top.opener;
        default:
            return json_find_close(b.buffer + top.opener);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    const char* root = kRoots[in.byte() % (sizeof kRoots / sizeof kRoots[0])];
    Builder b{nullptr, std::strlen(root) + 2 + in.byte() % 32};
    b.buffer = static_cast<char*>(std::malloc(b.size));
    if (b.buffer == nullptr) return 0;
    std::memset(b.buffer, 0xA5, b.size);
    char* p = json_buffer_init(b.buffer, b.size, root);
    FUZZ_CHECK(p == b.buffer + std::strlen(root) - 1);

    const JsonGrowHook growing{&Builder::grow, &b};
    const JsonGrowHook no_fn{nullptr, nullptr};
    const uint8_t hook_choice = in.byte() % 3;
    const JsonGrowHook* hook = hook_choice == 0 ? &growing : hook_choice == 1 ? &no_fn : nullptr;
    std::vector<Container> open{Container{0, root[0] == '{'}};

    for (int step = 0; step < kMaxSteps && in.size > 0; ++step) {
        const std::string before(b.buffer, b.size);
        const size_t offset = static_cast<size_t>(p - b.buffer);
        char* next = run_step(in, b, open, p, hook, step);
        if (next == nullptr) {
            // A failed insertion changes nothing; only a successful growth may remain.
            FUZZ_CHECK(std::strcmp(b.buffer, before.c_str()) == 0);
            if (b.size == before.size())
                FUZZ_CHECK(before.compare(0, b.size, b.buffer, b.size) == 0);
            next = b.buffer + offset;
        }
        p = next;
        check_layout(b);
        FUZZ_CHECK(p >= b.buffer && p < b.buffer + std::strlen(b.buffer));
    }
    std::free(b.buffer);
    return 0;
}
