#include "cli/port_setting_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tav {

namespace {

// A byte more than the longest line ParseStoredPort accepts tells an overlong file apart.
constexpr std::size_t kReadLimit = 4096 + 2;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string HomeFolder() {
  if (std::string home = Environment("HOME"); !home.empty()) return home;
  const passwd* user = ::getpwuid(::getuid());
  return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

// The folder the default setting lives in; a relative XDG_CONFIG_HOME is ignored, as the
// base directory convention asks.
std::string DefaultFolder() {
  const std::string config = Environment("XDG_CONFIG_HOME");
  if (!config.empty() && config.front() == '/') return config + "/tavpatch";
  const std::string home = HomeFolder();
  return home.empty() ? "" : home + "/.config/tavpatch";
}

// Creates folder and any missing parents, private to the user as configuration folders are.
void MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0700);  // fails harmlessly where it exists
  }
  ::mkdir(folder.c_str(), 0700);
}

std::string Unusable(const std::string& path, const std::string& why) {
  return "tavpatch: the port setting " + path + " " + why + "; using COM1";
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string PortSettingPath() {
  if (std::string redirected = Environment("TAVPATCH_PORT_FILE"); !redirected.empty()) {
    return redirected;
  }
  const std::string folder = DefaultFolder();
  return folder.empty() ? "" : folder + "/port";
}

LoadedPortSetting LoadPortChoice() {
  LoadedPortSetting loaded;
  const std::string path = PortSettingPath();
  if (path.empty()) return loaded;
  // Non-blocking, so that a FIFO in its place cannot hang the start.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT)
      loaded.warning = Unusable(path, std::string("cannot be read: ") + std::strerror(errno));
    return loaded;
  }
  struct stat status {};
  std::string contents;
  bool readable = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  while (readable && contents.size() < kReadLimit) {
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      readable = n == 0;
      break;
    }
    contents.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!readable) {
    loaded.warning = Unusable(path, "cannot be read");
  } else if (const auto choice = ParseStoredPort(contents)) {
    loaded.choice = *choice;
  } else {
    loaded.warning = Unusable(path, "holds no port (COM1 to COM4 or a device path)");
  }
  return loaded;
}

bool SavePortChoice(const PortChoice& choice) {
  const std::string line = StoredPortLine(choice);
  const std::string path = PortSettingPath();
  if (line.empty() || path.empty()) return false;
  if (Environment("TAVPATCH_PORT_FILE").empty()) MakeFolders(DefaultFolder());

  // mkstemp creates the name exclusively: a link or file already there makes it pick another.
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, line) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace tav
