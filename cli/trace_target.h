#pragma once
// The trace file must not be a file the run itself needs: writing the trace onto the serial
// device would send the trace's text to the radio, and onto the port setting would destroy it.

#include <optional>
#include <string>

namespace tav {

// Why the trace file may not be written (one line), or nothing when it may. Files are compared
// by device and inode, so another name of the same file (a link, "./", "..") is refused too; a
// file that does not exist yet is compared by its folder and name.
std::optional<std::string> TraceTargetRefusal(const std::string& tracePath,
                                              const std::optional<std::string>& portDevice,
                                              const std::string& portSettingPath);

}  // namespace tav
