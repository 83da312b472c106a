#include "app/listing_format.h"

#include "app/json_string/json_string.h"

// Each listing is composed whole, then appended: std::string's append either happens
// completely or, on std::bad_alloc, not at all.

void formatTextListing(const LocationList& list, std::string& out) {
    std::string text;
    for (const auto& entry : list) {
        text += entry.first;
        text += '=';
        text += entry.second;
        text += '\n';
    }
    out += text;
}

void formatJsonListing(const LocationList& list, std::string& out) {
    std::string text = "{\n";
    const char* separator = "";
    for (const auto& entry : list) {
        // The first entry that JSON cannot carry fails the listing, by its key.
        const auto append = [&text, &entry](const std::string& string) {
            if (!appendJsonString(string, text)) throw notUtf8Error("the path of " + entry.first);
        };
        text += separator;
        append(entry.first);
        text += ':';
        append(entry.second);
        separator = ",\n";
    }
    text += "\n}\n";
    out += text;
}

void formatQueryAnswer(const std::string& path, std::string& out) {
    out += path + '\n';
}
