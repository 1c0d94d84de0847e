#include "cli/terminal_program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/interrupt.h"
#include "cli/line_reader.h"
#include "cli/options.h"
#include "cli/patch_log.h"
#include "cli/port_listing.h"
#include "cli/port_setting_file.h"
#include "cli/power_cycle_hint.h"
#include "cli/radio_check.h"
#include "cli/serial_port_list.h"
#include "cli/simulated_radio_line.h"
#include "cli/terminal_host.h"
#include "cli/trace_target.h"
#include "cli/watched_port.h"
#include "image/built_in_resources.h"
#include "link/platform.h"
#include "link/posix_port.h"
#include "link/serial_link.h"
#include "link/tracing_port.h"
#include "run/patch_run.h"
#include "sim/virtual_clock.h"

namespace tav {

namespace {

constexpr const char* kVersionNumber = "1.0.0.65";

int ExitStatusOf(PatchOutcome outcome) {
  switch (outcome) {
    case PatchOutcome::Completed:
    case PatchOutcome::NotRequired:
      return kExitSuccess;
    case PatchOutcome::PortNotOpened:
      return kExitPortNotOpened;
    case PatchOutcome::ForeignRadio:
      return kExitForeignRadio;
    case PatchOutcome::NoContact:
      return kExitNoContact;
    case PatchOutcome::Stopped:
      return kExitInterrupted;
    case PatchOutcome::Failed:
      break;
  }
  return kExitFailed;
}

int ExitStatusOf(CheckOutcome outcome) {
  switch (outcome) {
    case CheckOutcome::Identified:
      return kExitSuccess;
    case CheckOutcome::PortNotOpened:
      return kExitPortNotOpened;
    case CheckOutcome::ForeignRadio:
      return kExitForeignRadio;
    case CheckOutcome::NoAnswer:
      break;
  }
  return kExitNoContact;
}

int UsageError(const std::string& message) {
  std::cerr << "tavpatch: " << message << '\n' << UsageText();
  return kExitUsage;
}

// A device path must name a terminal; anything else is refused before a byte is sent. A path
// that does not exist is left to the run, which reports it as the Windows program does.
std::optional<std::string> NotASerialDevice(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  if (!S_ISCHR(status.st_mode)) return path + " is not a serial device (not a terminal)";
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;  // permission and the like: the run tells
  const bool terminal = ::isatty(fd) != 0;
  ::close(fd);
  if (terminal) return std::nullopt;
  return path + " is not a serial device (not a terminal)";
}

// What a run that did not finish leaves behind: the units it erased and did not rewrite, and
// how the technician recovers them. Nothing when every unit has a program.
std::vector<std::string> LeftErasedLines(const PatchReport& report) {
  const bool core = report.core.leftErased;
  const bool control = report.control.leftErased;
  if (!core && !control) return {};
  const std::string units = core && control ? "The core and the control head were"
                            : core          ? "The core was"
                                            : "The control head was";
  // The codes were printed when the radio reported them; otherwise they were typed in.
  const bool codesPrinted =
      (!core || report.core.codeRead) && (!control || report.control.codeRead);
  return {units + " erased and not rewritten: " + (core && control ? "they have" : "it has") +
              " no working program.",
          std::string("Run tavpatch again and, when asked, enter the date codes ") +
              (codesPrinted ? "printed above." : "recorded earlier.")};
}

// How the runs of one start of the program went, for --repeat's summary.
struct Tally {
  int patched = 0;
  int notRequired = 0;
  int failed = 0;
  int checked = 0;
};

class Program {
 public:
  explicit Program(const ProgramOptions& options)
      : options_(options),
        reader_(STDIN_FILENO),
        host_(state_, std::cout, std::cerr, reader_, ::isatty(STDOUT_FILENO) != 0,
              ::isatty(STDIN_FILENO) != 0),
        clock_(options.simulate && options.fast ? static_cast<Clock&>(virtualClock_)
                                                : SystemClock()) {}

  int Execute() {
    if (const int refused = ChoosePort(); refused != kExitSuccess) return refused;
    if (options_.traceFile && !OpenTrace()) return kExitUsage;
    if (options_.logFile) log_.emplace(*options_.logFile, std::cerr);
    if (!options_.simulate)
      systemPorts_ = std::make_unique<WatchedPortOpener>(MakeSystemPortOpener());

    int status = kExitSuccess;
    while (true) {
      const int runStatus = RunOnce();
      ReportPortTrouble();
      if (runStatus != kExitSuccess) status = runStatus;
      if (!options_.repeat || InterruptRequested()) break;
      const std::optional<std::string> answer =
          host_.Ask("Connect the next radio and press Enter (q to quit) ");
      if (!answer || *answer == "q" || *answer == "Q") break;
    }
    if (options_.repeat) PrintSummary();
    return status;
  }

 private:
  int ChoosePort() {
    if (options_.simulate) return kExitSuccess;
    if (!options_.port) {
      const LoadedPortSetting loaded = LoadPortChoice();
      if (!loaded.warning.empty()) std::cerr << loaded.warning << '\n';
      UsePort(loaded.choice);
      return kExitSuccess;
    }
    if (!options_.port->devicePath.empty()) {
      if (const auto refusal = NotASerialDevice(options_.port->devicePath)) {
        std::cerr << "tavpatch: " << *refusal << "; nothing was sent.\n";
        return kExitPortNotOpened;
      }
    }
    UsePort(*options_.port);
    // A setting that cannot be kept is not reported: the run goes on with the port given.
    SavePortChoice(Absolute(*options_.port));
    return kExitSuccess;
  }

  void UsePort(const PortChoice& choice) {
    if (choice.devicePath.empty()) {
      state_.portNumber = choice.number;
    } else {
      state_.devicePath = choice.devicePath;
    }
  }

  // The setting is read from wherever the next start happens to be: a relative device path is
  // kept as seen from here, its links left as they are (a /dev/serial/by-id name stays one).
  static PortChoice Absolute(PortChoice choice) {
    if (choice.devicePath.empty() || choice.devicePath.front() == '/') return choice;
    std::string folder(4096, '\0');
    if (::getcwd(folder.data(), folder.size()) == nullptr) return choice;
    folder.resize(std::strlen(folder.c_str()));
    choice.devicePath = folder + '/' + choice.devicePath;
    return choice;
  }

  // The device the run will open, for the trace's refusal; nothing for the simulated radio.
  std::optional<std::string> PortDevice() const {
    if (options_.simulate) return std::nullopt;
    if (!state_.devicePath.empty()) return state_.devicePath;
    return PosixDevicePath(DeviceNameForPort(state_.portNumber));
  }

  bool OpenTrace() {
    const std::string& path = *options_.traceFile;
    if (const auto refusal = TraceTargetRefusal(path, PortDevice(), PortSettingPath())) {
      std::cerr << "tavpatch: " << *refusal << "; nothing was sent.\n";
      return false;
    }
    traceFile_.open(path, std::ios::out | std::ios::trunc);
    if (!traceFile_) {
      std::cerr << "tavpatch: cannot write the trace file " << path << ": " << std::strerror(errno)
                << '\n';
      return false;
    }
    // A trace never stops a patch: a write that fails is told once and the run goes on.
    trace_ = std::make_unique<WireTrace>(traceFile_, clock_, [path] {
      std::cerr << "tavpatch: cannot write the trace file " << path << ": " << std::strerror(errno)
                << "; the run goes on without it.\n";
    });
    return true;
  }

  int RunOnce() {
    // Each run of --simulate meets a fresh radio of the scenario, as the next radio on the bench.
    std::unique_ptr<SimulatedRadioLine> radio;
    if (options_.simulate) radio = std::make_unique<SimulatedRadioLine>(options_.scenario, clock_);
    PortOpener& ports = radio ? radio->Opener() : *systemPorts_;
    std::optional<TracingPortOpener> traced;
    if (trace_) traced.emplace(ports, *trace_);
    SerialLink link(state_, traced ? static_cast<PortOpener&>(*traced) : ports, clock_, host_);

    if (options_.check) {
      const int status = ExitStatusOf(CheckRadio(link, host_));
      ++(status == kExitSuccess ? tally_.checked : tally_.failed);
      return InterruptRequested() && status != kExitSuccess ? kExitInterrupted : status;
    }
    const std::time_t started = std::time(nullptr);
    const Micros begun = clock_.Now();
    const PatchReport report = RunPatch(link, BuiltInResources());
    host_.EndProgressLine();
    for (const std::string& line : LeftErasedLines(report)) host_.PrintLine(line);
    // Last, as what to do first: a rerun alone cannot get past what such an ending leaves.
    if (host_.TakePowerCycleAdvice()) host_.PrintLine(kPowerCycleHint);
    LogRun(report, started, clock_.Now() - begun);
    const PatchOutcome outcome = report.outcome;
    const int status = ExitStatusOf(outcome);
    if (outcome == PatchOutcome::Completed) ++tally_.patched;
    if (outcome == PatchOutcome::NotRequired) ++tally_.notRequired;
    if (status != kExitSuccess) ++tally_.failed;
    // A run stopped by Ctrl-C says so, unless its flash write finished all the same (a
    // not-required verdict may come from date code questions the Ctrl-C cancelled).
    return InterruptRequested() && outcome != PatchOutcome::Completed ? kExitInterrupted : status;
  }

  // One line of the patch log as the radio's run ends, for every run that opened the port.
  void LogRun(const PatchReport& report, std::time_t started, Micros took) {
    PatchLogEntry entry{started,
                        PortName(),
                        report,
                        host_.TakeTypedCode(DateCodeQuestion::Core),
                        host_.TakeTypedCode(DateCodeQuestion::ControlHead),
                        std::chrono::duration<double>(took).count()};
    if (log_ && report.outcome != PatchOutcome::PortNotOpened) {
      log_->Append(PatchLogLine(entry, kVersionNumber));
    }
  }

  std::string PortName() const {
    if (options_.simulate) return "simulated:" + options_.scenario;
    if (!state_.devicePath.empty()) return state_.devicePath;
    return DeviceNameForPort(state_.portNumber);
  }

  // After the run's own messages: a port the technician may not open, or one that went away.
  void ReportPortTrouble() {
    if (!systemPorts_) return;
    const std::string advice = systemPorts_->TakeAdvice();
    if (advice.empty()) return;
    std::cout.flush();
    std::cerr << advice;
  }

  void PrintSummary() {
    if (options_.check) {
      host_.PrintLine("Radios checked: " + std::to_string(tally_.checked) +
                      ", failed: " + std::to_string(tally_.failed));
      return;
    }
    host_.PrintLine("Radios patched: " + std::to_string(tally_.patched) +
                    ", not required: " + std::to_string(tally_.notRequired) +
                    ", failed: " + std::to_string(tally_.failed));
  }

  const ProgramOptions& options_;
  ProcessState state_;
  LineReader reader_;
  TerminalHost host_;
  VirtualClock virtualClock_;
  Clock& clock_;
  std::unique_ptr<WatchedPortOpener> systemPorts_;
  std::ofstream traceFile_;
  std::unique_ptr<WireTrace> trace_;
  std::optional<PatchLog> log_;
  Tally tally_;
};

// TAVPATCH_SYSTEM_ROOT names a folder that stands for / while the devices are listed, so that
// a test can hand in a made-up sysfs and /dev.
int ListPorts() {
  const LoadedPortSetting remembered = LoadPortChoice();
  if (!remembered.warning.empty()) std::cerr << remembered.warning << '\n';
  const char* root = std::getenv("TAVPATCH_SYSTEM_ROOT");
  std::cout << PortListing(ListSerialDevices(root == nullptr ? "" : root), remembered.choice);
  return kExitSuccess;
}

int ListScenarios() {
  for (const ScenarioSummary& scenario : SimulatedScenarios()) {
    std::string name = scenario.name;
    name.resize(std::max<std::size_t>(name.size() + 2, 18), ' ');
    std::cout << name << scenario.description << '\n';
  }
  return kExitSuccess;
}

}  // namespace

int TerminalMain(const std::vector<std::string>& arguments) {
  const ParsedOptions parsed = ParseOptions(arguments);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  const ProgramOptions& options = parsed.options;
  switch (options.action) {
    case ProgramAction::Help:
      std::cout << HelpText();
      return kExitSuccess;
    case ProgramAction::Version:
      std::cout << "tavpatch " << kVersionNumber << '\n';
      return kExitSuccess;
    case ProgramAction::ListPorts:
      return ListPorts();
    case ProgramAction::ListScenarios:
      return ListScenarios();
    case ProgramAction::Run:
      break;
  }
  if (options.simulate && !IsSimulatedScenario(options.scenario)) {
    return UsageError("unknown scenario " + Quoted(options.scenario) + " (see --list-scenarios)");
  }
  InstallInterruptHandler();
  Program program(options);
  return program.Execute();
}

}  // namespace tav
