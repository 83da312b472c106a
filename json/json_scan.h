// JSON text scanner: validates one value in place and finds where it ends, without
// building a tree, copying or allocating. It reads nothing beyond the text's NUL.
//
// White space is exactly tab, line feed, carriage return and space. Nesting deeper
// than JSON_MAX_DEPTH containers is an error (JSON_ERR_TOO_DEEP at the opener that
// goes too deep), so no input can exhaust the stack.
#pragma once

#include <cstddef>
#include <cstdint>

enum JsonKind : int32_t {
    JSON_KIND_INVALID = 0,  // scanning failed; the record holds an error
    JSON_KIND_NULL = 1,
    JSON_KIND_BOOL = 2,
    JSON_KIND_NUMBER = 3,
    JSON_KIND_STRING = 4,
    JSON_KIND_ARRAY = 5,
    JSON_KIND_OBJECT = 6,
};

enum JsonError : int32_t {
    JSON_ERR_NO_TEXT = 1,         // null text or position given to a scanner; start is null
    JSON_ERR_BAD_STRING = 2,      // no opening quote, unterminated, or raw byte 0x01..0x1F
    JSON_ERR_BAD_OBJECT = 3,      // no "{", or the text ends inside an object
    JSON_ERR_BAD_ARRAY = 4,       // no "[", or the text ends inside an array
    JSON_ERR_NO_COLON = 5,        // a member name not followed by ":"
    JSON_ERR_NO_SEPARATOR = 6,    // a value followed by neither ",", the closer nor the end
    JSON_ERR_BAD_ESCAPE = 7,      // an unknown escape, or \u without four hex digits
    JSON_ERR_TRAILING_COMMA = 8,  // a "," followed by the container's closer
    JSON_ERR_TOO_DEEP = 9,        // an opener nested deeper than JSON_MAX_DEPTH
};

// The deepest nesting of objects and arrays the scanner accepts.
constexpr int JSON_MAX_DEPTH = 512;

// The result record of a scan. Which fields mean what depends on `kind`:
//   string: start = first content byte after the quote, length = raw content bytes;
//   number: start = first byte, length = bytes of its text, is_real = has . or e/E;
//   object/array: start = the opener, length = bytes up to and including the closer;
//   bool:   truth = 1 for true, 0 for false;
//   invalid: start = position of the error (null for JSON_ERR_NO_TEXT), error = code.
// Fields not named for a kind are left as they were; callers must not read them.
struct JsonValueInfo {
    JsonKind kind;
    union {
        const char* start;
        unsigned char truth;
    };
    union {
        size_t length;
        JsonError error;
    };
    bool is_real;
};

// A raw (still escaped) member name: the bytes between its quotation marks.
struct JsonRawText {
    const char* start;
    size_t length;
};

// Skips leading white space and scans the first value of `text`. Returns the position
// after it (trailing bytes are not examined), or null with the record set invalid; a
// null text gives JSON_ERR_NO_TEXT.
const char* json_parse_value(const char* text, JsonValueInfo* info) noexcept;

// The position of the closer of the object or array that begins `text` at its very
// first byte (no white space skipped), or null when the text is null, the first byte
// is neither "{" nor "[", or that container is invalid. Bytes after it are not read.
const char* json_find_close(const char* text) noexcept;
inline char* json_find_close(char* text) noexcept {
    return const_cast<char*>(json_find_close(static_cast<const char*>(text)));
}

// Scanners of one value starting exactly at `p` (no white space skipped). Each returns
// the position after its value or null; `info` may be null (validate and measure only).
// A null p fails with JSON_ERR_NO_TEXT. Nesting is counted from p, so the containers
// around p (if any) do not count toward JSON_MAX_DEPTH. The number, boolean and null
// scanners report no error: on failure their record keeps the kind they tried.
// json_scan_value tries string, number, object, array, boolean and null in that order
// and reports the error that reached furthest (the earlier scanner on a tie).
const char* json_scan_value(const char* p, JsonValueInfo* info) noexcept;
const char* json_scan_string(const char* p, JsonValueInfo* info) noexcept;
const char* json_scan_number(const char* p, JsonValueInfo* info) noexcept;
const char* json_scan_object(const char* p, JsonValueInfo* info) noexcept;
const char* json_scan_array(const char* p, JsonValueInfo* info) noexcept;
const char* json_scan_bool(const char* p, JsonValueInfo* info) noexcept;
const char* json_scan_null(const char* p, JsonValueInfo* info) noexcept;

// Scans a member name, white space, ":" and white space; returns the position of the
// member's value. On success the record describes the name string; on failure the
// result is null and the record holds the string's error, or JSON_ERR_NO_COLON at the
// byte found where the colon should be.
const char* json_scan_name(const char* p, JsonValueInfo* info) noexcept;

// Scans one member of an object (name and value, `name` receiving the raw name when
// given) and returns the position of the next member's name or of the closing brace;
// null with the error in `error` on failure, or without an error when p is at "}".
const char* json_scan_member(const char* p, JsonRawText* name, JsonValueInfo* error) noexcept;

// Scans a member value and its separator; returns the next member's name position or
// the object's closing brace; null with the error in `error` on failure. On success
// `error` describes the value just scanned.
const char* json_scan_member_value(const char* p, JsonValueInfo* error) noexcept;

// Scans an array element and its separator; returns the next element's position or
// the array's closing bracket; null with the error in `error` on failure, and null
// without an error when p is at "]".
const char* json_scan_element(const char* p, JsonValueInfo* error) noexcept;
