// The port given with --port is the one the next start uses, whatever form it was given in.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "child_process.h"

namespace tav::test {
namespace {

using testing::EndsWith;
using testing::StartsWith;

TEST(PortSettingProgramTest, ThePortGivenIsUsedAtTheNextStart) {
  ScratchDirectory scratch;
  const std::string portFile = scratch.Path("port");
  std::ofstream(portFile) << "/dev/tavpatch-no-such-device\n";
  // A remembered port that names no device is reported as the Windows program reports it, on
  // standard error with the command line's other errors.
  Finished run = RunTavpatch({}, "", portFile);
  EXPECT_EQ(run.exitStatus, 3);
  EXPECT_EQ(
      run.err,
      "[COMM ERROR] Unable to open /dev/tavpatch-no-such-device\n             Port unavailable.\n");
  EXPECT_EQ(run.out, "");

  // A relative path is kept as an absolute one, so that it holds from any folder.
  run = RunTavpatch({"--port", "tavpatch-no-such-dir/ttyUSB9"}, "", portFile);
  EXPECT_EQ(run.exitStatus, 3);
  const std::string kept = ReadFile(portFile);
  EXPECT_THAT(kept, StartsWith("/"));
  EXPECT_THAT(kept, EndsWith("/tavpatch-no-such-dir/ttyUSB9\n"));

  run = RunTavpatch({}, "", portFile);
  EXPECT_EQ(run.exitStatus, 3);
  EXPECT_EQ(run.err, "[COMM ERROR] Unable to open " + kept.substr(0, kept.size() - 1) +
                         "\n             Port unavailable.\n");

  // A port refused before anything is sent is not remembered.
  run = RunTavpatch({"--port", "/dev/null"}, "", portFile);
  EXPECT_EQ(run.exitStatus, 3);
  EXPECT_EQ(ReadFile(portFile), kept);
}

}  // namespace
}  // namespace tav::test
