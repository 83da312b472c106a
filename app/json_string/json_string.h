// The one way the tool writes a JSON string, for every JSON output it has (the listing,
// the explanation), and the one error of a JSON output that meets text it cannot carry.
#pragma once

#include <stdexcept>
#include <string>

// Appends `text` to `out` as a JSON string: a quotation mark, the content as
// json_escape_utf8 writes it (json/json_escape.h: JSON and YAML readers read it back
// alike), a quotation mark. Returns false, with `out` exactly as it was, when `text` is
// not well-formed UTF-8, which a JSON string cannot hold. On std::bad_alloc, too, `out`
// is as it was.
bool appendJsonString(const std::string& text, std::string& out);

// The failure of a JSON output whose `subject` ("the path of runtimeDir") is not UTF-8:
// "SUBJECT is not valid UTF-8, which a JSON string cannot hold; the text listing, --shell
// and --explain carry any byte", naming for whoever meets it the forms that carry it.
std::runtime_error notUtf8Error(const std::string& subject);
