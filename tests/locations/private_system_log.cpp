#include "private_system_log.h"

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "private_mounts.h"

namespace {

const char kLogPath[] = "/dev/log";

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

std::string isolateDev() {
    const std::string unavailable = enterPrivateMounts();
    if (!unavailable.empty()) return unavailable;
    // Nothing but /dev/log is needed under /dev while these tests run.
    if (mount("vosyncloc-test-dev", "/dev", "tmpfs", MS_NOSUID | MS_NOEXEC, "mode=0755") != 0) {
        return systemError("mounting a tmpfs on /dev");
    }
    return "";
}

sockaddr_un logAddress() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, kLogPath, sizeof kLogPath);
    return address;
}

// "<PRI>Mmm dd hh:mm:ss program: text": the priority and the text.
LoggedMessage parseDatagram(const std::string& datagram) {
    LoggedMessage message{-1, datagram};
    if (datagram.empty() || datagram[0] != '<') return message;
    message.priority = std::atoi(datagram.c_str() + 1);
    std::size_t textStart = datagram.find(": ");
    if (textStart != std::string::npos) message.text = datagram.substr(textStart + 2);
    return message;
}

}  // namespace

std::string enterPrivateDev() {
    static const std::string reason = isolateDev();
    return reason;
}

PrivateSystemLog::PrivateSystemLog() : socket_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    closelog();
    const sockaddr_un address = logAddress();
    unlink(kLogPath);
    if (socket_ < 0 ||
        bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ADD_FAILURE() << systemError("binding /dev/log");
        return;
    }
    // A reader drains the socket while the code under test logs: a full datagram queue
    // (a few messages by default) would block the logging call for good.
    reader_ = std::thread([this] {
        char buffer[2048];
        ssize_t got;
        while ((got = recv(socket_, buffer, sizeof buffer, 0)) > 0) {
            datagrams_.emplace_back(buffer, static_cast<std::size_t>(got));
        }
    });
}

PrivateSystemLog::~PrivateSystemLog() {
    collect();
    if (socket_ >= 0) close(socket_);
    unlink(kLogPath);
}

std::vector<LoggedMessage> PrivateSystemLog::collect() {
    if (reader_.joinable()) {
        // An empty datagram ends the reader; it queues behind everything logged so far.
        const int sender = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const sockaddr_un address = logAddress();
        if (sender < 0 || sendto(sender, "", 0, 0, reinterpret_cast<const sockaddr*>(&address),
                                 sizeof address) != 0) {
            ADD_FAILURE() << systemError("ending the log reader");
            shutdown(socket_, SHUT_RDWR);
        }
        if (sender >= 0) close(sender);
        reader_.join();
    }
    std::vector<LoggedMessage> messages;
    for (const std::string& datagram : datagrams_) messages.push_back(parseDatagram(datagram));
    return messages;
}
