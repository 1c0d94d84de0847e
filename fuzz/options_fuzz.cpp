// Feeds arbitrary command lines to the terminal program's option parser (arguments separated
// by NUL bytes) and checks what every parse must keep true. Nothing is opened or run.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/options.h"

namespace {

std::vector<std::string> Arguments(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  return arguments;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> arguments = Arguments(data, size);
  const tav::ParsedOptions parsed = tav::ParseOptions(arguments);
  if (!parsed.error.empty()) {
    Check(parsed.error.find('\n') == std::string::npos);  // one line, before the usage
    return 0;
  }
  const tav::ProgramOptions& options = parsed.options;
  if (options.action != tav::ProgramAction::Run) return 0;
  Check(!(options.port && options.simulate));
  Check(!options.fast || options.simulate);
  Check(!options.scenario.empty());
  if (options.traceFile) Check(!options.traceFile->empty());
  if (options.logFile) Check(!options.logFile->empty());
  if (options.port) {
    Check(options.port->number >= 1 && options.port->number <= 4
              ? options.port->devicePath.empty()
              : options.port->number == 0 &&
                    options.port->devicePath.find('/') != std::string::npos);
  }
  // A value given as the next argument is never an option.
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] != "--trace" && arguments[i] != "--port" && arguments[i] != "--log") continue;
    Check(i + 1 < arguments.size() && !arguments[i + 1].empty() && arguments[i + 1][0] != '-');
    ++i;
  }
  return 0;
}
