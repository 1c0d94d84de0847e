// tavpatch as a technician runs it: the built program, its standard input and output, its exit
// status, on the simulated radio (--fast: on simulated time).

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace tav::test {
namespace {

using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;

constexpr const char* kComplete = "[Sorel Radio] Flash Write complete.";
constexpr const char* kNoControlHeadProgram =
    "[Sorel Radio] The control head has no working program and was not patched.\n"
    "              Run the patch again and enter its date code, or contact Sorel customer "
    "service.";

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class ProgramTest : public testing::Test {
 protected:
  Finished Run(const std::vector<std::string>& arguments, std::string_view input = "") {
    return RunTavpatch(arguments, input, portFile_);
  }
  ScratchDirectory scratch_;
  const std::string portFile_ = scratch_.Path("port");
};

// The lines a run ends with when it leaves units erased and not rewritten.
constexpr const char* kCoreLeftErased =
    "The core was erased and not rewritten: it has no working program.\n"
    "Run tavpatch again and, when asked, enter the date codes printed above.\n";
// A control head found in its monitor and left without a program: the talk-through it runs is
// ended only by a power cycle, so the advice to cycle it comes last, as what to do first.
constexpr const char* kControlHeadLeftErased =
    "The control head was erased and not rewritten: it has no working program.\n"
    "Run tavpatch again and, when asked, enter the date codes recorded earlier.\n"
    "Switch the radio off and on, then run tavpatch again.\n";

struct ScenarioCase {
  const char* scenario;
  const char* input;  // typed on standard input
  const char* lastMessage;
  int exitStatus;
  const char* leftErased;  // the lines after the last message, or "" for none
};

class ScenarioTest : public ProgramTest, public testing::WithParamInterface<ScenarioCase> {};

TEST_P(ScenarioTest, EndsWithTheRunsMessageAndItsExitStatus) {
  const ScenarioCase& c = GetParam();
  const Finished run = Run({std::string("--simulate=") + c.scenario, "--fast"}, c.input);
  EXPECT_EQ(run.exitStatus, c.exitStatus) << run.out << run.err;
  // The run's last box is the last thing it printed.
  const auto last = run.out.rfind('[');
  ASSERT_NE(last, std::string::npos) << run.out;
  EXPECT_THAT(run.out.substr(last), HasSubstr(c.lastMessage)) << run.out;
  if (c.exitStatus != 0) {
    EXPECT_THAT(run.out, Not(HasSubstr(kComplete)));
  }
  if (std::string(c.leftErased).empty()) {
    EXPECT_THAT(run.out, Not(HasSubstr("not rewritten")));
  } else {
    EXPECT_THAT(run.out, EndsWith(c.leftErased));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, ScenarioTest,
    testing::Values(
        ScenarioCase{"both", "", kComplete, 0, ""}, ScenarioCase{"core-only", "", kComplete, 0, ""},
        ScenarioCase{"control-only", "", kComplete, 0, ""},
        ScenarioCase{"neither", "", "Patch not required for this radio.", 0, ""},
        // Both date codes typed, each one in its unit's list.
        ScenarioCase{"no-answer", "7/13/2000 11:36:28\n07/16/2001 09:09:08\n", kComplete, 0, ""},
        // End of input cancels both questions: the control head is left without a program.
        ScenarioCase{"no-answer", "", kNoControlHeadProgram, 1, kControlHeadLeftErased},
        // The core typed in and written, the control head's question cancelled.
        ScenarioCase{"no-answer", "12/15/2000 11:55:38\n\n", kNoControlHeadProgram, 1,
                     kControlHeadLeftErased},
        ScenarioCase{"foreign", "", "[Sorel Radio] This program only works with TAV radios.", 4,
                     ""},
        // The core's lock-out fails the run although the control head is then written.
        ScenarioCase{"lockout", "", "[Sorel Radio] CPU security lock out.", 1, kCoreLeftErased},
        ScenarioCase{"noisy", "", kComplete, 0, ""},
        ScenarioCase{"stops-answering", "", "[Sorel Radio] Radio has stopped responding.", 1,
                     kCoreLeftErased},
        ScenarioCase{"unplugged", "", "[Sorel Radio] Unable to contact radio.", 5, ""}),
    [](const testing::TestParamInfo<ScenarioCase>& param) {
      std::string name = param.param.scenario;
      for (char& c : name) c = c == '-' ? '_' : c;
      return name + "_" + std::to_string(param.index);
    });

// After "Unable to contact radio." (or a control head found in its monitor and left without a
// program) the next run finishes only once the radio's power has been cycled: a unit may be
// left in a RAM program the next run cannot get past. The program says so as such a run ends,
// and says nothing of the kind after an ending a plain rerun finishes.
TEST_F(ProgramTest, AdvisesAPowerCycleOnlyAfterAnEndingThatNeedsOne) {
  constexpr const char* kHint = "Switch the radio off and on, then run tavpatch again.";
  const Finished unreachable = Run({"--simulate=unplugged", "--fast"});
  EXPECT_THAT(unreachable.out, HasSubstr(std::string("Unable to contact radio.\n") + kHint))
      << unreachable.out;
  const Finished noProgram = Run({"--simulate=no-answer", "--fast"});
  EXPECT_THAT(noProgram.out, HasSubstr(std::string(kNoControlHeadProgram) + "\n")) << noProgram.out;
  EXPECT_THAT(noProgram.out, HasSubstr(kHint)) << noProgram.out;
  for (const char* scenario : {"--simulate=both", "--simulate=stops-answering"}) {
    const Finished run = Run({scenario, "--fast"});
    EXPECT_THAT(run.out, Not(HasSubstr(kHint))) << run.out;
  }
}

TEST_F(ProgramTest, PrintsTheStatusAreaAsItChanges) {
  const Finished run = Run({"--simulate", "--fast"});
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  // Headline and status texts in their order, the date codes with the note, progress lines.
  const std::vector<std::string> expected = {
      "Waiting for Radio",
      "Control Head Detected",
      "Please record these date codes in case you need to manually enter them later.",
      "  Core Date Code = 12/15/2000  11:55:38",
      "  Control Date Code = 7/16/2001  9:09:08",
      "Erasing Core OS",
      "Writing Core Program",
      "  100%",
      "Writing to RAM",
      "RAM Application running",
      "Writing Control Head Program",
      "  100%",
      kComplete};
  std::size_t at = 0;
  for (const std::string& line : expected) {
    const auto found = run.out.find(line + "\n", at);
    ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << line << "\n"
                                        << run.out;
    at = found + line.size();
  }
  // Not a terminal: a line every 10 per cent, never a redrawn bar.
  EXPECT_THAT(run.out, Not(HasSubstr("\r")));
  EXPECT_EQ(Count(run.out, "  50%\n"), 5) << run.out;  // three downloads and two flash writes
}

TEST_F(ProgramTest, TypedDateCodesAreCheckedAsTheDialogChecksThem) {
  // Core: a month of 13 is re-asked after OK; then a valid code that is not in the core's list
  // (it is the control head's), declined with Cancel: the core is left alone. Control head: a
  // code not in its list, Retry, then its listed code.
  const Finished run = Run({"--simulate=no-answer", "--fast"},
                           "13/16/2001 09:09:08\n\n"
                           "07/16/2001 09:09:08\nc\n"
                           "12/15/2000 11:55:38\nr\n07/16/2001 09:09:09\n");
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(Count(run.out, "[Enter Date Code] Invalid Date/Time.  Please re-enter."), 1);
  EXPECT_EQ(Count(run.out,
                  "[Sorel Radio] This patch is not compatible with the date code you "
                  "entered.\n"),
            2);
  EXPECT_EQ(Count(run.out, "Enter CORE Date Code (MM/DD/YYYY hh:mm:ss, empty to cancel): "), 2);
  EXPECT_EQ(Count(run.out, "Enter Control Head Date Code (MM/DD/YYYY hh:mm:ss, empty to cancel): "),
            2);
  // Only the control head is written.
  EXPECT_THAT(run.out, Not(HasSubstr("Writing Core Program")));
  EXPECT_THAT(run.out, HasSubstr("Writing Control Head Program"));
  EXPECT_THAT(run.out, HasSubstr(kComplete));
}

TEST_F(ProgramTest, CancelOnTheInvalidDateBoxCancelsTheQuestion) {
  const Finished run = Run({"--simulate=no-answer", "--fast"}, "1/2/3/4\nc\n\n");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(Count(run.out, "Enter CORE Date Code"), 1) << run.out;
  EXPECT_EQ(Count(run.out, "Enter Control Head Date Code"), 1);  // the empty line cancels it
  EXPECT_THAT(run.out, HasSubstr(kNoControlHeadProgram));
}

TEST_F(ProgramTest, CheckIdentifiesWithoutErasing) {
  const std::string trace = scratch_.Path("check.trace");
  const Finished run = Run({"--simulate", "--fast", "--check", "--trace", trace});
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_THAT(run.out, HasSubstr("Core Date Code = 12/15/2000  11:55:38: needs the patch.\n"));
  EXPECT_THAT(run.out, HasSubstr("Control Date Code = 7/16/2001  9:09:08: needs the patch.\n"));
  const std::string wire = ReadFile(trace);
  // No erase command of either unit and no other baud rate than the probe's; the release last.
  EXPECT_THAT(wire, Not(HasSubstr("A7 5C 0E")));
  EXPECT_THAT(wire, Not(HasSubstr("38400")));
  const auto release = wire.rfind("tx-now  4800  01\n");
  ASSERT_NE(release, std::string::npos) << wire;
  EXPECT_EQ(wire.find("tx", release + 1), std::string::npos) << wire;
  EXPECT_THAT(wire.substr(release), HasSubstr("close\n"));
}

TEST_F(ProgramTest, CheckOnARadioThatDoesNotAnswerSendsNothingAfterTheProbe) {
  const std::string trace = scratch_.Path("check.trace");
  const Finished run = Run({"--simulate=no-answer", "--fast", "--check", "--trace", trace});
  EXPECT_EQ(run.exitStatus, 5);
  EXPECT_THAT(run.out, HasSubstr("may be waiting in its ROM monitor"));
  const std::string wire = ReadFile(trace);
  const auto lastProbe = wire.rfind("tx  4800  00 0A 14 28\n");
  ASSERT_NE(lastProbe, std::string::npos) << wire;
  EXPECT_EQ(wire.find("tx", lastProbe + 1), std::string::npos) << wire;

  const Finished foreign = Run({"--simulate=foreign", "--fast", "--check", "--trace", trace});
  EXPECT_EQ(foreign.exitStatus, 4);
  EXPECT_THAT(foreign.out, HasSubstr("This program only works with TAV radios."));
  EXPECT_THAT(ReadFile(trace), HasSubstr("tx-now  4800  01\n"));
}

TEST_F(ProgramTest, RepeatPatchesOneRadioAfterAnother) {
  const Finished run = Run({"--simulate", "--fast", "--repeat"}, "\nq\n");
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  // Each radio is a fresh one of the scenario: both need the patch.
  EXPECT_EQ(Count(run.out, kComplete), 2) << run.out;
  EXPECT_EQ(Count(run.out, "Connect the next radio and press Enter (q to quit)"), 2);
  EXPECT_THAT(run.out, HasSubstr("Radios patched: 2, not required: 0, failed: 0\n"));
}

TEST_F(ProgramTest, RepeatCountsEachOutcomeAndEndsAtEndOfInput) {
  const Finished run = Run({"--simulate=stops-answering", "--fast", "--repeat"}, "\n");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_THAT(run.out, HasSubstr("Radios patched: 0, not required: 0, failed: 2\n"));
  // A control head left in its monitor without a program is a failed radio.
  const Finished unprogrammed = Run({"--simulate=no-answer", "--fast", "--repeat"}, "\n\nq\n");
  EXPECT_EQ(unprogrammed.exitStatus, 1);
  EXPECT_THAT(unprogrammed.out, HasSubstr("Radios patched: 0, not required: 0, failed: 1\n"));
}

TEST_F(ProgramTest, RefusesADeviceThatIsNotATerminalBeforeSendingAnything) {
  const std::string plainFile = scratch_.Path("not-a-port");
  std::ofstream(plainFile) << "x";
  for (const std::string& path : {std::string("/dev/null"), plainFile}) {
    const std::string trace = scratch_.Path("refused.trace");
    const Finished run = Run({"--port", path, "--trace", trace});
    EXPECT_EQ(run.exitStatus, 3) << path;
    EXPECT_THAT(run.err, HasSubstr(path + " is not a serial device (not a terminal)"));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(trace), "");
  }
}

struct UsageCase {
  std::vector<std::string> arguments;
  const char* error;
};

class UsageErrorTest : public ProgramTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(UsageErrorTest, GivesOneLineAndTheUsage) {
  const Finished run = Run(GetParam().arguments);
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.out, "");
  const std::string firstLine = run.err.substr(0, run.err.find('\n'));
  EXPECT_THAT(firstLine, HasSubstr(std::string("tavpatch: ") + GetParam().error));
  EXPECT_THAT(run.err.substr(firstLine.size()), HasSubstr("Usage: tavpatch"));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageErrorTest,
    testing::Values(UsageCase{{"--frobnicate"}, "unknown option '--frobnicate'"},
                    UsageCase{{"COM1"}, "unexpected argument 'COM1' (a port is given with --port)"},
                    UsageCase{{"--port", "COM5"}, "malformed port 'COM5'"},
                    UsageCase{{"--port=COM0"}, "malformed port 'COM0'"},
                    UsageCase{{"--port", "ttyUSB0"}, "malformed port 'ttyUSB0'"},
                    UsageCase{{"--port"}, "--port needs"},
                    UsageCase{{"--trace"}, "--trace needs a file name"},
                    // A forgotten value: --check is not taken as the trace file's name.
                    UsageCase{{"--simulate=both", "--fast", "--trace", "--check"},
                              "--trace needs a value, not the option '--check'"},
                    UsageCase{{"--port", "--simulate"}, "--port needs a value"},
                    UsageCase{{"--simulate=nowhere"}, "unknown scenario 'nowhere'"},
                    UsageCase{{"--simulate="}, "--simulate= needs a scenario name"},
                    UsageCase{{"--fast"}, "--fast works only with --simulate"},
                    UsageCase{{"--simulate", "--port", "COM2"}, "--port and --simulate"}));

TEST_F(ProgramTest, RefusesATraceFileItCannotWrite) {
  const Finished run = Run({"--simulate", "--fast", "--trace", "/nonexistent-dir/trace"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_THAT(run.err, HasSubstr("tavpatch: cannot write the trace file /nonexistent-dir/trace"));
  EXPECT_EQ(run.out, "");
}

TEST_F(ProgramTest, RefusesATraceOnThePortOrItsSettingBeforeSendingAnything) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string slave = ::ptsname(master);
  const int slaveFd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);  // keeps the line up
  const std::string link = scratch_.Path("radio-link");
  ASSERT_EQ(::symlink(slave.c_str(), link.c_str()), 0);
  for (const std::string& trace : {slave, link}) {
    const Finished run = Run({"--port", slave, "--trace", trace});
    EXPECT_EQ(run.exitStatus, 2) << trace;
    EXPECT_EQ(run.err, "tavpatch: the trace file " + trace + " is the serial port " + slave +
                           "; nothing was sent.\n");
  }
  char received[64];
  EXPECT_LT(::read(master, received, sizeof received), 1);  // not a byte reached the radio
  ::close(slaveFd);
  ::close(master);

  // The port setting under another name: refused, and left as it was.
  std::ofstream(portFile_) << "COM2\n";
  const Finished run = Run({"--simulate", "--fast", "--trace", scratch_.Path("./port")});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_THAT(run.err, HasSubstr("is the port setting " + portFile_));
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadFile(portFile_), "COM2\n");
}

TEST_F(ProgramTest, ATraceThatCannotBeWrittenIsToldOnceAndTheRunGoesOn) {
  const Finished run = Run({"--simulate", "--fast", "--trace", "/dev/full"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_THAT(run.out, HasSubstr(kComplete));
  EXPECT_EQ(run.err,
            "tavpatch: cannot write the trace file /dev/full: No space left on device; the run "
            "goes on without it.\n");
}

TEST_F(ProgramTest, ClosedStandardOutputAndErrorDoNotGoIntoTheTrace) {
  // Closed, the program's first file would take descriptor 1: its text would go into the trace
  // here, and down the line to the radio when that file is the port.
  const std::string trace = scratch_.Path("closed.trace");
  const std::string command =
      std::string(TAVPATCH_PATH) + " --simulate --fast --trace " + trace + " >&- 2>&-";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string wire = ReadFile(trace);
  EXPECT_THAT(wire, Not(HasSubstr("Waiting for Radio")));
  EXPECT_THAT(wire, HasSubstr("  close\n"));
}

TEST_F(ProgramTest, AnAbsurdlyLongAnswerIsAMalformedDateCode) {
  const Finished run = Run({"--simulate=no-answer", "--fast"},
                           "12/15/2000 11:55:38" + std::string(1 << 20, ' ') + "\nc\n\n");
  EXPECT_EQ(Count(run.out, "[Enter Date Code] Invalid Date/Time.  Please re-enter."), 1)
      << run.out.substr(0, 4000);
  EXPECT_THAT(run.out, Not(HasSubstr("Writing Core Program")));
}

TEST_F(ProgramTest, InformationOptions) {
  Finished run = Run({"--version"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out, "tavpatch 1.0.0.65\n");

  run = Run({"--help"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_THAT(run.out, HasSubstr("Exit status:"));
  EXPECT_THAT(run.out, HasSubstr("    3  the port could not be opened"));
  EXPECT_THAT(run.out, HasSubstr(portFile_));

  run = Run({"--list-scenarios"});
  EXPECT_EQ(run.exitStatus, 0);
  for (const char* name : {"both ", "core-only", "control-only", "neither", "no-answer", "foreign",
                           "lockout", "noisy", "stops-answering"}) {
    EXPECT_THAT(run.out, HasSubstr(name));
  }
  EXPECT_THAT(run.out, HasSubstr("only the core needs the patch"));
}

}  // namespace
}  // namespace tav::test
