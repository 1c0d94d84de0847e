#include "link/posix_low_latency.h"

#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace tav {

#if defined(__linux__)

LowLatencyMode::LowLatencyMode(int fd) : fd_(fd) {
  serial_struct serial{};
  if (ioctl(fd_, TIOCGSERIAL, &serial) != 0) {
    outcome_ = std::string("low latency refused: ") + std::strerror(errno);
    return;
  }
  if ((serial.flags & ASYNC_LOW_LATENCY) != 0) {
    outcome_ = "low latency already on";
    return;
  }
  savedFlags_ = serial.flags;
  serial.flags |= ASYNC_LOW_LATENCY;
  if (ioctl(fd_, TIOCSSERIAL, &serial) != 0) {
    outcome_ = std::string("low latency refused: ") + std::strerror(errno);
    return;
  }
  changed_ = true;
  outcome_ = "low latency on";
}

void LowLatencyMode::Restore() {
  if (!changed_) return;
  changed_ = false;
  serial_struct serial{};
  if (ioctl(fd_, TIOCGSERIAL, &serial) != 0) return;
  serial.flags = savedFlags_;
  ioctl(fd_, TIOCSSERIAL, &serial);
}

#else

LowLatencyMode::LowLatencyMode(int fd) : fd_(fd), outcome_("low latency not offered here") {}

void LowLatencyMode::Restore() {}

#endif

}  // namespace tav
