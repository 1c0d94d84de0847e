// A program started with standard descriptors closed gets /dev/null on each of them, so that
// no file it opens later (the serial port, the trace) takes their place.

#include "cli/standard_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace tav {
namespace {

bool IsDevNull(int fd) {
  struct stat opened {
  }, devNull{};
  return ::fstat(fd, &opened) == 0 && ::stat("/dev/null", &devNull) == 0 &&
         opened.st_rdev == devNull.st_rdev && S_ISCHR(opened.st_mode);
}

// In a child process: closes the descriptors in `closed` (bit n for descriptor n), opens the
// missing ones, and reports a bit for each descriptor that is not as expected afterwards.
int DescriptorsAfterStart(int closed) {
  const pid_t child = ::fork();
  if (child == 0) {
    // The kept descriptors must stay what they were: a pipe or terminal of the test's.
    struct stat before[3]{};
    for (int fd = 0; fd < 3; ++fd) {
      if (closed & (1 << fd)) {
        ::close(fd);
      } else {
        ::fstat(fd, &before[fd]);
      }
    }
    OpenClosedStandardStreams();
    int wrong = 0;
    for (int fd = 0; fd < 3; ++fd) {
      struct stat now {};
      const bool kept = ::fstat(fd, &now) == 0 && now.st_ino == before[fd].st_ino &&
                        now.st_dev == before[fd].st_dev;
      if ((closed & (1 << fd)) ? !IsDevNull(fd) : !kept) wrong |= 1 << fd;
    }
    // The next file opened is not a standard descriptor.
    if (::open("/dev/null", O_RDONLY) <= 2) wrong |= 8;
    ::_exit(wrong);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(StandardStreamsTest, EveryClosedOneIsDevNullAndTheOthersAreKept) {
  for (int closed = 0; closed < 8; ++closed) {
    EXPECT_EQ(DescriptorsAfterStart(closed), 0) << "closed descriptors mask " << closed;
  }
}

}  // namespace
}  // namespace tav
