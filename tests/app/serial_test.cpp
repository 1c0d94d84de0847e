// The real program on COM1, which the test script maps to a pseudo-terminal whose far end
// plays a control head with two date codes that are in neither list.

#include <gtest/gtest.h>

#include "resources/dialog_ids.h"
#include "run/date_code.h"
#include "tests/app/gui_driver.h"

namespace tav::gui {
namespace {

constexpr char kCaption[] = "TAV Patch  4410-2210(7|8)-001";
constexpr DateCode kPeerCoreCode = 0xF55E8F29;
constexpr DateCode kPeerControlCode = 0x2649F02A;

TEST(Serial, AControlHeadWithCodesInNeitherListNeedsNoPatch) {
  StorePortSetting({REG_BINARY, {1}});
  RunningProgram program(ProgramPath());
  HWND intro = WaitForDialog(program.Id(), kCaption, IDC_INTRO_TEXT);
  ASSERT_NE(intro, nullptr);
  Click(intro, IDOK);
  HWND window = WaitForDialog(program.Id(), kCaption, IDC_PROGRAM);
  ASSERT_NE(window, nullptr);
  Click(window, IDC_PROGRAM);

  HWND box = WaitForDialog(program.Id(), "TAV Patch", 0, 30s);
  ASSERT_NE(box, nullptr) << "headline: " << ItemText(window, IDC_HEADLINE);
  EXPECT_EQ(MessageText(box), "Core " + DateCodeText("Core", kPeerCoreCode) + "\nCntl " +
                                  DateCodeText("Control", kPeerControlCode) +
                                  "\nPatch not required for this radio.");
  EXPECT_EQ(ItemText(window, IDC_HEADLINE), "Control Head Detected");
  Click(box, IDOK);

  EXPECT_TRUE(WaitUntil(
      [&] { return ItemEnabled(window, IDC_PROGRAM) && !ItemVisible(window, IDC_HEADLINE); }, 10s));
  Close(window);
  EXPECT_TRUE(program.WaitForExit(10s));
}

}  // namespace
}  // namespace tav::gui
