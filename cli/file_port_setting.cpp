// The terminal program keeps the chosen port number as a one-byte file per machine,
// /var/lib/tavpatch/port, or the file named by TAVPATCH_PORT_FILE. A file that is missing,
// unreadable or of any other length reads as port 1; a write that fails is not reported.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/port_setting_file.h"
#include "run/port_setting.h"

namespace tav {

namespace {

constexpr const char* kMachineDirectory = "/var/lib/tavpatch";
constexpr const char* kMachineFile = "/var/lib/tavpatch/port";

}  // namespace

std::string PortSettingPath() {
  const char* redirected = std::getenv("TAVPATCH_PORT_FILE");
  if (redirected != nullptr && *redirected != '\0') return redirected;
  return kMachineFile;
}

int LoadPortSetting() {
  const std::string path = PortSettingPath();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  std::uint8_t bytes[2];
  ssize_t got;
  do {
    got = ::read(fd, bytes, sizeof bytes);
  } while (got < 0 && errno == EINTR);
  ::close(fd);
  return got == 1 ? bytes[0] : 1;
}

int SavePortSetting(int port) {
  const std::string path = PortSettingPath();
  if (path == kMachineFile) ::mkdir(kMachineDirectory, 0755);  // fails harmlessly if present
  // Written beside the setting and renamed over it, so a reader never sees a half-written file.
  const std::string temporary = path + ".new";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  const std::uint8_t byte = static_cast<std::uint8_t>(port & 0xFF);
  ssize_t written;
  do {
    written = ::write(fd, &byte, 1);
  } while (written < 0 && errno == EINTR);
  const bool closed = ::close(fd) == 0;
  if (written != 1 || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return -1;
  }
  return 0;
}

}  // namespace tav
