#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>

#include "cli/patch_log.h"

namespace tav {
namespace {

TEST(PatchLogTest, QuotesOnlyTheFieldsThatNeedIt) {
  struct Case {
    const char* text;
    const char* field;
  } cases[] = {
      {"", ""},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"12/15/2000  11:55:38", "12/15/2000  11:55:38"},
      {"/dev/serial/by-id/a,b", "\"/dev/serial/by-id/a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\r", "\"cr\r\""},
  };
  for (const Case& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.text;
}

TEST(PatchLogTest, TimeIsLocalWithItsOffset) {
  const std::string saved = std::getenv("TZ") != nullptr ? std::getenv("TZ") : "";
  struct Case {
    const char* zone;  // POSIX zone strings: no time zone database needed
    const char* time;
  } cases[] = {
      {"UTC0", "2001-07-16T09:09:08+00:00"},
      {"CET-1", "2001-07-16T10:09:08+01:00"},
      {"NST3:30", "2001-07-16T05:39:08-03:30"},
  };
  for (const Case& c : cases) {
    ::setenv("TZ", c.zone, 1);
    ::tzset();
    EXPECT_EQ(LocalIsoTime(995274548), c.time) << c.zone;
  }
  if (saved.empty()) {
    ::unsetenv("TZ");
  } else {
    ::setenv("TZ", saved.c_str(), 1);
  }
  ::tzset();
}

TEST(PatchLogTest, LineNamesWhatWasDoneAndWhereTheCodesCameFrom) {
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  PatchLogEntry entry;
  entry.started = 995274548;
  entry.port = "/dev/ttyUSB0";
  entry.report.outcome = PatchOutcome::Stopped;
  entry.report.core = {"Core Date Code = 12/15/2000  11:55:38", true, UnitWork::Failed, true};
  entry.report.control = {"", false, UnitWork::Skipped, false};
  entry.typedControl = 0x2449F02A;  // typed, since the control head gave no code
  entry.seconds = 12.34;
  EXPECT_EQ(PatchLogLine(entry, "1.0.0.65"),
            "2001-07-16T09:09:08+00:00,/dev/ttyUSB0,12/15/2000  11:55:38,typed:7/16/2001  "
            "9:09:08,failed,skipped,stopped,12.3,1.0.0.65\r\n");

  entry.report.outcome = PatchOutcome::NoContact;
  entry.report.core = {};
  entry.typedControl.reset();
  EXPECT_EQ(PatchLogLine(entry, "1.0.0.65"),
            "2001-07-16T09:09:08+00:00,/dev/ttyUSB0,,,not-required,skipped,no-contact,12.3,"
            "1.0.0.65\r\n");
  ::unsetenv("TZ");
  ::tzset();
}

TEST(PatchLogTest, ALogThatCannotBeOpenedIsReportedOnceAndWritesNothing) {
  std::ostringstream err;
  PatchLog log("/nonexistent-folder/log.csv", err);
  log.Append("line\r\n");
  log.Append("line\r\n");
  EXPECT_EQ(err.str(),
            "tavpatch: cannot write the patch log /nonexistent-folder/log.csv: No such file or "
            "directory; the runs go on without it\n");
}

TEST(PatchLogTest, ATerminalIsNoLogSinceItMayBeTheRadiosPort) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string slave = ::ptsname(master);
  std::ostringstream err;
  {
    PatchLog log(slave, err);
    log.Append("line\r\n");
  }
  ::fcntl(master, F_SETFL, O_NONBLOCK);
  char received[16];
  EXPECT_LT(::read(master, received, sizeof received), 1);  // nothing reached the line
  ::close(master);
  EXPECT_EQ(err.str(), "tavpatch: cannot write the patch log " + slave +
                           ": it is a terminal device; the runs go on without it\n");
}

}  // namespace
}  // namespace tav
