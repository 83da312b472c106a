// Escaping of names and string values into JSON string content.
//
// Each source byte (read unsigned) becomes: \b \t \n \f \r for 0x08 0x09 0x0A 0x0C
// 0x0D; \" and \\ for the quotation mark and the backslash; \u00XX (lowercase hex) for
// any other byte 0x01..0x1F and for 0x7F; itself otherwise (the slash and every byte
// 0x80..0xFF included, without any UTF-8 check). The NUL byte ends the source text.
#pragma once

#include <cstddef>

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
