#include "app/listing_format.h"

#include <stdexcept>

#include "json/json_escape.h"

namespace {

bool isJsonText(const std::string& text) {
    return json_escape_utf8(text.data(), text.size(), nullptr) != JSON_NOT_UTF8;
}

// Appends `text`, known to be UTF-8, as a JSON string with its quotation marks.
void appendJsonString(const std::string& text, std::string& out) {
    const std::size_t at = out.size() + 1;
    out.resize(at + json_escape_utf8(text.data(), text.size(), nullptr) + 1, '"');
    out[at - 1] = '"';
    json_escape_utf8(text.data(), text.size(), &out[at]);
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
    // Every entry is checked before anything is appended; the forms that carry any byte
    // are named for whoever meets a path JSON cannot.
    for (const auto& entry : list) {
        if (!isJsonText(entry.first) || !isJsonText(entry.second)) {
            throw std::runtime_error("the path of " + entry.first +
                                     " is not valid UTF-8, which a JSON string cannot hold; the "
                                     "text listing, --shell and --explain carry any byte");
        }
    }
    out += "{\n";
    const char* separator = "";
    for (const auto& entry : list) {
        out += separator;
        appendJsonString(entry.first, out);
        out += ':';
        appendJsonString(entry.second, out);
        separator = ",\n";
    }
    out += "\n}\n";
}

void formatQueryAnswer(const std::string& path, std::string& out) {
    out += path;
    out += '\n';
}
