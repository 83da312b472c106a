#include "app/shell_format.h"

#include <stdexcept>

namespace {

// bash and dash drop a NUL byte from a command substitution, so `eval` would set a path
// other than the one found; zsh would keep it. Refusing the path gives every shell the
// same answer: none, and a failed run.
void requireNoNul(const std::string& key, const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        throw std::runtime_error("the path of " + key +
                                 " holds a NUL byte, which a shell variable cannot hold");
    }
}

// Inside single quotes every byte but ' stands for itself, in every POSIX shell; a '
// closes the quotes, comes as "'" and the quotes reopen. No backslash: in Shift_JIS and
// other locales a shell may read its byte as a yen sign, which escapes nothing, while '
// and " are never the second byte of a character in any multibyte encoding.
void appendAssignment(const std::string& key, const std::string& path, std::string& out) {
    out += key;
    out += "='";
    for (char byte : path) {
        if (byte == '\'') {
            out += "'\"'\"'";
        } else {
            out += byte;
        }
    }
    out += "'\n";
}

}  // namespace

// Each form is composed whole, then appended: std::string's append either happens
// completely or, on std::bad_alloc, not at all.

void formatShellListing(const LocationList& list, std::string& out) {
    std::string text;
    for (const auto& entry : list) {
        requireNoNul(entry.first, entry.second);
        appendAssignment(entry.first, entry.second, text);
    }
    out += text;
}

void formatShellAssignment(const std::string& key, const std::string& path, std::string& out) {
    requireNoNul(key, path);
    std::string text;
    appendAssignment(key, path, text);
    out += text;
}
