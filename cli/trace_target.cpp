#include "cli/trace_target.h"

#include <sys/stat.h>

#include <tuple>

namespace tav {

namespace {

// A file by its device and inode; one not there yet by its folder's and its own name.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  std::string name;  // empty when the file exists
  bool operator==(const FileIdentity& other) const {
    return std::tie(device, inode, name) == std::tie(other.device, other.inode, other.name);
  }
};

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) return FileIdentity{status.st_dev, status.st_ino, {}};
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || ::stat(folder.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{status.st_dev, status.st_ino, name};
}

bool SameFile(const std::optional<FileIdentity>& trace, const std::string& other) {
  return trace && IdentityOf(other) == trace;
}

}  // namespace

std::optional<std::string> TraceTargetRefusal(const std::string& tracePath,
                                              const std::optional<std::string>& portDevice,
                                              const std::string& portSettingPath) {
  const std::optional<FileIdentity> trace = IdentityOf(tracePath);
  if (portDevice && SameFile(trace, *portDevice)) {
    return "the trace file " + tracePath + " is the serial port " + *portDevice;
  }
  if (SameFile(trace, portSettingPath)) {
    return "the trace file " + tracePath + " is the port setting " + portSettingPath;
  }
  return std::nullopt;
}

}  // namespace tav
