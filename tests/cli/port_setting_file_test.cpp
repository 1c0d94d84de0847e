#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "cli/port_setting_file.h"
#include "run/port_setting.h"

namespace tav {
namespace {

class PortSettingFileTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavpatch-port-XXXXXX";
    directory_ = ::mkdtemp(pattern);
    path_ = directory_ + "/port";
    ::setenv("TAVPATCH_PORT_FILE", path_.c_str(), 1);
  }
  void TearDown() override {
    std::remove(path_.c_str());
    std::remove(directory_.c_str());
    ::unsetenv("TAVPATCH_PORT_FILE");
  }
  void Store(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }

  std::string directory_, path_;
};

TEST_F(PortSettingFileTest, ReadsOneByteAndAnythingElseAsPortOne) {
  struct Case {
    std::optional<std::string> file;
    int port;
  } cases[] = {{std::nullopt, 1},         {std::string(1, '\3'), 3}, {std::string(1, '\xFF'), 255},
               {std::string(1, '\0'), 0}, {std::string(""), 1},      {std::string("\2\3"), 1}};
  for (const Case& c : cases) {
    std::remove(path_.c_str());
    if (c.file) Store(*c.file);
    EXPECT_EQ(LoadPortSetting(), c.port)
        << (c.file ? "size " + std::to_string(c.file->size()) : "missing");
  }
}

TEST_F(PortSettingFileTest, StoresTheLowByteAndFailsQuietlyWhereItCannotWrite) {
  EXPECT_EQ(PortSettingPath(), path_);
  EXPECT_EQ(SavePortSetting(4), 0);
  EXPECT_EQ(LoadPortSetting(), 4);
  EXPECT_EQ(SavePortSetting(0x102), 0);
  EXPECT_EQ(LoadPortSetting(), 2);

  ::setenv("TAVPATCH_PORT_FILE", (directory_ + "/missing-directory/port").c_str(), 1);
  EXPECT_EQ(SavePortSetting(3), -1);
  EXPECT_EQ(LoadPortSetting(), 1);
}

}  // namespace
}  // namespace tav
