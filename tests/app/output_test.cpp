// Writing a whole result through descriptors that take it piecemeal, or not at all.
#include "app/output.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <system_error>
#include <thread>

namespace {

std::string patternOfSize(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i * 7 % 26);
    return text;
}

// A non-blocking pipe accepts at most its capacity per write and then says EAGAIN, so a
// text several times that size needs partial writes and waiting.
TEST(WriteAll, DeliversEveryByteThroughANonBlockingPipe) {
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    ASSERT_EQ(fcntl(ends[1], F_SETFL, O_NONBLOCK), 0);
    const std::string text = patternOfSize(1 << 20);

    std::string received;
    std::thread reader([&] {
        char chunk[8192];
        ssize_t got;
        while ((got = read(ends[0], chunk, sizeof chunk)) > 0) {
            received.append(chunk, static_cast<std::size_t>(got));
        }
    });
    writeAll(ends[1], text);
    close(ends[1]);
    reader.join();
    close(ends[0]);

    EXPECT_EQ(received.size(), text.size());
    EXPECT_TRUE(received == text) << "bytes differ";
}

TEST(WriteAll, EmptyTextWritesNothingEvenToABadDescriptor) {
    EXPECT_NO_THROW(writeAll(-1, ""));
}

TEST(WriteAll, FailureCarriesTheErrorAndItsMessage) {
    int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    try {
        writeAll(full, "x");
        ADD_FAILURE() << "writing to /dev/full succeeded";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code().value(), ENOSPC);
        EXPECT_STREQ(error.what(), "vosyncloc: write error: No space left on device");
    }
    close(full);
}

// The descriptor is closed, /dev/null takes its place read-only, and writing to it
// fails as a closed descriptor does.
TEST(OccupyIfClosed, KeepsAClosedDescriptorFailing) {
    int spare = open("/dev/null", O_RDONLY);
    ASSERT_GE(spare, 0);
    close(spare);
    EXPECT_TRUE(occupyIfClosed(spare));
    EXPECT_NE(fcntl(spare, F_GETFD), -1) << "descriptor not occupied";
    EXPECT_THROW(writeAll(spare, "x"), std::system_error);
    close(spare);
}

TEST(OccupyIfClosed, LeavesAnOpenDescriptorAlone) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    EXPECT_TRUE(occupyIfClosed(ends[1]));
    writeAll(ends[1], "ok");
    char got[2];
    ASSERT_EQ(read(ends[0], got, 2), 2);
    EXPECT_EQ(std::string(got, 2), "ok");
    close(ends[0]);
    close(ends[1]);
}

// A descriptor number at or above the open-file limit cannot be occupied: the caller
// must learn that it stays closed.
TEST(OccupyIfClosed, ReportsADescriptorThatStaysClosed) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int beyond = 200;
    ASSERT_GT(saved.rlim_cur, rlim_t{beyond});
    ASSERT_EQ(fcntl(beyond, F_GETFD), -1) << "descriptor " << beyond << " is in use";
    rlimit low = saved;
    low.rlim_cur = beyond;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    const bool occupied = occupyIfClosed(beyond);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_FALSE(occupied);
    EXPECT_EQ(fcntl(beyond, F_GETFD), -1);
}

}  // namespace
