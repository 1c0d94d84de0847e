// The trace file is refused when it is the serial port or the port setting under any name.

#include "cli/trace_target.h"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tav {
namespace {

using testing::HasSubstr;

class TraceTargetTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavpatch-trace-XXXXXX";
    directory_ = ::mkdtemp(pattern);
    std::ofstream(Path("device")) << "";
    ::symlink(Path("device").c_str(), Path("device-link").c_str());
  }
  void TearDown() override {
    for (const char* name : {"device", "device-link", "port", "other"}) {
      ::unlink(Path(name).c_str());
    }
    ::rmdir(directory_.c_str());
  }
  std::string Path(const std::string& name) const { return directory_ + "/" + name; }
  std::optional<std::string> Refusal(const std::string& trace) const {
    return TraceTargetRefusal(trace, Path("device"), Path("port"));
  }

  std::string directory_;
};

TEST_F(TraceTargetTest, RefusesThePortDeviceUnderAnyName) {
  for (const std::string& name :
       {Path("device"), Path("device-link"), directory_ + "/./device", directory_ + "//device"}) {
    const auto refusal = Refusal(name);
    ASSERT_TRUE(refusal) << name;
    EXPECT_EQ(*refusal, "the trace file " + name + " is the serial port " + Path("device"));
  }
}

TEST_F(TraceTargetTest, RefusesThePortSettingWhetherOrNotItExistsYet) {
  const std::string otherName =
      directory_ + "/../" + directory_.substr(directory_.rfind('/') + 1) + "/port";
  for (bool exists : {false, true}) {
    if (exists) std::ofstream(Path("port")) << '\1';
    for (const std::string& name : {Path("port"), otherName}) {
      const auto refusal = Refusal(name);
      ASSERT_TRUE(refusal) << name << (exists ? " (present)" : " (missing)");
      EXPECT_THAT(*refusal, HasSubstr("is the port setting " + Path("port")));
    }
  }
}

TEST_F(TraceTargetTest, TakesAnyOtherFile) {
  EXPECT_EQ(Refusal(Path("other")), std::nullopt);
  std::ofstream(Path("other")) << "an old trace";
  EXPECT_EQ(Refusal(Path("other")), std::nullopt);
  // Without a port device (the simulated radio) only the setting is refused.
  EXPECT_EQ(TraceTargetRefusal(Path("device"), std::nullopt, Path("port")), std::nullopt);
  EXPECT_EQ(Refusal("/nonexistent-folder/trace"), std::nullopt);
}

}  // namespace
}  // namespace tav
