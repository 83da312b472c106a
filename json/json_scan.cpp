#include "json/json_scan.h"

#include "json/json_chars.h"

namespace {

using json_internal::hex_digit_value;
using json_internal::is_decimal_digit;
using json_internal::skip_white_space;

// Marks the record (when given) invalid with `code` at `position`; returns the null
// result for the caller to pass on. The other fields stay as they were.
const char* fail(JsonValueInfo* info, const char* position, JsonError code) noexcept {
    if (info != nullptr) {
        info->kind = JSON_KIND_INVALID;
        info->start = position;
        info->error = code;
    }
    return nullptr;
}

// Every scanner below carries `depth`: the number of containers already open around its
// position, so that nesting is bounded where the value dispatch meets an opener.
const char* scan_value(const char* p, JsonValueInfo* info, int depth) noexcept;

// The escape after a backslash at `p`; returns the byte after it.
const char* scan_escape(const char* p, JsonValueInfo* info) noexcept {
    switch (*p) {
        case '"':
        case '/':
        case '\\':
        case 'b':
        case 'f':
        case 'n':
        case 'r':
        case 't':
            return p + 1;
        case 'u':
            for (int i = 1; i <= 4; ++i) {
                if (hex_digit_value(p[i]) < 0) return fail(info, p + i, JSON_ERR_BAD_ESCAPE);
            }
            return p + 5;
        default:
            return fail(info, p, JSON_ERR_BAD_ESCAPE);
    }
}

const char* scan_string(const char* p, JsonValueInfo* info, int /*depth*/) noexcept {
    if (info != nullptr) info->kind = JSON_KIND_STRING;
    if (*p != '"') return fail(info, p, JSON_ERR_BAD_STRING);
    const char* q = p + 1;
    while (*q != '"') {
        const auto byte = static_cast<unsigned char>(*q);
        if (byte < 0x20) return fail(info, q, JSON_ERR_BAD_STRING);  // the terminator included
        q = byte == '\\' ? scan_escape(q + 1, info) : q + 1;
        if (q == nullptr) return nullptr;
    }
    if (info != nullptr) {
        info->start = p + 1;
        info->length = static_cast<size_t>(q - (p + 1));
    }
    return q + 1;
}

const char* skip_digits(const char* p) noexcept {
    while (is_decimal_digit(*p)) ++p;
    return p;
}

// Looser than standard JSON on purpose: "-", "01", "1." and "1e+" are numbers.
const char* scan_number(const char* p, JsonValueInfo* info, int /*depth*/) noexcept {
    if (info != nullptr) {
        info->kind = JSON_KIND_NUMBER;
        info->start = p;
        info->is_real = false;
    }
    if (*p != '-' && !is_decimal_digit(*p)) return nullptr;
    const char* q = skip_digits(p + 1);
    bool is_real = false;
    if (*q == '.') {
        q = skip_digits(q + 1);
        is_real = true;
    }
    if (*q == 'e' || *q == 'E') {
        if (q[1] != '+' && q[1] != '-' && !is_decimal_digit(q[1])) return nullptr;
        q = skip_digits(q + 2);
        is_real = true;
    }
    if (info != nullptr) {
        info->length = static_cast<size_t>(q - p);
        info->is_real = is_real;
    }
    return q;
}

// The position after `word` when the text at p starts with it; stops at the first
// difference, so it never reads past the text's terminator.
const char* match_word(const char* p, const char* word) noexcept {
    for (; *word != '\0'; ++p, ++word) {
        if (*p != *word) return nullptr;
    }
    return p;
}

const char* scan_bool(const char* p, JsonValueInfo* info, int /*depth*/) noexcept {
    if (info != nullptr) info->kind = JSON_KIND_BOOL;
    const char* end = match_word(p, "true");
    const unsigned char truth = end != nullptr ? 1 : 0;
    if (end == nullptr) end = match_word(p, "false");
    if (end != nullptr && info != nullptr) info->truth = truth;
    return end;
}

const char* scan_null(const char* p, JsonValueInfo* info, int /*depth*/) noexcept {
    if (info != nullptr) info->kind = JSON_KIND_NULL;
    return match_word(p, "null");
}

// What follows a member value or an element: "," and the next one, or the closer.
const char* scan_separator(const char* p, char closer, JsonError unterminated,
                           JsonValueInfo* error) noexcept {
    p = skip_white_space(p);
    if (*p == ',') {
        p = skip_white_space(p + 1);
        return *p == closer ? fail(error, p, JSON_ERR_TRAILING_COMMA) : p;
    }
    if (*p == '\0') return fail(error, p, unterminated);
    return *p == closer ? p : fail(error, p, JSON_ERR_NO_SEPARATOR);
}

const char* scan_member_value(const char* p, JsonValueInfo* error, int depth) noexcept {
    const char* end = scan_value(p, error, depth);
    return end == nullptr ? nullptr : scan_separator(end, '}', JSON_ERR_BAD_OBJECT, error);
}

const char* scan_member(const char* p, JsonRawText* name, JsonValueInfo* error,
                        int depth) noexcept {
    if (*p == '}') return nullptr;
    JsonValueInfo scanned{};
    const char* value = json_scan_name(p, &scanned);
    if (value == nullptr) return fail(error, scanned.start, scanned.error);
    if (name != nullptr) *name = JsonRawText{scanned.start, scanned.length};
    return scan_member_value(value, error, depth);
}

const char* scan_unnamed_member(const char* p, JsonValueInfo* error, int depth) noexcept {
    return scan_member(p, nullptr, error, depth);
}

const char* scan_element(const char* p, JsonValueInfo* error, int depth) noexcept {
    if (*p == ']') return nullptr;
    const char* end = scan_value(p, error, depth);
    return end == nullptr ? nullptr : scan_separator(end, ']', JSON_ERR_BAD_ARRAY, error);
}

using ItemScanner = const char* (*)(const char* p, JsonValueInfo* error, int depth);

// What tells objects and arrays apart; the loop over their items is shared.
struct ContainerForm {
    char opener;
    char closer;
    JsonKind kind;
    JsonError error;
    ItemScanner scan_item;
};

constexpr ContainerForm kObjectForm{'{', '}', JSON_KIND_OBJECT, JSON_ERR_BAD_OBJECT,
                                    scan_unnamed_member};
constexpr ContainerForm kArrayForm{'[', ']', JSON_KIND_ARRAY, JSON_ERR_BAD_ARRAY, scan_element};

// Items are scanned with a scratch record, so on success the caller's record still
// describes the container; on failure it receives the innermost error.
const char* scan_container(const char* p, JsonValueInfo* info, int depth,
                           const ContainerForm& form) noexcept {
    if (*p != form.opener) return fail(info, p, form.error);
    if (info != nullptr) {
        info->kind = form.kind;
        info->start = p;
    }
    const char* q = skip_white_space(p + 1);
    if (*q == '\0') return fail(info, q, form.error);
    while (*q != form.closer) {
        JsonValueInfo scratch{};
        q = form.scan_item(q, &scratch, depth + 1);
        if (q == nullptr) return fail(info, scratch.start, scratch.error);
    }
    if (info != nullptr) info->length = static_cast<size_t>(q + 1 - p);
    return q + 1;
}

const char* scan_object(const char* p, JsonValueInfo* info, int depth) noexcept {
    return scan_container(p, info, depth, kObjectForm);
}

const char* scan_array(const char* p, JsonValueInfo* info, int depth) noexcept {
    return scan_container(p, info, depth, kArrayForm);
}

using ValueScanner = const char* (*)(const char* p, JsonValueInfo* info, int depth);

constexpr ValueScanner kValueScanners[] = {scan_string, scan_number, scan_object,
                                           scan_array,  scan_bool,   scan_null};

// Tries each scanner in turn and, when all fail, reports the error that reached
// furthest (the earlier scanner on a tie). The depth check comes first: at a too-deep
// opener the string scanner would report its own error at the same byte, and on a tie
// that earlier error would win.
const char* scan_value(const char* p, JsonValueInfo* info, int depth) noexcept {
    if ((*p == '{' || *p == '[') && depth >= JSON_MAX_DEPTH) {
        return fail(info, p, JSON_ERR_TOO_DEEP);
    }
    bool have_best = false;
    const char* best_position = nullptr;
    JsonError best_error = JSON_ERR_BAD_STRING;
    for (ValueScanner scan : kValueScanners) {
        const char* end = scan(p, info, depth);
        if (end != nullptr) return end;
        if (info == nullptr || info->kind != JSON_KIND_INVALID) continue;
        if (!have_best || info->start > best_position) {
            have_best = true;
            best_position = info->start;
            best_error = info->error;
        }
    }
    return fail(info, have_best ? best_position : p, best_error);
}

}  // namespace

const char* json_parse_value(const char* text, JsonValueInfo* info) noexcept {
    if (text == nullptr) return fail(info, nullptr, JSON_ERR_NO_TEXT);
    return scan_value(skip_white_space(text), info, 0);
}

const char* json_find_close(const char* text) noexcept {
    if (text == nullptr) return nullptr;
    const char* end = nullptr;
    if (*text == '{') end = scan_object(text, nullptr, 0);
    if (*text == '[') end = scan_array(text, nullptr, 0);
    return end == nullptr ? nullptr : end - 1;
}

// The public scanners start counting nesting at their own position.
const char* json_scan_value(const char* p, JsonValueInfo* info) noexcept {
    return p == nullptr ? fail(info, nullptr, JSON_ERR_NO_TEXT) : scan_value(p, info, 0);
}

const char* json_scan_string(const char* p, JsonValueInfo* info) noexcept {
    return p == nullptr ? fail(info, nullptr, JSON_ERR_NO_TEXT) : scan_string(p, info, 0);
}

const char* json_scan_number(const char* p, JsonValueInfo* info) noexcept {
    return p == nullptr ? fail(info, nullptr, JSON_ERR_NO_TEXT) : scan_number(p, info, 0);
}

const char* json_scan_object(const char* p, JsonValueInfo* info) noexcept {
    return p == nullptr ? fail(info, nullptr, JSON_ERR_NO_TEXT) : scan_object(p, info, 0);
}

const char* json_scan_array(const char* p, JsonValueInfo* info) noexcept {
    return p == nullptr ? fail(info, nullptr, JSON_ERR_NO_TEXT) : scan_array(p, info, 0);
}

const char* json_scan_bool(const char* p, JsonValueInfo* info) noexcept {
    return p == nullptr ? fail(info, nullptr, JSON_ERR_NO_TEXT) : scan_bool(p, info, 0);
}

const char* json_scan_null(const char* p, JsonValueInfo* info) noexcept {
    return p == nullptr ? fail(info, nullptr, JSON_ERR_NO_TEXT) : scan_null(p, info, 0);
}

const char* json_scan_name(const char* p, JsonValueInfo* info) noexcept {
    if (p == nullptr) return fail(info, nullptr, JSON_ERR_NO_TEXT);
    const char* q = scan_string(p, info, 0);
    if (q == nullptr) return nullptr;
    q = skip_white_space(q);
    if (*q != ':') return fail(info, q, JSON_ERR_NO_COLON);
    return skip_white_space(q + 1);
}

const char* json_scan_member(const char* p, JsonRawText* name, JsonValueInfo* error) noexcept {
    return p == nullptr ? fail(error, nullptr, JSON_ERR_NO_TEXT) : scan_member(p, name, error, 0);
}

const char* json_scan_member_value(const char* p, JsonValueInfo* error) noexcept {
    return p == nullptr ? fail(error, nullptr, JSON_ERR_NO_TEXT) : scan_member_value(p, error, 0);
}

const char* json_scan_element(const char* p, JsonValueInfo* error) noexcept {
    return p == nullptr ? fail(error, nullptr, JSON_ERR_NO_TEXT) : scan_element(p, error, 0);
}
