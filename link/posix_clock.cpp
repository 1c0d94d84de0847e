#include "link/posix_clock.h"

#include <cerrno>
#include <ctime>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace tav {

PosixClock::PosixClock() {
#if defined(__linux__)
  prctl(PR_SET_TIMERSLACK, 1UL);
#endif
}

Micros PosixClock::Now() {
  return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

void PosixClock::Sleep(Micros duration) {
  if (duration <= Micros::zero()) return;
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
  timespec left{};
  left.tv_sec = static_cast<time_t>(seconds.count());
  left.tv_nsec = static_cast<long>((duration - seconds).count() * 1000);
  // A signal (Ctrl-C sets the stop request) must not cut the wait short.
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace tav
