#include "cli/line_reader.h"

#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "cli/interrupt.h"

namespace tav {

LineReader::LineReader(int fd) : fd_(fd) {}

std::string LineReader::Finish(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const bool overlong = overlong_ || line.size() > kLongestLine;
  overlong_ = false;
  return overlong ? std::string(kOverlongLine) : line;
}

std::optional<std::string> LineReader::ReadLine() {
  while (!InterruptRequested()) {
    const auto end = pending_.find('\n', scanned_);
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      scanned_ = 0;
      return Finish(std::move(line));
    }
    scanned_ = pending_.size();
    // Past the longest line and its '\r', the bytes are dropped as they come.
    if (scanned_ > kLongestLine + 1) {
      overlong_ = true;
      pending_.clear();
      scanned_ = 0;
    }
    if (ended_) {
      // A last line without its line end still counts once input has ended.
      if (pending_.empty() && !overlong_) return std::nullopt;
      std::string line;
      line.swap(pending_);
      scanned_ = 0;
      return Finish(std::move(line));
    }
    // select rather than poll: macOS's poll does not work on terminal devices.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd_, &readable);
    if (::select(fd_ + 1, &readable, nullptr, nullptr, nullptr) < 0) {
      if (errno == EINTR) continue;  // the loop's test sees a Ctrl-C
      ended_ = true;
      continue;
    }
    char chunk[4096];
    const ssize_t got = ::read(fd_, chunk, sizeof chunk);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) {
      ended_ = true;
      continue;
    }
    pending_.append(chunk, static_cast<std::size_t>(got));
  }
  return std::nullopt;
}

}  // namespace tav
