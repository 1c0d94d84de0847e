#pragma once
// Drives the Windows program from outside, as a technician would: finds its windows, reads
// their controls, clicks, types and closes. Every wait polls with a time-out, so a program
// that hangs fails the test instead of stopping it.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tav::gui {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// The two programs under test, from the environment the test script sets.
std::string ProgramPath();  // tavpatch.exe
std::string DemoPath();     // tavpatch-demo.exe

// One started program; terminated at the end of the test if it is still running.
class RunningProgram {
 public:
  RunningProgram(const std::string& path, const std::string& arguments = {});
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  DWORD Id() const { return process_.dwProcessId; }
  bool Started() const { return process_.hProcess != nullptr; }
  bool WaitForExit(Millis timeout);
  bool HasExited();

 private:
  PROCESS_INFORMATION process_{};
};

// Polls the condition every few milliseconds until it holds or the time-out runs out.
bool WaitUntil(const std::function<bool()>& condition, Millis timeout);

// A visible top-level dialog of the process with this caption, optionally holding a control
// with this id; null when none appears in time.
HWND WaitForDialog(DWORD processId, const std::string& caption, int withControl = 0,
                   Millis timeout = 20s);
// Every visible top-level dialog of the process.
std::vector<HWND> Dialogs(DWORD processId);

// The text the window system keeps for a window: captions and static texts. It never waits
// for the program, however busy it is.
std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
// An edit field's text as typed, asked of the field itself.
std::string FieldText(HWND dialog, int id);
bool ItemVisible(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
bool ItemChecked(HWND dialog, int id);
// The id of the control that has the keyboard focus in the dialog's thread, 0 for none.
int FocusedId(HWND dialog);

// BM_CLICK, posted, so a click that starts a long run does not block the driver.
void Click(HWND dialog, int id);
// A key press delivered to the focused control, through the dialog's own message loop (so
// Enter and Escape act as the dialog's keyboard handling makes them).
void PressKey(HWND dialog, UINT virtualKey);
// Characters typed into the focused control, one at a time.
void Type(HWND dialog, const std::string& characters);
// Replaces a field's text as a paste would, past any character filter.
void SetItemText(HWND dialog, int id, const std::string& text);
void Close(HWND window);

// A message box's text (its longest static text).
std::string MessageText(HWND box);

// The progress bar's position and upper limit; nullopt when the window did not answer.
std::optional<int> ProgressPosition(HWND dialog, int id);
std::optional<int> ProgressMaximum(HWND dialog, int id);

// The stored port setting, HKEY_LOCAL_MACHINE\Software\Quillon\TAVPatch value Port.
struct StoredValue {
  DWORD type;
  std::vector<BYTE> bytes;
};
void DeletePortSetting();
void StorePortSetting(const StoredValue& value);
std::optional<StoredValue> ReadPortSetting();

}  // namespace tav::gui
