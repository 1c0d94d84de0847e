#include "link/posix_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace tav {

namespace {

std::optional<speed_t> SpeedFor(std::uint32_t bitsPerSecond) {
  switch (bitsPerSecond) {
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 38400:
      return B38400;
    default:
      return std::nullopt;
  }
}

OpenFailure FailureFor(int error) {
  switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return OpenFailure::Unavailable;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenFailure::InUse;
    case EACCES:
    case EPERM:
      return OpenFailure::PermissionDenied;
    default:
      return OpenFailure::Other;
  }
}

enum class Readiness { Readable, Writable };

// Waits until fd is ready, at most timeoutMs; false on time-out or error. A signal ends the
// wait early as if ready, so that the caller looks again with the time it has left. select
// rather than poll: macOS's poll does not work on terminal devices.
bool AwaitReady(int fd, Readiness readiness, int timeoutMs) {
  if (fd < 0 || fd >= FD_SETSIZE) return false;
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd, &set);
  timeval timeout{timeoutMs / 1000, static_cast<suseconds_t>((timeoutMs % 1000) * 1000)};
  const int ready = readiness == Readiness::Readable
                        ? select(fd + 1, &set, nullptr, nullptr, &timeout)
                        : select(fd + 1, nullptr, &set, nullptr, &timeout);
  if (ready > 0) return FD_ISSET(fd, &set) != 0;
  return ready < 0 && errno == EINTR;
}

OpenResult Failed(OpenFailure failure) { return OpenResult{nullptr, failure}; }

}  // namespace

PosixPort::PosixPort(int fd, const termios& settings)
    : fd_(fd), settings_(settings), lowLatency_(fd) {}

PosixPort::~PosixPort() {
  lowLatency_.Restore();
  ioctl(fd_, TIOCNXCL);
  close(fd_);
}

bool PosixPort::SetBaud(std::uint32_t bitsPerSecond) {
  const auto speed = SpeedFor(bitsPerSecond);
  if (!speed) return false;
  // Raw 8N1. No flow control: none of the radio protocols uses it, and a radio that never
  // raises CTS must not stall the line. The modem-control lines are ignored (CLOCAL).
  cfmakeraw(&settings_);
  settings_.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  settings_.c_cflag |= CS8 | CLOCAL | CREAD;
  settings_.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
  // Reads never block in the driver; Read waits with select against its own deadline.
  settings_.c_cc[VMIN] = 0;
  settings_.c_cc[VTIME] = 0;
  cfsetispeed(&settings_, *speed);
  cfsetospeed(&settings_, *speed);
  return tcsetattr(fd_, TCSANOW, &settings_) == 0;
}

// POSIX drivers size their own queues.
OpenFailure PosixPort::SetQueueSizes(std::size_t, std::size_t) { return OpenFailure::None; }

// POSIX has no comm event mask.
void PosixPort::SetEventMaskAll() {}

bool PosixPort::Write(const std::uint8_t* bytes, std::size_t count) {
  // Without flow control output never stalls for long; a line that takes nothing for this
  // long is gone, and the write fails instead of hanging the run.
  constexpr int kStallMs = 2000;
  std::size_t sent = 0;
  while (sent < count) {
    const ssize_t n = write(fd_, bytes + sent, count - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    } else if (!AwaitReady(fd_, Readiness::Writable, kStallMs)) {
      return false;
    }
  }
  // write() returns before the bytes have left; a write here is synchronous, so that a
  // read's time-out starts once the request is on the line.
  while (tcdrain(fd_) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// POSIX cannot put a byte ahead of queued output; the link queues nothing, so an undrained
// write of the one byte is the same thing.
bool PosixPort::TransmitImmediate(std::uint8_t byte) { return write(fd_, &byte, 1) == 1; }

std::size_t PosixPort::Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) {
  using std::chrono::steady_clock;
  const auto deadline = steady_clock::now() + totalTimeout;
  std::size_t got = 0;
  while (got < maximum) {
    const ssize_t n = read(fd_, buffer + got, maximum - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) break;
    const auto left = deadline - steady_clock::now();
    if (left <= steady_clock::duration::zero()) break;
    // Rounded up, so that the read never ends before its deadline.
    const auto leftMs = std::chrono::ceil<Millis>(left).count();
    if (!AwaitReady(fd_, Readiness::Readable, static_cast<int>(leftMs))) {
      if (steady_clock::now() < deadline) break;  // the device went away
    }
  }
  return got;
}

void PosixPort::PurgeReceive() { tcflush(fd_, TCIFLUSH); }

void PosixPort::SetBreak(bool on) { ioctl(fd_, on ? TIOCSBRK : TIOCCBRK); }

std::optional<std::string> PosixDevicePath(const std::string& deviceName) {
  if (deviceName.size() == 4 && deviceName.compare(0, 3, "COM") == 0) {
    const char digit = deviceName[3];
    if (digit < '1' || digit > '4') return std::nullopt;
    return std::string("/dev/ttyS") + static_cast<char>(digit - 1);
  }
  return deviceName;
}

OpenResult PosixPortOpener::Open(const std::string& deviceName) {
  const auto path = PosixDevicePath(deviceName);
  if (!path) return Failed(OpenFailure::Unavailable);

  const int fd = open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Failed(FailureFor(errno));
  auto fail = [fd](OpenFailure failure) {
    close(fd);
    return Failed(failure);
  };

  if (!isatty(fd)) return fail(OpenFailure::Other);  // a plain file is no serial port
  // TIOCEXCL keeps other programs from opening the port after us (root is not kept out);
  // the advisory lock tells us about a program that holds it already, root included.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(FailureFor(errno));
  ioctl(fd, TIOCEXCL);

  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return fail(OpenFailure::Other);
  return OpenResult{std::make_unique<PosixPort>(fd, settings), OpenFailure::None};
}

}  // namespace tav
