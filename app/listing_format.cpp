#include "app/listing_format.h"

#include <stdexcept>

#include "json/json_escape.h"

namespace {

// Appends `text` as a JSON string with its quotation marks; false, `out` as it was, when
// the text is not UTF-8. The text is escaped in one pass, into room for the longest form.
bool appendJsonString(const std::string& text, std::string& out) {
    const std::size_t at = out.size() + 1;
    out.resize(at + JSON_ESCAPE_MAX_PER_BYTE * text.size(), '"');
    const std::size_t length = json_escape_utf8(text.data(), text.size(), &out[at]);
    if (length == JSON_NOT_UTF8) {
        out.resize(at - 1);
        return false;
    }
    out.resize(at + length);
    out += '"';
    return true;
}

}  // namespace

void formatTextListing(const LocationList& list, std::string& out) {
    for (const auto& entry : list) {
        out += entry.first;
        out += '=';
        out += entry.second;
        out += '\n';
    }
}

void formatJsonListing(const LocationList& list, std::string& out) {
    const std::size_t before = out.size();
    out += "{\n";
    const char* separator = "";
    for (const auto& entry : list) {
        out += separator;
        bool carried = appendJsonString(entry.first, out);
        out += ':';
        if (!carried || !appendJsonString(entry.second, out)) {
            out.resize(before);  // no part of a listing that cannot be whole
            // The forms that carry any byte are named, for whoever meets this.
            throw std::runtime_error("the path of " + entry.first +
                                     " is not valid UTF-8, which a JSON string cannot hold; the "
                                     "text listing, --shell and --explain carry any byte");
        }
        separator = ",\n";
    }
    out += "\n}\n";
}

void formatQueryAnswer(const std::string& path, std::string& out) {
    out += path;
    out += '\n';
}
