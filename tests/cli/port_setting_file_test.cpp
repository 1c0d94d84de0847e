#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "cli/port_setting_file.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

class PortSettingFileTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavpatch-port-XXXXXX";
    directory_ = ::mkdtemp(pattern);
    path_ = directory_ + "/port";
    ::setenv("TAVPATCH_PORT_FILE", path_.c_str(), 1);
  }
  void TearDown() override {
    fs::remove_all(directory_);
    ::unsetenv("TAVPATCH_PORT_FILE");
    ::unsetenv("XDG_CONFIG_HOME");
  }
  void Store(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
  static std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  std::string directory_, path_;
};

TEST_F(PortSettingFileTest, RoundTripsComNamesAndDevicePaths) {
  const PortChoice choices[] = {
      {1, {}},
      {4, {}},
      {0, "/dev/ttyUSB0"},
      {0, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0"},
      {0, "/dev/cu.usbserial-1 (bench 2)"},
  };
  for (const PortChoice& choice : choices) {
    ASSERT_TRUE(SavePortChoice(choice)) << choice.devicePath;
    const LoadedPortSetting loaded = LoadPortChoice();
    EXPECT_EQ(loaded.choice.number, choice.number);
    EXPECT_EQ(loaded.choice.devicePath, choice.devicePath);
    EXPECT_EQ(loaded.warning, "");
  }
  EXPECT_EQ(Contents(path_), "/dev/cu.usbserial-1 (bench 2)\n");
}

TEST_F(PortSettingFileTest, AnythingButOnePortReadsAsComOneWithOneWarning) {
  struct Case {
    std::optional<std::string> file;
    int number;
    const char* devicePath;
    bool warned;
  } cases[] = {
      {std::nullopt, 1, "", false},  // a first start
      {"COM3", 3, "", false},
      {"com2\n", 2, "", false},
      {"/dev/ttyACM0\n", 0, "/dev/ttyACM0", false},
      {"", 1, "", true},
      {"\n", 1, "", true},
      {std::string(1, '\3'), 1, "", true},  // the one byte of the machine-wide setting
      {"COM5\n", 1, "", true},
      {"ttyUSB0\n", 1, "", true},
      {"/dev/ttyUSB0\n/dev/ttyUSB1\n", 1, "", true},
      {"/dev/ttyUSB0\r\n", 1, "", true},
      {std::string("/dev/tty\0USB0", 12), 1, "", true},
      {"/" + std::string(5000, 'x'), 1, "", true},
      {"\x89PNG\r\n\x1a\n\xff\xfe", 1, "", true},
  };
  for (const Case& c : cases) {
    std::remove(path_.c_str());
    if (c.file) Store(*c.file);
    const LoadedPortSetting loaded = LoadPortChoice();
    const std::string label = c.file ? "file of size " + std::to_string(c.file->size()) : "none";
    EXPECT_EQ(loaded.choice.number, c.number) << label;
    EXPECT_EQ(loaded.choice.devicePath, c.devicePath) << label;
    if (c.warned) {
      EXPECT_EQ(loaded.warning, "tavpatch: the port setting " + path_ +
                                    " holds no port (COM1 to COM4 or a device path); using COM1")
          << label;
    } else {
      EXPECT_EQ(loaded.warning, "") << label;
    }
  }
}

TEST_F(PortSettingFileTest, AFolderInPlaceOfTheFileIsReportedAndReadsAsComOne) {
  fs::create_directory(path_);
  const LoadedPortSetting loaded = LoadPortChoice();
  EXPECT_EQ(loaded.choice.number, 1);
  EXPECT_EQ(loaded.warning, "tavpatch: the port setting " + path_ + " cannot be read; using COM1");
}

TEST_F(PortSettingFileTest, LivesInTheUsersConfigurationFolder) {
  ::unsetenv("TAVPATCH_PORT_FILE");
  ::setenv("XDG_CONFIG_HOME", (directory_ + "/config").c_str(), 1);
  EXPECT_EQ(PortSettingPath(), directory_ + "/config/tavpatch/port");
  ASSERT_TRUE(SavePortChoice({0, "/dev/ttyUSB1"}));  // the folders are made as needed
  EXPECT_EQ(Contents(directory_ + "/config/tavpatch/port"), "/dev/ttyUSB1\n");
  EXPECT_EQ(fs::status(directory_ + "/config/tavpatch").permissions() & fs::perms::all,
            fs::perms::owner_all);

  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  ::setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: not used
  ::setenv("HOME", directory_.c_str(), 1);
  EXPECT_EQ(PortSettingPath(), directory_ + "/.config/tavpatch/port");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(PortSettingPath(), directory_ + "/.config/tavpatch/port");
  ::setenv("HOME", home.c_str(), 1);
}

TEST_F(PortSettingFileTest, WritingFollowsNoLinkAndLeavesNothingBehind) {
  const std::string victim = directory_ + "/victim";
  std::ofstream(victim) << "keep me";
  fs::create_symlink(victim, path_ + ".new");
  fs::create_symlink(victim, path_ + ".tmp");

  ASSERT_TRUE(SavePortChoice({2, {}}));
  EXPECT_EQ(Contents(victim), "keep me");
  EXPECT_EQ(Contents(path_), "COM2\n");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path_)));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(directory_)) ++entries;
  EXPECT_EQ(entries, 4);  // victim, the two links and the setting: no temporary file left

  // A setting that is itself a link is replaced, not written through.
  fs::remove(path_);
  fs::create_symlink(victim, path_);
  ASSERT_TRUE(SavePortChoice({3, {}}));
  EXPECT_EQ(Contents(victim), "keep me");
  EXPECT_EQ(Contents(path_), "COM3\n");
}

TEST_F(PortSettingFileTest, FailsWithoutWritingWhereItCannot) {
  ::setenv("TAVPATCH_PORT_FILE", (directory_ + "/missing-folder/port").c_str(), 1);
  EXPECT_FALSE(SavePortChoice({3, {}}));  // a redirected setting's folder is not made
  EXPECT_FALSE(fs::exists(directory_ + "/missing-folder"));

  ::setenv("TAVPATCH_PORT_FILE", path_.c_str(), 1);
  // Neither a path that would not read back as one line nor a relative one is kept.
  EXPECT_FALSE(SavePortChoice({0, "/dev/ttyUSB0\nCOM2"}));
  EXPECT_FALSE(SavePortChoice({0, "dev/ttyUSB0"}));
  EXPECT_FALSE(fs::exists(path_));
}

}  // namespace
}  // namespace tav
