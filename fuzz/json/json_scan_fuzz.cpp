// Scans arbitrary bytes (up to the first NUL) as a JSON value and checks that every
// result stays inside the text, that the record agrees with the returned position, and
// that scanning without a record gives the same result.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_check.h"
#include "json/json_scan.h"

namespace {

void check_success(const char* text, const char* end, const JsonValueInfo& info) {
    const char* text_end = text + std::strlen(text);
    FUZZ_CHECK(end > text && end <= text_end);
    switch (info.kind) {
        case JSON_KIND_STRING:
            FUZZ_CHECK(info.start > text && info.start + info.length + 1 == end);
            FUZZ_CHECK(end[-1] == '"');
            break;
        case JSON_KIND_NUMBER:
            FUZZ_CHECK(info.start + info.length == end);
            break;
        case JSON_KIND_OBJECT:
        case JSON_KIND_ARRAY:
            FUZZ_CHECK(info.start >= text && info.start + info.length == end);
            FUZZ_CHECK(end[-1] == (info.kind == JSON_KIND_OBJECT ? '}' : ']'));
            break;
        case JSON_KIND_BOOL:
            FUZZ_CHECK(info.truth <= 1);
            break;
        case JSON_KIND_NULL:
            break;
        default:
            FUZZ_CHECK(false && "a successful scan has a valid kind");
    }
}

void check_failure(const char* text, const JsonValueInfo& info) {
    FUZZ_CHECK(info.kind == JSON_KIND_INVALID);
    FUZZ_CHECK(info.error >= JSON_ERR_BAD_STRING && info.error <= JSON_ERR_TOO_DEEP);
    FUZZ_CHECK(info.start >= text && info.start <= text + std::strlen(text));
    if (info.error == JSON_ERR_TOO_DEEP) FUZZ_CHECK(*info.start == '{' || *info.start == '[');
}

// Each single scanner gives the same end with and without a record.
void check_single_scanners(const char* text) {
    using Scanner = const char* (*)(const char*, JsonValueInfo*);
    const Scanner scanners[] = {json_scan_value,  json_scan_string, json_scan_number,
                                json_scan_object, json_scan_array,  json_scan_bool,
                                json_scan_null,   json_scan_name};
    for (Scanner scan : scanners) {
        JsonValueInfo info;
        FUZZ_CHECK(scan(text, &info) == scan(text, nullptr));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that any read beyond the terminator is caught.
    char* text = static_cast<char*>(std::malloc(size + 1));
    if (text == nullptr) return 0;
    std::memcpy(text, data, size);
    text[size] = '\0';

    JsonValueInfo info;
    const char* end = json_parse_value(text, &info);
    if (end != nullptr) {
        check_success(text, end, info);
    } else {
        check_failure(text, info);
    }
    FUZZ_CHECK(json_parse_value(text, nullptr) == end);

    const char* closer = json_find_close(text);
    if (text[0] == '{' || text[0] == '[') {
        FUZZ_CHECK(closer == (end == nullptr ? nullptr : end - 1));
    } else {
        FUZZ_CHECK(closer == nullptr);
    }
    check_single_scanners(text);
    std::free(text);
    return 0;
}
