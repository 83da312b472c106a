// An in-memory file that stands in for a standard stream in in-process runs.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <string>

class FdCapture {
public:
    FdCapture() : fd_(memfd_create("capture", MFD_CLOEXEC)) {}
    ~FdCapture() { close(fd_); }
    FdCapture(const FdCapture&) = delete;
    FdCapture& operator=(const FdCapture&) = delete;

    int fd() const { return fd_; }

    // Everything written so far.
    std::string text() const {
        std::string all;
        char chunk[4096];
        ssize_t got;
        off_t at = 0;
        while ((got = pread(fd_, chunk, sizeof chunk, at)) > 0) {
            all.append(chunk, static_cast<std::size_t>(got));
            at += got;
        }
        return all;
    }

private:
    int fd_;
};
