// consumer.c again, on the C++ interface: the same arguments, output and exit statuses.
#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vosyncloc/vosyncloc.hpp>

int main(int argc, char** argv) {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) open("/dev/null", O_RDONLY);
    }
    std::string out;
    try {
        if (argc > 1) {
            out = vosyncloc::location(argv[1]) + "\n";
        } else {
            const vosyncloc::List list;
            for (std::size_t i = 0; i < list.size(); ++i) {
                out += list.key(i) + "=" + list.path(i) + "\n";
            }
        }
    } catch (const vosyncloc::Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 10 - error.code();
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "consumer: write error: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
