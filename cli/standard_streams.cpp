#include "cli/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tav {

void OpenClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open returns the lowest free descriptor, and every lower one is open by now: this is fd.
    // Without /dev/null the program does not start: the port could otherwise get fd.
    if (::open("/dev/null", O_RDWR) < 0) ::_exit(127);
  }
}

}  // namespace tav
