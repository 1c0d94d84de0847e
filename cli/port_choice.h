#pragma once
// The port a run uses: COM1..COM4 or a device path, as given on the command line and as kept
// in the port setting file between starts.

#include <optional>
#include <string>
#include <string_view>

namespace tav {

struct PortChoice {
  int number = 0;          // 1..4 for COM1..COM4, else 0
  std::string devicePath;  // the device path given instead of COMn
};

// "COM1".."COM4" (any case) or a device path (it contains a '/'); nothing otherwise.
std::optional<PortChoice> ParsePortChoice(std::string_view text);

// The port setting file's contents: one line, COM1..COM4 or an absolute device path, with or
// without its closing newline. Nothing for anything else (other text, a relative path, a
// second line, control characters, a line longer than a path can be).
std::optional<PortChoice> ParseStoredPort(std::string_view contents);

// The line that ParseStoredPort reads back as the same choice ("COM2\n"); a device path must
// already be absolute. Empty when the choice cannot be stored.
std::string StoredPortLine(const PortChoice& choice);

}  // namespace tav
