#pragma once
// The terminal program's port setting: one line per user, the port last given with --port.

#include <string>

#include "cli/port_choice.h"

namespace tav {

// TAVPATCH_PORT_FILE when it is set and not empty, else $XDG_CONFIG_HOME/tavpatch/port, else
// ~/.config/tavpatch/port. Empty when there is no home folder to put it in.
std::string PortSettingPath();

struct LoadedPortSetting {
  PortChoice choice{1, {}};  // COM1 unless the file holds a port
  std::string warning;       // one line for standard error when the file could not be used
};

// The remembered port. No file is a first start: COM1 without a word. A file that cannot be
// read, or holds anything but one port, is COM1 with a warning.
LoadedPortSetting LoadPortChoice();

// Remembers choice (a device path must be absolute). Written to a fresh file beside the
// setting, then renamed over it, so that a reader never sees half a line and nothing placed
// beside the setting is followed or overwritten. False when it could not be written.
bool SavePortChoice(const PortChoice& choice);

}  // namespace tav
