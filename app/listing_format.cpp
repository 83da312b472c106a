#include "app/listing_format.h"

#include <cstring>

#include "json/json_escape.h"

namespace {

// Escapes one NUL-free run of bytes through the JSON library.
void appendEscapedRun(const char* run, std::string& out) {
    std::size_t at = out.size();
    out.resize(at + json_escaped_length(run));
    json_write_escaped(&out[at], run);
}

}  // namespace

void appendJsonEscaped(const std::string& text, std::string& out) {
    // The escaper stops at a NUL, yet a path may hold one (the shared directory is read
    // from a file as it is), so the text is escaped run by run between the NULs.
    const char* run = text.c_str();
    const char* end = run + text.size();
    while (true) {
        appendEscapedRun(run, out);
        run += std::strlen(run);
        if (run == end) return;
        out += "\\u0000";
        ++run;
    }
}

void formatTextListing(const LocationList& list, std::string& out) {
    for (const auto& entry : list) {
        out += entry.first;
        out += '=';
        out += entry.second;
        out += '\n';
    }
}

void formatJsonListing(const LocationList& list, std::string& out) {
    out += "{\n";
    const char* separator = "";
    for (const auto& entry : list) {
        out += separator;
        out += '"';
        appendJsonEscaped(entry.first, out);
        out += "\":\"";
        appendJsonEscaped(entry.second, out);
        out += '"';
        separator = ",\n";
    }
    out += "\n}\n";
}

void formatQueryAnswer(const std::string& path, std::string& out) {
    out += path;
    out += '\n';
}
