// Feeds arbitrary bytes to the reader of the terminal program's port setting file, and checks
// that whatever it accepts is a port it can write back and read again as the same port.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/port_choice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view contents(reinterpret_cast<const char*>(data), size);
  const auto choice = tav::ParseStoredPort(contents);
  if (!choice) return 0;
  // Either COM1..COM4 or an absolute device path, never both.
  if (choice->devicePath.empty() ? choice->number < 1 || choice->number > 4
                                 : choice->number != 0 || choice->devicePath.front() != '/') {
    std::abort();
  }
  const std::string line = tav::StoredPortLine(*choice);
  if (line.empty() || line.back() != '\n' || line.find('\n') != line.size() - 1) std::abort();
  const auto again = tav::ParseStoredPort(line);
  if (!again || again->number != choice->number || again->devicePath != choice->devicePath) {
    std::abort();
  }
  return 0;
}
