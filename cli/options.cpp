#include "cli/options.h"

#include "cli/port_setting_file.h"

namespace tav {

namespace {

// "--name" or "--name=value": the value part, or nothing when the argument is "--name".
std::optional<std::string_view> ValueOf(std::string_view argument, std::string_view name,
                                        bool& matched) {
  matched = false;
  if (argument.substr(0, name.size()) != name) return std::nullopt;
  if (argument.size() == name.size()) {
    matched = true;
    return std::nullopt;
  }
  if (argument[name.size()] != '=') return std::nullopt;
  matched = true;
  return argument.substr(name.size() + 1);
}

}  // namespace

std::string Quoted(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string quoted = "'";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      quoted += "\\x";
      quoted += kDigits[byte >> 4];
      quoted += kDigits[byte & 0xF];
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  ProgramOptions& options = parsed.options;
  bool actionGiven = false;
  auto fail = [&parsed](std::string message) {
    parsed.error = std::move(message);
    return parsed;
  };
  auto setAction = [&](ProgramAction action) {
    if (!actionGiven) options.action = action;
    actionGiven = true;
  };

  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    bool matched = false;
    // Options that take a value accept it after '=' or as the next argument. The next argument
    // is never taken when it begins with '-': a forgotten value must not swallow the option
    // after it (`--trace --check` would otherwise erase a radio that was only to be checked).
    // "--trace=-name" and "./-name" remain for such names.
    bool valueIsOption = false;
    auto takeValue = [&](std::string_view name) -> std::optional<std::string> {
      const auto value = ValueOf(argument, name, matched);
      if (!matched) return std::nullopt;
      if (value) return std::string(*value);
      if (i + 1 >= arguments.size()) return std::string();
      if (!arguments[i + 1].empty() && arguments[i + 1][0] == '-') {
        valueIsOption = true;
        return std::string();
      }
      return arguments[++i];
    };
    auto valueRefused = [&](std::string_view name) {
      return fail(std::string(name) + " needs a value, not the option " + Quoted(arguments[i + 1]) +
                  " (write " + std::string(name) + "=VALUE for a value that begins with '-')");
    };

    if (argument == "--help" || argument == "-h") {
      setAction(ProgramAction::Help);
    } else if (argument == "--version") {
      setAction(ProgramAction::Version);
    } else if (argument == "--list-ports") {
      setAction(ProgramAction::ListPorts);
    } else if (argument == "--list-scenarios") {
      setAction(ProgramAction::ListScenarios);
    } else if (argument == "--check") {
      options.check = true;
    } else if (argument == "--repeat") {
      options.repeat = true;
    } else if (argument == "--fast") {
      options.fast = true;
    } else if (const auto port = takeValue("--port"); matched) {
      if (valueIsOption) return valueRefused("--port");
      if (port->empty()) return fail("--port needs COM1 to COM4 or a device path");
      options.port = ParsePortChoice(*port);
      if (!options.port) {
        return fail("malformed port " + Quoted(*port) +
                    ": give COM1 to COM4 or a device path such as /dev/ttyUSB0");
      }
    } else if (const auto trace = takeValue("--trace"); matched) {
      if (valueIsOption) return valueRefused("--trace");
      if (trace->empty()) return fail("--trace needs a file name");
      options.traceFile = *trace;
    } else if (const auto log = takeValue("--log"); matched) {
      if (valueIsOption) return valueRefused("--log");
      if (log->empty()) return fail("--log needs a file name");
      options.logFile = *log;
    } else if (const auto scenario = ValueOf(argument, "--simulate", matched); matched) {
      options.simulate = true;
      if (scenario) {
        if (scenario->empty())
          return fail("--simulate= needs a scenario name (see --list-scenarios)");
        options.scenario = std::string(*scenario);
      }
    } else if (argument.empty() || argument[0] != '-') {
      return fail("unexpected argument " + Quoted(argument) + " (a port is given with --port)");
    } else {
      return fail("unknown option " + Quoted(argument));
    }
  }
  if (options.action != ProgramAction::Run) return parsed;
  if (options.fast && !options.simulate) return fail("--fast works only with --simulate");
  if (options.port && options.simulate) {
    return fail("--port and --simulate exclude each other: the simulated radio is on no port");
  }
  return parsed;
}

std::string UsageText() {
  return "Usage: tavpatch [--port COMn|DEVICE] [--check] [--repeat] [--trace FILE] [--log FILE]\n"
         "       tavpatch --simulate[=SCENARIO] [--fast] [--check] [--repeat] [--trace FILE]\n"
         "                [--log FILE]\n"
         "       tavpatch --list-ports | --list-scenarios | --help | --version\n";
}

std::string HelpText() {
  return "Installs the firmware patch into the core and control head of a TAV radio on a\n"
         "serial port, after checking the date codes of the firmware each one carries.\n\n" +
         UsageText() +
         "\nOptions:\n"
         "  --port COMn|DEVICE  the port: COM1 to COM4 are /dev/ttyS0 to /dev/ttyS3; a device\n"
         "                      path such as /dev/ttyUSB0 or /dev/cu.usbserial-1 is used as it "
         "is.\n"
         "                      The port is kept for the next start in\n"
         "                      " +
         PortSettingPath() +
         "\n"
         "                      (TAVPATCH_PORT_FILE names another file). Without --port the\n"
         "                      kept port is used (COM1 at first).\n"
         "  --check             identify the radio and say whether each unit needs the patch;\n"
         "                      nothing is erased or written\n"
         "  --trace FILE        write every byte, baud rate and break of the run to FILE\n"
         "  --log FILE          append a CSV line to FILE for each radio a patch run reached:\n"
         "                      time, port, date codes, what was done to each unit, outcome,\n"
         "                      seconds, version (a header line first when FILE is new)\n"
         "  --repeat            after each run, patch the next radio on the same port\n"
         "  --simulate[=NAME]   run against a simulated radio (scenario NAME, default both),\n"
         "                      at a real radio's pace\n"
         "  --fast              with --simulate: on simulated time, the run takes moments\n"
         "  --list-scenarios    the simulated radio's scenarios\n"
         "  --list-ports        the serial devices present and what each one is, the\n"
         "                      remembered port marked\n"
         "  --help, --version\n"
         "\nCtrl-C asks the run to stop: it winds down at its next wait or packet and closes the\n"
         "port. SIGTERM and SIGHUP (a shutdown, a closed terminal) ask the same. A second of any\n"
         "of these quits at once.\n"
         "\nExit status:\n"
         "    0  Flash Write complete, or the patch is not required (--check: the radio answered)\n"
         "    1  the patch failed for a unit\n"
         "    2  bad command line\n"
         "    3  the port could not be opened (or is no serial device)\n"
         "    4  the radio is not a TAV radio\n"
         "    5  no contact with the radio\n"
         "    6  stopped by Ctrl-C, SIGTERM or SIGHUP\n"
         "  130  quit at once by a second Ctrl-C (143 by SIGTERM, 129 by SIGHUP)\n"
         "With --repeat: 0 when every run ended well, else the status of the last one that did "
         "not.\n";
}

}  // namespace tav
