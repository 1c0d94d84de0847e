// Walks the demonstration program through the screens shown in the README and asks the
// screenshot script to take each: it writes NAME.request (the area to keep: left top right
// bottom) into the directory TAV_SCREEN_DIR names and waits for NAME.png to appear there.

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>

#include "resources/dialog_ids.h"
#include "tests/app/gui_driver.h"

namespace tav::gui {
namespace {

constexpr char kIntroCaption[] = "TAV Patch  4410-2210(7|8)-001 (demonstration)";
constexpr char kCaption[] = "TAV Patch (demonstration)";

std::string ScreenDirectory() {
  std::string directory = std::getenv("TAV_SCREEN_DIR");
  return "Z:" + directory + "\\";
}

// Asks for a picture of the area that holds all the windows, with a margin.
bool Snap(const std::string& name, std::initializer_list<HWND> windows) {
  RECT area{};
  for (HWND window : windows) {
    RECT rect;
    GetWindowRect(window, &rect);
    UnionRect(&area, &area, &rect);
  }
  InflateRect(&area, 12, 12);
  Sleep(300);  // let the windows finish painting
  const std::string base = ScreenDirectory() + name;
  {
    std::ofstream request(base + ".tmp");
    request << area.left << " " << area.top << " " << area.right << " " << area.bottom << "\n";
  }
  MoveFileA((base + ".tmp").c_str(), (base + ".request").c_str());
  const bool taken = WaitUntil(
      [&] { return GetFileAttributesA((base + ".png").c_str()) != INVALID_FILE_ATTRIBUTES; }, 30s);
  if (!taken) std::fprintf(stderr, "no picture for %s\n", name.c_str());
  return taken;
}

HWND Fail(const char* what) {
  std::fprintf(stderr, "screen tour: %s\n", what);
  return nullptr;
}

HWND OpenMainWindow(RunningProgram& program, bool snapIntro) {
  HWND intro = WaitForDialog(program.Id(), kIntroCaption, IDC_INTRO_TEXT);
  if (intro == nullptr) return Fail("no intro");
  if (snapIntro) Snap("intro", {intro});
  Click(intro, IDOK);
  return WaitForDialog(program.Id(), kCaption, IDC_PROGRAM);
}

bool RunTour() {
  {
    RunningProgram program(DemoPath(), "both");
    HWND window = OpenMainWindow(program, true);
    if (window == nullptr) return Fail("no main window");
    Snap("main-idle", {window});
    Click(window, IDC_PROGRAM);
    if (!WaitUntil(
            [&] {
              return ItemText(window, IDC_STATUS_LINE) == "Writing Control Head Program" &&
                     ItemText(window, IDC_PERCENT) >= "40%";
            },
            120s)) {
      return Fail("the flash write did not get going");
    }
    Snap("main-busy", {window});
    HWND box = WaitForDialog(program.Id(), "Sorel Radio", 0, 120s);
    if (box == nullptr) return Fail("no final message");
    Snap("final-message", {window, box});
    Click(box, IDOK);
    Sleep(500);
    Close(window);
    program.WaitForExit(10s);
  }
  {
    RunningProgram program(DemoPath(), "no-answer");
    HWND window = OpenMainWindow(program, false);
    if (window == nullptr) return Fail("no main window");
    Click(window, IDC_PROGRAM);
    HWND dialog = WaitForDialog(program.Id(), "Enter CORE Date Code", 0, 30s);
    if (dialog == nullptr) return Fail("no date code dialog");
    Type(dialog, "12152000115538");
    Snap("date-code", {window, dialog});
    PressKey(dialog, VK_ESCAPE);
    HWND second = WaitForDialog(program.Id(), "Enter Control Head Date Code", 0, 10s);
    if (second != nullptr) PressKey(second, VK_ESCAPE);
    HWND box = WaitForDialog(program.Id(), "TAV Patch", 0, 10s);
    if (box != nullptr) Click(box, IDOK);
    Sleep(500);
    Close(window);
    program.WaitForExit(10s);
  }
  return true;
}

}  // namespace
}  // namespace tav::gui

int main() { return tav::gui::RunTour() ? 0 : 1; }
