#include "app/json_string/json_string.h"

#include "json/json_escape.h"

// The text is escaped in one pass, into room for its longest form and the closing
// quotation mark, which is then cut to what was written: no second pass to measure it.
bool appendJsonString(const std::string& text, std::string& out) {
    const std::size_t at = out.size() + 1;
    out.resize(at + JSON_ESCAPE_MAX_PER_BYTE * text.size() + 1, '"');
    const std::size_t length = json_escape_utf8(text.data(), text.size(), &out[at]);
    if (length == JSON_NOT_UTF8) {
        out.resize(at - 1);
        return false;
    }
    out.resize(at + length + 1);  // within the room made above: nothing to allocate
    out.back() = '"';
    return true;
}

std::runtime_error notUtf8Error(const std::string& subject) {
    return std::runtime_error(subject +
                              " is not valid UTF-8, which a JSON string cannot hold; the text "
                              "listing, --shell and --explain carry any byte");
}
