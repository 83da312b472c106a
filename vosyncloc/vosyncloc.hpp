// libvosyncloc for C++ (C++11 or later), header-only over <vosyncloc/vosyncloc.h>:
// results as std::string, the list as an object that closes itself, and failures as
// exceptions. Thread safety, start-up work, the system log and descriptors are as that
// header says.
#ifndef VOSYNCLOC_VOSYNCLOC_HPP
#define VOSYNCLOC_VOSYNCLOC_HPP

#include <cstddef>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "vosyncloc/vosyncloc.h"

namespace vosyncloc {

// A failed call: code() is one of the VOSYNCLOC_ERR_ codes (never VOSYNCLOC_ERR_MEMORY,
// which is thrown as std::bad_alloc), what() the library's message.
class Error : public std::runtime_error {
public:
    Error(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const noexcept { return code_; }

private:
    int code_;
};

namespace detail {

struct Free {
    void operator()(char* text) const noexcept { vosyncloc_free(text); }
};
// A string the library handed over, released with vosyncloc_free.
using OwnedText = std::unique_ptr<char, Free>;

// Returns for VOSYNCLOC_OK; otherwise releases `message` and throws for `code`.
inline void check(int code, char* message) {
    const OwnedText owned(message);
    if (code == VOSYNCLOC_OK) return;
    if (code == VOSYNCLOC_ERR_MEMORY) throw std::bad_alloc();
    throw Error(code, owned ? owned.get() : "");
}

}  // namespace detail

// The fifteen keys in listing order.
inline std::vector<std::string> keys() {
    std::vector<std::string> all;
    for (std::size_t index = 0; vosyncloc_key(index) != nullptr; ++index) {
        all.emplace_back(vosyncloc_key(index));
    }
    return all;
}

// The path of the location named by `key` (see vosyncloc_location), NUL bytes included.
// Throws Error with VOSYNCLOC_ERR_KEY (also for a key holding a NUL byte),
// VOSYNCLOC_ERR_FILE_STATUS or VOSYNCLOC_ERR_INTERNAL, or std::bad_alloc.
inline std::string location(const std::string& key) {
    if (key.find('\0') != std::string::npos) {
        throw Error(VOSYNCLOC_ERR_KEY, "invalid location " + key);
    }
    char* path = nullptr;
    std::size_t length = 0;
    char* message = nullptr;
    const int code = vosyncloc_location(key.c_str(), &path, &length, &message);
    detail::check(code, message);
    const detail::OwnedText owned(path);
    return std::string(path, length);
}

// All fifteen locations, worked out once on construction (see vosyncloc_list_open).
class List {
public:
    // Throws Error with VOSYNCLOC_ERR_FILE_STATUS or VOSYNCLOC_ERR_INTERNAL, or
    // std::bad_alloc.
    List() {
        char* message = nullptr;
        const int code = vosyncloc_list_open(&list_, &message);
        detail::check(code, message);
    }
    ~List() { vosyncloc_list_close(list_); }
    // A moved-from list is empty.
    List(List&& other) noexcept : list_(other.list_) { other.list_ = nullptr; }
    List& operator=(List&& other) noexcept {
        std::swap(list_, other.list_);
        return *this;
    }
    List(const List&) = delete;
    List& operator=(const List&) = delete;

    std::size_t size() const noexcept { return vosyncloc_list_count(list_); }

    // The key and the path of entry `index`; std::out_of_range when index >= size().
    std::string key(std::size_t index) const {
        const char* text = vosyncloc_list_key(list_, index);
        if (text == nullptr) throw std::out_of_range("vosyncloc::List::key");
        return text;
    }
    std::string path(std::size_t index) const {
        std::size_t length = 0;
        const char* text = vosyncloc_list_path(list_, index, &length);
        if (text == nullptr) throw std::out_of_range("vosyncloc::List::path");
        return std::string(text, length);
    }

private:
    vosyncloc_list* list_ = nullptr;
};

}  // namespace vosyncloc

#endif
