// Ctrl-C is the terminal's close request: the run winds down as when the main window is
// closed, the port is closed at the end, and the exit status says so. These runs are on the
// simulated radio at its real pace, so that there is a download and a flash write to
// interrupt.

#include <signal.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "child_process.h"

namespace tav::test {
namespace {

using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;

constexpr int kInterrupted = 6;

class InterruptTest : public testing::Test {
 protected:
  std::string Trace() const { return ReadFile(trace_); }

  ScratchDirectory scratch_;
  const std::string trace_ = scratch_.Path("run.trace");
  const std::string portFile_ = scratch_.Path("port");
};

void ExpectNoFailureReported(const Finished& run) {
  for (const char* message : {"Radio has stopped responding.", "No response from",
                              "Flash Write complete.", "CPU security lock out."}) {
    EXPECT_THAT(run.out, Not(HasSubstr(message)));
  }
  EXPECT_THAT(run.err,
              HasSubstr("tavpatch: stopping the run; press Ctrl-C again to quit at once."));
}

TEST_F(InterruptTest, DuringAFlashWriteTheUnitSequencesStopWithoutAMessage) {
  ChildProcess program({"--simulate", "--trace", trace_}, portFile_);
  ASSERT_TRUE(program.WaitForOutput("Writing Core Program\n  10%\n")) << program.OutputSoFar();
  program.Signal(SIGINT);
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, kInterrupted) << run.out << run.err;
  ExpectNoFailureReported(run);
  // The control head's sequence sends its security bytes and stops before its download.
  EXPECT_THAT(run.out, Not(HasSubstr("Writing to RAM")));
  // Both units are left erased: the core by its own sequence, the control head before the
  // relay went in. The output says so on lines of their own.
  EXPECT_THAT(run.out,
              EndsWith("\nThe core and the control head were erased and not rewritten: they have "
                       "no working program.\nRun tavpatch again and, when asked, enter the date "
                       "codes printed above.\n"));
  // The core's closing break, the control head's eight security bytes, the port closed.
  const std::string wire = Trace();
  const auto breakOff = wire.rfind("break-off\n");
  ASSERT_NE(breakOff, std::string::npos) << wire;
  std::string after = wire.substr(breakOff);
  int securityBytes = 0;
  for (auto at = after.find("tx-now  9600  FF\n"); at != std::string::npos;
       at = after.find("tx-now  9600  FF\n", at + 1)) {
    ++securityBytes;
  }
  EXPECT_EQ(securityBytes, 8) << after;
  EXPECT_THAT(after, Not(HasSubstr("tx  ")));
  EXPECT_THAT(wire, EndsWith("  close\n"));
}

TEST_F(InterruptTest, DuringADownloadTheRequestIsTakenBeforeTheCoresErase) {
  ChildProcess program({"--simulate", "--trace", trace_}, portFile_);
  // The talk-through download dispatches nothing: the request is let through right before the
  // core's erase command, which then never goes out.
  ASSERT_TRUE(program.WaitForOutput("Control Head Detected\n")) << program.OutputSoFar();
  ASSERT_TRUE(program.WaitForOutput("  10%\n")) << program.OutputSoFar();
  program.Signal(SIGINT);
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, kInterrupted) << run.out << run.err;
  ExpectNoFailureReported(run);
  EXPECT_THAT(run.out, Not(HasSubstr("Erasing Core OS")));
  EXPECT_THAT(run.out, Not(HasSubstr("Writing to RAM")));
  EXPECT_THAT(run.out, EndsWith("\nThe control head was erased and not rewritten: it has no "
                                "working program.\nRun tavpatch again and, when asked, enter the "
                                "date codes printed above.\n"));
  const std::string wire = Trace();
  EXPECT_THAT(wire, Not(HasSubstr("20 A7 5C 0E C6")));
  EXPECT_THAT(wire, Not(HasSubstr("38400")));
  EXPECT_THAT(wire, EndsWith("  close\n"));
}

// A shutdown and a closed terminal are stop requests too: they no longer kill the program in
// the middle of a flash write.
class ShutdownTest : public InterruptTest, public testing::WithParamInterface<int> {};

TEST_P(ShutdownTest, DuringAFlashWriteTheRunWindsDownAsOnCtrlC) {
  ChildProcess program({"--simulate", "--trace", trace_}, portFile_);
  ASSERT_TRUE(program.WaitForOutput("Writing Core Program\n  10%\n")) << program.OutputSoFar();
  program.Signal(GetParam());
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, kInterrupted) << run.out << run.err;
  ExpectNoFailureReported(run);
  EXPECT_THAT(run.out, Not(HasSubstr("Writing to RAM")));
  EXPECT_THAT(Trace(), EndsWith("  close\n"));
}

INSTANTIATE_TEST_SUITE_P(Signals, ShutdownTest, testing::Values(SIGTERM, SIGHUP));

struct SecondRequest {
  int first, second;
  int exitStatus;  // a shell's status for a program this signal ended
};

class SecondRequestTest : public InterruptTest,
                          public testing::WithParamInterface<SecondRequest> {};

TEST_P(SecondRequestTest, QuitsAtOnce) {
  ChildProcess program({"--simulate", "--trace", trace_}, portFile_);
  ASSERT_TRUE(program.WaitForOutput("Control Head Detected\n")) << program.OutputSoFar();
  program.Signal(GetParam().first);
  // Signals sent together may arrive as one: the second goes once the first is noted.
  ASSERT_TRUE(program.WaitForError("stopping the run"));
  program.Signal(GetParam().second);
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, GetParam().exitStatus);
  EXPECT_THAT(run.out, Not(HasSubstr("Flash Write complete.")));
  // Nothing was closed in order, yet the trace holds every event up to the end, line by line.
  const std::string wire = Trace();
  EXPECT_THAT(wire, HasSubstr("  rx  4800  22\n"));
  EXPECT_THAT(wire, EndsWith("\n"));
  EXPECT_THAT(wire, Not(HasSubstr("close")));
}

INSTANTIATE_TEST_SUITE_P(Signals, SecondRequestTest,
                         testing::Values(SecondRequest{SIGINT, SIGINT, 130},
                                         SecondRequest{SIGTERM, SIGTERM, 143},
                                         SecondRequest{SIGINT, SIGHUP, 129}));

TEST_F(InterruptTest, AtADateCodePromptTheQuestionIsCancelledAndNoOtherIsAsked) {
  ChildProcess program({"--simulate=no-answer", "--fast", "--trace", trace_}, portFile_);
  ASSERT_TRUE(program.WaitForOutput("Enter CORE Date Code")) << program.OutputSoFar();
  program.Signal(SIGINT);
  const Finished run = program.Wait();
  EXPECT_EQ(run.exitStatus, kInterrupted) << run.out << run.err;
  EXPECT_THAT(run.out, Not(HasSubstr("Enter Control Head Date Code")));
  // The control head stays in its monitor without a program: never "not required".
  EXPECT_THAT(run.out, Not(HasSubstr("Patch not required")));
  EXPECT_THAT(run.out, HasSubstr("The control head has no working program and was not patched."));
  EXPECT_THAT(run.out, HasSubstr("\nThe control head was erased and not rewritten"));
  EXPECT_THAT(Trace(), EndsWith("  close\n"));
}

}  // namespace
}  // namespace tav::test
