#pragma once
// The terminal program's command line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/port_choice.h"

namespace tav {

enum class ProgramAction { Run, Help, Version, ListPorts, ListScenarios };

struct ProgramOptions {
  ProgramAction action = ProgramAction::Run;
  std::optional<PortChoice> port;
  bool simulate = false;
  std::string scenario = "both";
  bool fast = false;
  bool check = false;
  bool repeat = false;
  std::optional<std::string> traceFile;
  std::optional<std::string> logFile;
};

struct ParsedOptions {
  ProgramOptions options;
  std::string error;  // one line; empty when the command line is good
};

// Text from the command line as an error shows it: in single quotes, with control characters
// (a line end, a terminal's escape) written as \xNN so that the error stays one plain line.
std::string Quoted(std::string_view text);

ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

// The usage summary printed by --help and after a command line error.
std::string UsageText();
// --help: the usage, what each option does and the exit codes.
std::string HelpText();

}  // namespace tav
