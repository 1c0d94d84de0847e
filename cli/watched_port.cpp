#include "cli/watched_port.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>

#include "link/posix_port.h"

namespace tav {

namespace {

// The errors a read or write gets from a device node whose hardware has gone.
bool IsVanishedDevice(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

class WatchedPort final : public Port {
 public:
  WatchedPort(std::unique_ptr<Port> inner, bool& gone) : inner_(std::move(inner)), gone_(gone) {}

  bool SetBaud(std::uint32_t bitsPerSecond) override { return inner_->SetBaud(bitsPerSecond); }
  OpenFailure SetQueueSizes(std::size_t input, std::size_t output) override {
    return inner_->SetQueueSizes(input, output);
  }
  void SetEventMaskAll() override { inner_->SetEventMaskAll(); }
  bool Write(const std::uint8_t* bytes, std::size_t count) override {
    errno = 0;
    const bool written = inner_->Write(bytes, count);
    if (!written) Notice();
    return written;
  }
  bool TransmitImmediate(std::uint8_t byte) override {
    errno = 0;
    const bool sent = inner_->TransmitImmediate(byte);
    if (!sent) Notice();
    return sent;
  }
  std::size_t Read(std::uint8_t* buffer, std::size_t maximum, Millis totalTimeout) override {
    errno = 0;
    const std::size_t got = inner_->Read(buffer, maximum, totalTimeout);
    if (got < maximum) Notice();  // a read cut short may have met the error
    return got;
  }
  void PurgeReceive() override { inner_->PurgeReceive(); }
  void SetBreak(bool on) override { inner_->SetBreak(on); }

 private:
  void Notice() {
    if (IsVanishedDevice(errno)) gone_ = true;
  }

  std::unique_ptr<Port> inner_;
  bool& gone_;
};

std::string GroupOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  const group* owner = ::getgrgid(status.st_gid);
  return owner != nullptr && owner->gr_name != nullptr ? owner->gr_name : "";
}

}  // namespace

WatchedPortOpener::WatchedPortOpener(std::unique_ptr<PortOpener> ports)
    : ports_(std::move(ports)) {}

OpenResult WatchedPortOpener::Open(const std::string& deviceName) {
  path_ = PosixDevicePath(deviceName).value_or(deviceName);
  OpenResult opened = ports_->Open(deviceName);
  if (!opened.port) {
    denied_ = opened.failure == OpenFailure::PermissionDenied;
    return opened;
  }
  opened_ = true;
  opened.port = std::make_unique<WatchedPort>(std::move(opened.port), gone_);
  return opened;
}

std::string WatchedPortOpener::TakeAdvice() {
  std::string advice;
  if (denied_) advice = PermissionAdvice(path_, GroupOf(path_));
  struct stat status {};
  if (opened_ && (gone_ || ::stat(path_.c_str(), &status) != 0)) {
    advice = "tavpatch: " + path_ +
             " is gone: it went away during the run (an adapter unplugged?). Connect it again "
             "before the next run.\n";
  }
  opened_ = denied_ = gone_ = false;
  return advice;
}

std::string PermissionAdvice(const std::string& path, const std::string& groupName) {
  std::string advice = "tavpatch: you are not allowed to open " + path + ".\n";
  if (groupName.empty() || groupName == "root") {
    return advice + "Ask whoever looks after this machine to give you access to it.\n";
  }
#if defined(__APPLE__)
  const std::string join = "sudo dseditgroup -o edit -a $USER -t user " + groupName;
#else
  const std::string join = "sudo adduser $USER " + groupName;
#endif
  return advice + "It belongs to the group " + groupName + "; add yourself to that group with\n" +
         "  " + join +
         "\nthen log out and log in again (a new group counts from the next login).\n";
}

}  // namespace tav
