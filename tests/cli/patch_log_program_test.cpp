// --log over whole runs of the program: one line per radio, as each radio ends.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "child_process.h"

namespace tav::test {
namespace {

using testing::HasSubstr;

constexpr const char* kHeader =
    "time,port,core_code,control_code,core,control,outcome,seconds,version\r\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at) + " (no CR LF)");
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

class PatchLogProgramTest : public testing::Test {
 protected:
  Finished Run(const std::vector<std::string>& arguments, std::string_view input) {
    return RunTavpatch(arguments, input, scratch_.Path("port"));
  }
  ScratchDirectory scratch_;
  const std::string log_ = scratch_.Path("depot.csv");
};

TEST_F(PatchLogProgramTest, RepeatLogsOneLinePerRadio) {
  const Finished run =
      Run({"--simulate", "--fast", "--repeat", "--log", log_}, "\n\nq\n");  // three radios
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string text = ReadFile(log_);
  ASSERT_EQ(text.substr(0, std::string(kHeader).size()), kHeader);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 4u) << text;
  const std::regex radio(
      R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d,simulated:both,12/15/2000  11:55:38,)"
      R"(7/16/2001  9:09:08,patched,patched,complete,\d+\.\d,1\.0\.0\.65)");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], radio)) << lines[i];
  }

  // A later start appends to the log without a second header; typed codes say so.
  Run({"--simulate=no-answer", "--fast", "--log", log_},
      "7/13/2000 11:36:28\n07/16/2001 09:09:08\n");
  Run({"--simulate=stops-answering", "--fast", "--log", log_}, "");
  const std::vector<std::string> more = Lines(ReadFile(log_));
  ASSERT_EQ(more.size(), 6u);
  EXPECT_THAT(more[4], HasSubstr(",simulated:no-answer,typed:7/13/2000  11:36:28,typed:7/16/2001 "
                                 " 9:09:08,patched,patched,complete,"));
  EXPECT_TRUE(std::regex_search(more[5], std::regex(",simulated:stops-answering,.*,failed,")))
      << more[5];
}

TEST_F(PatchLogProgramTest, ARunThatNeverOpenedThePortIsNotLogged) {
  const Finished run = Run({"--port", "/dev/tavpatch-no-such-device", "--log", log_}, "");
  EXPECT_EQ(run.exitStatus, 3);
  EXPECT_EQ(ReadFile(log_), "");
}

TEST_F(PatchLogProgramTest, ALogThatCannotBeWrittenIsToldOnceAndStopsNoPatch) {
  for (const std::string& log : {std::string("/dev/full"), scratch_.Path("no-folder/log.csv")}) {
    const Finished run = Run({"--simulate", "--fast", "--repeat", "--log", log}, "\n\nq\n");
    EXPECT_EQ(run.exitStatus, 0) << log;
    EXPECT_THAT(run.out, HasSubstr("Radios patched: 3, not required: 0, failed: 0")) << log;
    EXPECT_THAT(run.err, testing::StartsWith("tavpatch: cannot write the patch log " + log + ": "));
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;  // one line
  }
}

}  // namespace
}  // namespace tav::test
