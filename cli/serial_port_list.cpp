#include "cli/serial_port_list.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string_view>

namespace tav {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string> EntriesOf(const std::string& folder) {
  std::vector<std::string> names;
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) return names;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(directory);
  std::sort(names.begin(), names.end());
  return names;
}

#if defined(__APPLE__)

std::vector<SerialDevice> DevicesOf(const std::string& root) {
  std::vector<SerialDevice> devices;
  for (const std::string& name : EntriesOf(root + "/dev")) {
    if (StartsWith(name, "cu.")) devices.push_back({"/dev/" + name, "serial device", {}});
  }
  return devices;
}

#else

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

// The first line of a sysfs attribute, empty when it is missing.
std::string Attribute(const std::string& folder, const char* name) {
  std::ifstream file(folder + "/" + name);
  std::string line;
  std::getline(file, line);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

std::string Resolved(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? resolved : "";
}

std::string Parent(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

bool IsSerialTtyName(std::string_view name) {
  return StartsWith(name, "ttyS") || StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM");
}

// The USB device a tty hangs off: the nearest folder above the tty's device that carries a
// USB vendor id, within sysfs. Empty for a tty that is not on USB.
std::string UsbDeviceFolder(const std::string& sysfs, const std::string& ttyFolder) {
  const std::string top = Resolved(sysfs);
  std::string folder = Resolved(ttyFolder + "/device");
  if (top.empty()) return {};
  while (!folder.empty() && StartsWith(folder, top + "/")) {
    if (Exists(folder + "/idVendor")) return folder;
    folder = Parent(folder);
  }
  return {};
}

std::string UsbDescription(const std::string& usb) {
  std::string text = "USB adapter";
  for (const char* name : {"manufacturer", "product"}) {
    if (std::string value = Attribute(usb, name); !value.empty()) text += " " + value;
  }
  if (std::string serial = Attribute(usb, "serial"); !serial.empty()) text += ", serial " + serial;
  const std::string vendor = Attribute(usb, "idVendor"), product = Attribute(usb, "idProduct");
  if (!vendor.empty()) text += " (" + vendor + ":" + product + ")";
  return text;
}

std::vector<SerialDevice> DevicesOf(const std::string& root) {
  const std::string sysfs = root + "/sys";
  std::vector<SerialDevice> devices;
  for (const std::string& name : EntriesOf(sysfs + "/class/tty")) {
    const std::string folder = sysfs + "/class/tty/" + name;
    if (!IsSerialTtyName(name) || !Exists(folder + "/device") || !Exists(root + "/dev/" + name)) {
      continue;
    }
    // Most machines list ttyS0..ttyS31 whether or not a UART is behind them; type 0 is none.
    if (StartsWith(name, "ttyS") && Attribute(folder, "type") == "0") continue;
    const std::string usb = UsbDeviceFolder(sysfs, folder);
    devices.push_back({"/dev/" + name,
                       !usb.empty()               ? UsbDescription(usb)
                       : StartsWith(name, "ttyS") ? "on-board serial port"
                                                  : "serial device",
                       {}});
  }
  return devices;
}

#endif

// The persistent names udev gives each adapter, links to the device node.
void AddPersistentNames(const std::string& root, std::vector<SerialDevice>& devices) {
  const std::string byId = "/dev/serial/by-id";
  for (const std::string& name : EntriesOf(root + byId)) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink((root + byId + "/" + name).c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) continue;
    const std::string_view linked(target, static_cast<std::size_t>(length));
    const std::string deviceName(linked.substr(linked.rfind('/') + 1));
    for (SerialDevice& device : devices) {
      if (device.path == "/dev/" + deviceName) device.aliases.push_back(byId + "/" + name);
    }
  }
}

}  // namespace

std::vector<SerialDevice> ListSerialDevices(const std::string& root) {
  std::vector<SerialDevice> devices = DevicesOf(root);
  AddPersistentNames(root, devices);
  return devices;
}

std::string ComNameOf(const std::string& devicePath) {
  if (devicePath.size() == 10 && StartsWith(devicePath, "/dev/ttyS") && devicePath[9] >= '0' &&
      devicePath[9] <= '3') {
    return "COM" + std::string(1, static_cast<char>(devicePath[9] + 1));
  }
  return {};
}

}  // namespace tav
