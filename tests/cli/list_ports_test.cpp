// --list-ports over a made-up machine: a sysfs and /dev tree with an on-board port, a port
// without a UART behind it, a USB adapter with its by-id name, and ttys that are no ports.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "child_process.h"

namespace tav::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kById = "usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0";

class ListPortsTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string usb = "sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
    Write(usb + "/idVendor", "0403\n");
    Write(usb + "/idProduct", "6001\n");
    Write(usb + "/manufacturer", "FTDI\n");
    Write(usb + "/product", "FT232R USB UART\n");
    Write(usb + "/serial", "A6008isP\n");
    Tty("ttyUSB0", usb + "/1-2:1.0/ttyUSB0", "");
    Tty("ttyS0", "sys/devices/platform/serial8250/serial8250:0.0", "4\n");
    Tty("ttyS1", "sys/devices/platform/serial8250/serial8250:0.1", "0\n");       // no UART
    Tty("ttyACM0", "sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0", "");  // no node
    fs::create_directories(Root("sys/devices/virtual/tty/tty0"));  // no device behind it
    fs::create_directory_symlink("../../devices/virtual/tty/tty0", Root("sys/class/tty/tty0"));
    for (const char* node : {"dev/ttyS0", "dev/ttyS1", "dev/ttyUSB0", "dev/tty0"}) Write(node, "");
    fs::create_directories(Root("dev/serial/by-id"));
    fs::create_symlink("../../ttyUSB0", Root(std::string("dev/serial/by-id/") + kById));
    ::setenv("TAVPATCH_SYSTEM_ROOT", Root("").c_str(), 1);
  }
  void TearDown() override { ::unsetenv("TAVPATCH_SYSTEM_ROOT"); }

  std::string Root(const std::string& path) const { return scratch_.Path("root/" + path); }
  void Write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(Root(path)).parent_path());
    std::ofstream(Root(path)) << text;
  }
  // A tty as the kernel shows it: its folder under the device it belongs to, with a device
  // link back up, and its entry in /sys/class/tty.
  void Tty(const std::string& name, const std::string& device, const std::string& type) {
    const std::string folder = device + "/tty/" + name;
    fs::create_directories(Root(folder));
    fs::create_directory_symlink("../..", Root(folder + "/device"));
    if (!type.empty()) Write(folder + "/type", type);
    fs::create_directories(Root("sys/class/tty"));
    fs::create_directory_symlink("../../" + folder.substr(4), Root("sys/class/tty/" + name));
  }
  Finished List(const std::string& remembered) {
    std::ofstream(portFile_) << remembered;
    return RunTavpatch({"--list-ports"}, "", portFile_);
  }

  ScratchDirectory scratch_;
  const std::string portFile_ = scratch_.Path("port");
};

TEST_F(ListPortsTest, ShowsEachPortWithWhatItIsAndMarksTheRememberedOne) {
  const std::string ports =
      "/dev/ttyS0  (COM1)  on-board serial port\n"
      "/dev/ttyUSB0  USB adapter FTDI FT232R USB UART, serial A6008isP (0403:6001)";
  const std::string alias = std::string("    /dev/serial/by-id/") + kById;
  struct Case {
    std::string remembered;
    std::string listing;
  } cases[] = {
      {"COM1\n",
       "/dev/ttyS0  (COM1)  on-board serial port  <- remembered\n"
       "/dev/ttyUSB0  USB adapter FTDI FT232R USB UART, serial A6008isP (0403:6001)\n" +
           alias + "\n"},
      {"/dev/ttyUSB0\n", ports + "  <- remembered\n" + alias + "\n"},
      {"/dev/serial/by-id/" + std::string(kById) + "\n",
       ports + "\n" + alias + "  <- remembered\n"},
      {"COM3\n",
       ports + "\n" + alias + "\nThe remembered port COM3 (/dev/ttyS2) is not present.\n"},
  };
  for (const Case& c : cases) {
    const Finished run = List(c.remembered);
    EXPECT_EQ(run.exitStatus, 0) << c.remembered;
    EXPECT_EQ(run.out, c.listing) << c.remembered;
    EXPECT_EQ(run.err, "") << c.remembered;
  }
}

TEST_F(ListPortsTest, AMachineWithoutPortsSaysSo) {
  fs::remove_all(Root("sys/class/tty"));
  const Finished run = List("garbage");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out,
            "No serial ports found.\nThe remembered port COM1 (/dev/ttyS0) is not present.\n");
  EXPECT_EQ(run.err, "tavpatch: the port setting " + portFile_ +
                         " holds no port (COM1 to COM4 or a device path); using COM1\n");
}

}  // namespace
}  // namespace tav::test
