// The real program without a radio: the intro, the main window's idle layout, the port
// buttons, the keyboard, and the port setting in the registry.

#include <gtest/gtest.h>

#include <array>

#include "resources/dialog_ids.h"
#include "tests/app/gui_driver.h"
#include "tests/link/com_device_present.h"

namespace tav::gui {
namespace {

constexpr char kCaption[] = "TAV Patch  4410-2210(7|8)-001";
constexpr int kPortButtons[] = {IDC_PORT_COMM1, IDC_PORT_COMM2, IDC_PORT_COMM3, IDC_PORT_COMM4};
constexpr int kStatusArea[] = {IDC_HEADLINE,  IDC_PERCENT,   IDC_STATUS_LINE, IDC_PROGRESS,
                               IDC_CORE_DATE, IDC_DATE_NOTE, IDC_CONTROL_DATE};

HWND OpenMainWindow(RunningProgram& program) {
  HWND intro = WaitForDialog(program.Id(), kCaption, IDC_INTRO_TEXT);
  if (intro == nullptr) return nullptr;
  Click(intro, IDOK);
  return WaitForDialog(program.Id(), kCaption, IDC_PROGRAM);
}

// The buttons checked, as ids.
std::vector<int> CheckedPorts(HWND window) {
  std::vector<int> checked;
  for (int id : kPortButtons) {
    if (ItemChecked(window, id)) checked.push_back(id);
  }
  return checked;
}

void CloseAndWait(RunningProgram& program, HWND window) {
  Close(window);
  ASSERT_TRUE(program.WaitForExit(10s));
}

TEST(Startup, FirstStartShowsTheIntroThenAnIdleWindowOnComm1AndSavesIt) {
  DeletePortSetting();
  RunningProgram program(ProgramPath());
  ASSERT_TRUE(program.Started());

  HWND intro = WaitForDialog(program.Id(), kCaption, IDC_INTRO_TEXT);
  ASSERT_NE(intro, nullptr);
  EXPECT_EQ(ItemText(intro, IDC_INTRO_TEXT),
            "TAV Patch\n\nThis program installs a firmware patch into the Core and Control Head "
            "processors of TAV radios.\n\nNot all radios require this patch.  This program will "
            "check the date code of the existing firmware to determine if the patch is "
            "required.  Only those radios requiring the patch will be updated.");
  EXPECT_EQ(GetWindow(intro, GW_OWNER), nullptr);
  EXPECT_EQ(GetWindowLongA(intro, GWL_STYLE) & WS_SYSMENU, 0);
  Click(intro, IDOK);

  HWND window = WaitForDialog(program.Id(), kCaption, IDC_PROGRAM);
  ASSERT_NE(window, nullptr);
  EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_TRUE(ItemVisible(window, IDC_PROGRAM));
  EXPECT_TRUE(ItemEnabled(window, IDC_PROGRAM));
  for (int id : kPortButtons) {
    EXPECT_TRUE(ItemVisible(window, id)) << id;
    EXPECT_TRUE(ItemEnabled(window, id)) << id;
  }
  for (int id : kStatusArea) EXPECT_FALSE(ItemVisible(window, id)) << id;
  EXPECT_EQ(CheckedPorts(window), std::vector<int>{IDC_PORT_COMM1});

  CloseAndWait(program, window);
  const auto stored = ReadPortSetting();
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(stored->bytes, std::vector<BYTE>{1});
}

struct StoredCase {
  const char* name;
  DWORD type;
  std::array<BYTE, 4> bytes;
  std::size_t size;
  int checked;  // the button checked, 0 for none
  BYTE savedAtExit;
};

class StoredPort : public testing::TestWithParam<StoredCase> {};

// Only a one-byte value is a port number, whatever its type; the number is not range-checked
// and whatever the window ends with is written back as one binary byte.
TEST_P(StoredPort, ChecksItsButtonAndIsWrittenBack) {
  const StoredCase& c = GetParam();
  DeletePortSetting();
  StorePortSetting({c.type, std::vector<BYTE>(c.bytes.begin(), c.bytes.begin() + c.size)});
  RunningProgram program(ProgramPath());
  HWND window = OpenMainWindow(program);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(CheckedPorts(window),
            c.checked == 0 ? std::vector<int>{} : std::vector<int>{c.checked});

  CloseAndWait(program, window);
  const auto saved = ReadPortSetting();
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(saved->bytes, std::vector<BYTE>{c.savedAtExit});
}

constexpr StoredCase kStoredCases[] = {
    {"Three", REG_BINARY, {3}, 1, IDC_PORT_COMM3, 3},
    {"Nine", REG_BINARY, {9}, 1, 0, 9},
    {"Zero", REG_BINARY, {0}, 1, 0, 0},
    {"OneByteOfAnotherType", REG_DWORD, {4}, 1, IDC_PORT_COMM4, 4},
    {"FourBytes", REG_DWORD, {2, 0, 0, 0}, 4, IDC_PORT_COMM1, 1},
    {"Text", REG_SZ, {'3', 0}, 2, IDC_PORT_COMM1, 1},
    {"Empty", REG_BINARY, {}, 0, IDC_PORT_COMM1, 1},
};

INSTANTIATE_TEST_SUITE_P(Values, StoredPort, testing::ValuesIn(kStoredCases),
                         [](const auto& each) { return std::string(each.param.name); });

TEST(Startup, EscapeOnTheIntroEndsTheProgramWithoutTouchingTheRegistry) {
  DeletePortSetting();
  RunningProgram program(ProgramPath());
  HWND intro = WaitForDialog(program.Id(), kCaption, IDC_INTRO_TEXT);
  ASSERT_NE(intro, nullptr);
  PressKey(intro, VK_ESCAPE);
  ASSERT_TRUE(program.WaitForExit(10s));
  EXPECT_FALSE(ReadPortSetting().has_value());
}

// Enter on the intro goes on; on the main window Escape does nothing, a port button sets the
// port and Enter presses Program, which here finds no COM3.
TEST(Startup, KeyboardAndAMissingPort) {
  if (tav::test::ComDevicePresent(3)) {
    GTEST_SKIP() << "this machine has a COM3; no real device is opened";
  }
  DeletePortSetting();
  RunningProgram program(ProgramPath());
  HWND intro = WaitForDialog(program.Id(), kCaption, IDC_INTRO_TEXT);
  ASSERT_NE(intro, nullptr);
  PressKey(intro, VK_RETURN);
  HWND window = WaitForDialog(program.Id(), kCaption, IDC_PROGRAM);
  ASSERT_NE(window, nullptr);

  PressKey(window, VK_ESCAPE);
  Click(window, IDC_PORT_COMM3);
  ASSERT_TRUE(WaitUntil([&] { return ItemChecked(window, IDC_PORT_COMM3); }, 5s));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(CheckedPorts(window), std::vector<int>{IDC_PORT_COMM3});

  PressKey(window, VK_RETURN);
  HWND box = WaitForDialog(program.Id(), "COMM ERROR");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), "Unable to open COM3\nPort unavailable.");
  EXPECT_EQ(GetWindow(box, GW_OWNER), window);
  Click(box, IDOK);

  // The port never opened, so the window never left its idle layout.
  ASSERT_TRUE(WaitUntil([&] { return Dialogs(program.Id()).size() == 1; }, 5s));
  EXPECT_TRUE(ItemEnabled(window, IDC_PROGRAM));
  EXPECT_FALSE(ItemVisible(window, IDC_HEADLINE));
  CloseAndWait(program, window);
  EXPECT_EQ(ReadPortSetting()->bytes, std::vector<BYTE>{3});
}

}  // namespace
}  // namespace tav::gui
