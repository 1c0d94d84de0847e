#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>

#include "cli/watched_port.h"

namespace tav {
namespace {

using testing::HasSubstr;

// A device that opens as told and whose reads and writes fail with a given error.
struct FailingDevice {
  OpenFailure openFailure = OpenFailure::None;
  int ioError = 0;  // errno of a failed read or write; 0 for a healthy line
};

class FailingPort final : public Port {
 public:
  explicit FailingPort(int error) : error_(error) {}
  bool SetBaud(std::uint32_t) override { return true; }
  OpenFailure SetQueueSizes(std::size_t, std::size_t) override { return OpenFailure::None; }
  void SetEventMaskAll() override {}
  bool Write(const std::uint8_t*, std::size_t) override { return Fail(); }
  bool TransmitImmediate(std::uint8_t) override { return Fail(); }
  std::size_t Read(std::uint8_t*, std::size_t, Millis) override {
    Fail();
    return 0;
  }
  void PurgeReceive() override {}
  void SetBreak(bool) override {}

 private:
  bool Fail() {
    if (error_ != 0) errno = error_;
    return error_ == 0;
  }
  int error_;
};

class FailingOpener final : public PortOpener {
 public:
  explicit FailingOpener(const FailingDevice& device) : device_(device) {}
  OpenResult Open(const std::string&) override {
    if (device_.openFailure != OpenFailure::None) return {nullptr, device_.openFailure};
    return {std::make_unique<FailingPort>(device_.ioError), OpenFailure::None};
  }

 private:
  const FailingDevice& device_;
};

TEST(WatchedPortTest, TellsOfAPortThatVanishedOrMayNotBeOpened) {
  FailingDevice device;
  WatchedPortOpener ports(std::make_unique<FailingOpener>(device));
  auto useOnce = [&ports](const std::string& path) {
    OpenResult opened = ports.Open(path);
    if (opened.port) {
      std::uint8_t byte = 0;
      opened.port->Write(&byte, 1);
      opened.port->Read(&byte, 1, Millis(500));
    }
    return ports.TakeAdvice();
  };
  const std::string gone =
      "tavpatch: /dev/null is gone: it went away during the run (an adapter unplugged?). "
      "Connect it again before the next run.\n";

  // /dev/null stands for a device that is still there, so only the errors tell.
  struct Case {
    FailingDevice device;
    std::string advice;
  } cases[] = {
      {{OpenFailure::None, 0}, ""},        {{OpenFailure::None, EAGAIN}, ""},
      {{OpenFailure::None, EIO}, gone},    {{OpenFailure::None, ENXIO}, gone},
      {{OpenFailure::None, ENODEV}, gone}, {{OpenFailure::Unavailable, 0}, ""},
      {{OpenFailure::InUse, 0}, ""},
  };
  for (const Case& c : cases) {
    device = c.device;
    EXPECT_EQ(useOnce("/dev/null"), c.advice) << c.device.ioError;
  }

  // A device path that is gone after the run was opened, so it went away.
  device = {OpenFailure::None, 0};
  EXPECT_EQ(useOnce("/dev/tavpatch-vanished"),
            "tavpatch: /dev/tavpatch-vanished is gone: it went away during the run (an adapter "
            "unplugged?). Connect it again before the next run.\n");
  // Nothing is said about a port that never opened.
  device = {OpenFailure::Unavailable, 0};
  EXPECT_EQ(useOnce("/dev/tavpatch-vanished"), "");

  device = {OpenFailure::PermissionDenied, 0};
  EXPECT_THAT(useOnce("/dev/null"), HasSubstr("you are not allowed to open /dev/null"));
  EXPECT_EQ(ports.TakeAdvice(), "");  // said once
}

TEST(WatchedPortTest, PermissionAdviceNamesTheGroupToJoin) {
#if defined(__APPLE__)
  const std::string join = "  sudo dseditgroup -o edit -a $USER -t user dialout\n";
#else
  const std::string join = "  sudo adduser $USER dialout\n";
#endif
  EXPECT_EQ(PermissionAdvice("/dev/ttyUSB0", "dialout"),
            "tavpatch: you are not allowed to open /dev/ttyUSB0.\n"
            "It belongs to the group dialout; add yourself to that group with\n" +
                join + "then log out and log in again (a new group counts from the next login).\n");
  for (const char* noGroup : {"", "root"}) {
    EXPECT_EQ(PermissionAdvice("/dev/ttyS0", noGroup),
              "tavpatch: you are not allowed to open /dev/ttyS0.\n"
              "Ask whoever looks after this machine to give you access to it.\n");
  }
}

}  // namespace
}  // namespace tav
