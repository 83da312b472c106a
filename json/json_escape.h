// Escaping into JSON string content, in two forms.
//
// The builder's form, for status payloads (json_escaped_length, json_write_escaped): a
// NUL-terminated text, byte by byte. Each source byte (read unsigned) becomes: \b \t \n \f \r for
// 0x08 0x09 0x0A 0x0C 0x0D; \" and \\ for the quotation mark and the backslash; \u00XX (lowercase
// hex) for any other byte 0x01..0x1F and for 0x7F; itself otherwise (the slash and every byte
// 0x80..0xFF included, without any UTF-8 check). The NUL byte ends the source text.
#pragma once

#include <cstddef>
#include <cstdint>

// True for the control bytes 0x00..0x1F.
bool json_is_control(unsigned char byte) noexcept;

// The number of bytes json_write_escaped writes for `text` (not null).
size_t json_escaped_length(const char* text) noexcept;

// Writes the escaped form of `text` at `out` and returns the position after it. No
// terminator is written; the caller provides json_escaped_length(text) bytes.
char* json_write_escaped(char* out, const char* text) noexcept;

// Writes the name prefix `"name":` (escaped) at `out` and returns the position after
// it; a null name writes nothing and returns `out`.
char* json_write_name(char* out, const char* name) noexcept;

// The form for text that JSON and YAML readers must both read back exactly, such as the
// tool's listings: json_escape_utf8. The text has a length and may hold NUL bytes; it
// must be well-formed UTF-8 (text/utf8.h), since a JSON string cannot hold other bytes.
// ASCII is escaped as above (and NUL as \u0000). Of the other characters, those that a
// YAML reader would take otherwise than a JSON reader are written as \uHHHH (lowercase):
// the C1 controls U+0080 to U+009F (a YAML reader turns NEL into a space and refuses the
// others), U+2028, U+2029, U+FFFE and U+FFFF. Every other character keeps its bytes.

// What json_escape_utf8 returns for a text that is not well-formed UTF-8.
constexpr size_t JSON_NOT_UTF8 = SIZE_MAX;

// The most bytes json_escape_utf8 writes for one byte of text (\u00XX for a control
// byte), so that a caller may provide room in one step instead of measuring first.
constexpr size_t JSON_ESCAPE_MAX_PER_BYTE = 6;

// Whether json_escape_utf8 writes the character `codePoint` (from U+0080 on) as \uHHHH.
bool json_escapes_character(uint32_t codePoint) noexcept;

// Escapes `length` bytes of `text` and returns the length of the result, writing it at
// `out` when `out` is not null (the caller then provides that many bytes; no terminator
// is written). Returns JSON_NOT_UTF8 when the text is not well-formed UTF-8: a call
// without `out` to measure it first tells, and one with `out` may have written the
// escapes of the bytes before the fault. A null text counts as empty.
size_t json_escape_utf8(const char* text, size_t length, char* out) noexcept;
