// A system log of the test's own, so that tests whose code under test writes warnings
// never reach the machine's logger.
#pragma once

#include <string>
#include <thread>
#include <vector>

// One message as the logger received it.
struct LoggedMessage {
    int priority;      // facility and level, as in "<12>"
    std::string text;  // the message after the header and the program's name
};

// Moves the whole test process, once, into a private mount namespace (enterPrivateMounts:
// within a user namespace of its own when not root) whose /dev is an empty tmpfs, so that
// /dev/log names only what this process binds there. Call it before the process starts a
// thread. Returns "" on success (also on later calls), else why that cannot be had (no
// mount or user namespaces); the process must not write to the system log then. A
// failure after the namespace was entered leaves the process in it, with /dev as the
// machine's.
std::string enterPrivateDev();

// A datagram socket bound at /dev/log, as the system logger offers it; requires a
// successful enterPrivateDev(). Construction drops any connection the process holds to
// an earlier logger, so the next syslog() call connects here.
class PrivateSystemLog {
public:
    PrivateSystemLog();
    ~PrivateSystemLog();
    PrivateSystemLog(const PrivateSystemLog&) = delete;
    PrivateSystemLog& operator=(const PrivateSystemLog&) = delete;

    // Every message logged since construction, in order; stops listening. Returns an
    // empty list when the socket could not be set up (the test has failed then).
    std::vector<LoggedMessage> collect();

private:
    int socket_;
    std::thread reader_;
    std::vector<std::string> datagrams_;
};
