#include "cli/serial_port_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>

namespace tav {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Most machines have /dev/ttyS0../dev/ttyS31 whether or not a UART is behind them; only
// those that take a terminal settings query are real ports.
bool AnswersAsTerminal(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  termios settings{};
  const bool answers = ::tcgetattr(fd, &settings) == 0;
  ::close(fd);
  return answers;
}

bool IsSerialDeviceName(std::string_view name) {
#if defined(__APPLE__)
  return StartsWith(name, "cu.");
#else
  return StartsWith(name, "ttyS") || StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM");
#endif
}

}  // namespace

std::vector<std::string> ListSerialPorts() {
  std::vector<std::string> ports;
  DIR* devices = ::opendir("/dev");
  if (devices == nullptr) return ports;
  while (const dirent* entry = ::readdir(devices)) {
    const std::string_view name = entry->d_name;
    if (!IsSerialDeviceName(name)) continue;
    const std::string path = "/dev/" + std::string(name);
    if (StartsWith(name, "ttyS") && !AnswersAsTerminal(path)) continue;
    ports.push_back(path);
  }
  ::closedir(devices);
  std::sort(ports.begin(), ports.end());
  return ports;
}

std::string ComNameOf(const std::string& devicePath) {
  if (devicePath.size() == 10 && StartsWith(devicePath, "/dev/ttyS") && devicePath[9] >= '0' &&
      devicePath[9] <= '3') {
    return "COM" + std::string(1, static_cast<char>(devicePath[9] + 1));
  }
  return {};
}

}  // namespace tav
