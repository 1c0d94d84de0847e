#include "cli/port_listing.h"

#include <algorithm>

namespace tav {

namespace {

constexpr const char* kRememberedMark = "  <- remembered";

std::string RememberedPath(const PortChoice& remembered) {
  if (!remembered.devicePath.empty()) return remembered.devicePath;
  return "/dev/ttyS" + std::to_string(remembered.number - 1);
}

}  // namespace

std::string PortListing(const std::vector<SerialDevice>& devices, const PortChoice& remembered) {
  const std::string rememberedPath = RememberedPath(remembered);
  bool found = false;
  std::string text;
  if (devices.empty()) text += "No serial ports found.\n";
  for (const SerialDevice& device : devices) {
    const std::string com = ComNameOf(device.path);
    text += device.path + (com.empty() ? "" : "  (" + com + ")") + "  " + device.description;
    if (device.path == rememberedPath) {
      text += kRememberedMark;
      found = true;
    }
    text += '\n';
    for (const std::string& alias : device.aliases) {
      text += "    " + alias;
      if (alias == rememberedPath) {
        text += kRememberedMark;
        found = true;
      }
      text += '\n';
    }
  }
  if (!found) {
    const std::string name =
        remembered.devicePath.empty()
            ? "COM" + std::to_string(remembered.number) + " (" + rememberedPath + ")"
            : rememberedPath;
    text += "The remembered port " + name + " is not present.\n";
  }
  return text;
}

}  // namespace tav
