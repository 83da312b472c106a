// Looks arbitrary names up in arbitrary texts and decodes what it finds. The first
// byte gives the name's length; the name follows, then the text. Outputs are allocated
// at exactly the documented size, so a write beyond it is caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_check.h"
#include "json/json_lookup.h"

namespace {

// A NUL-terminated heap copy of `size` bytes (cut at an embedded NUL when read).
char* terminated_copy(const uint8_t* data, size_t size) {
    char* copy = static_cast<char*>(std::malloc(size + 1));
    if (copy == nullptr) std::abort();
    std::memcpy(copy, data, size);
    copy[size] = '\0';
    return copy;
}

// Decodes raw content into exactly length + 1 bytes. A complete decoding never grows,
// holds no NUL, and must compare equal to its own raw form.
void check_unescape(const char* raw, size_t length) {
    char* out = static_cast<char*>(std::malloc(length + 1));
    if (out == nullptr) std::abort();
    const char* end = json_unescape(raw, length, out);
    const size_t decoded = std::strlen(out);
    FUZZ_CHECK(decoded <= length);
    if (end != nullptr) {
        FUZZ_CHECK(end == out + decoded);
        FUZZ_CHECK(json_name_equals(out, raw, length));
    }
    std::free(out);
}

void check_member(const char* text, const char* name) {
    const char* text_end = text + std::strlen(text);
    const char* value = json_find_member(text, name);
    if (value != nullptr) FUZZ_CHECK(value > text && value <= text_end);

    static const char kFallback[] = "";
    size_t length = 1;
    const char* end = nullptr;
    const char* raw = json_get_string(value, kFallback, &length, &end);
    if (end != nullptr) {
        FUZZ_CHECK(raw > text && raw + length + 1 == end && end <= text_end);
        check_unescape(raw, length);
    } else {
        FUZZ_CHECK(raw == kFallback && length == 0);
    }

    const char* number_end = text;
    const int32_t number = json_get_int(value, -99, &number_end);
    if (number_end == nullptr) FUZZ_CHECK(number == -99);
    if (number_end != nullptr) FUZZ_CHECK(number_end > text && number_end <= text_end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t name_length = data[0] % 16 < size - 1 ? data[0] % 16 : size - 1;
    char* name = terminated_copy(data + 1, name_length);
    const size_t text_length = size - 1 - name_length;
    char* text = terminated_copy(data + 1 + name_length, text_length);

    check_member(text, name);
    check_member(text, "");

    // The whole input as raw content: the decoder must stay within the given length,
    // so it gets a copy without a terminator.
    char* raw = static_cast<char*>(std::malloc(size));
    if (raw == nullptr) std::abort();
    std::memcpy(raw, data, size);
    check_unescape(raw, size);
    json_name_equals(name, raw, size);

    std::free(raw);
    std::free(text);
    std::free(name);
    return 0;
}
