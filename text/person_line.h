// The escaper for a line that a person reads: on a terminal, in a log viewer, in an
// editor. Every text the tool shows a person (an error, a decision of the explanation)
// goes through it, so that no output can let through a byte class that another one
// escapes.
//
// What it writes is valid UTF-8, stays on one line for a reader that splits lines as
// Unicode does, holds nothing a terminal acts on, nothing that reorders what the line
// shows and nothing that shows nothing:
//   - \n, \t and \r as C escapes, every other C0 control (NUL included) and DEL as \xHH;
//   - every byte that is not part of well-formed UTF-8 (text/utf8.h) as \xHH;
//   - as \uHHHH (\U00HHHHHH above U+FFFF), the characters a reader may take for a line
//     break, a terminal for a command, or that show nothing or change what the line
//     shows: the C1 controls U+0080 to U+009F (NEL and CSI among them), U+2028 LINE
//     SEPARATOR and U+2029 PARAGRAPH SEPARATOR, every format character (general
//     category Cf: the bidirectional formatting characters, U+00AD SOFT HYPHEN, U+200B
//     ZERO WIDTH SPACE, U+FEFF as a byte-order mark, the tag characters, ...) and every other
//     Default_Ignorable_Code_Point (variation selectors, Hangul fillers, ...), from one
//     table generated from the Unicode Character Database (text/person_line_table.inc);
//   - each byte listed in `backslashed` (ASCII, such as a backslash or a quotation mark)
//     with a backslash before it, for a caller whose escapes must read back unambiguously;
//   - everything else, printable text of any script, as it is.
// Hexadecimal digits are lowercase. A reader that splits lines at the byte 0x85, as
// Latin-1 does, may still split a line: printable characters hold that byte too
// (Cyrillic U+0445 is D1 85).
#pragma once

#include <cstddef>
#include <cstdint>

// Whether the character `codePoint` is written as \uHHHH or \U00HHHHHH (the third class
// above).
bool person_line_escapes(uint32_t codePoint) noexcept;

// Escapes `length` bytes of `text` (NUL bytes included) and returns the length of the
// result. Writes it at `out` when `out` is not null, the caller then providing that many
// bytes; no terminator is written. A null `backslashed` names no byte; a null text
// counts as empty.
size_t person_line_escape(const char* text, size_t length, const char* backslashed,
                          char* out) noexcept;
