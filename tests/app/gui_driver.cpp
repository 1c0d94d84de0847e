#include "tests/app/gui_driver.h"

#include <commctrl.h>

#include <cstdlib>
#include <thread>

namespace tav::gui {
namespace {

constexpr char kSettingKey[] = "Software\\Quillon\\TAVPatch";

// A Unix path from the test script names the same file on the Z: drive.
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? WindowsPath(value) : std::string();
}

struct DialogSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<DialogSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner == search.processId && IsWindowVisible(window) && std::string(className) == "#32770") {
    search.found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM lParam) {
  auto& longest = *reinterpret_cast<std::string*>(lParam);
  char className[32] = {};
  GetClassNameA(child, className, sizeof className);
  if (std::string(className) == "Static") {
    const std::string text = Text(child);
    if (text.size() > longest.size()) longest = text;
  }
  return TRUE;
}

std::optional<LRESULT> AskWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result) == 0) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(result);
}

}  // namespace

std::string ProgramPath() { return FromEnvironment("TAV_PROGRAM"); }
std::string DemoPath() { return FromEnvironment("TAV_DEMO"); }

RunningProgram::RunningProgram(const std::string& path, const std::string& arguments) {
  std::string commandLine = "\"" + path + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process_)) {
    process_ = {};
  }
}

RunningProgram::~RunningProgram() {
  if (process_.hProcess == nullptr) return;
  if (!HasExited()) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool RunningProgram::WaitForExit(Millis timeout) {
  return process_.hProcess != nullptr &&
         WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) ==
             WAIT_OBJECT_0;
}

bool RunningProgram::HasExited() { return WaitForExit(0ms); }

bool WaitUntil(const std::function<bool()>& condition, Millis timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

std::vector<HWND> Dialogs(DWORD processId) {
  DialogSearch search{processId, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(DWORD processId, const std::string& caption, int withControl, Millis timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : Dialogs(processId)) {
          if (Text(dialog) == caption &&
              (withControl == 0 || GetDlgItem(dialog, withControl) != nullptr)) {
            found = dialog;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

std::string Text(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

std::string FieldText(HWND dialog, int id) {
  char text[64] = {};
  AskWithTimeout(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

bool ItemVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }

bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

bool ItemChecked(HWND dialog, int id) {
  return AskWithTimeout(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int FocusedId(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ||
      info.hwndFocus == nullptr) {
    return 0;
  }
  return GetDlgCtrlID(info.hwndFocus);
}

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressKey(HWND dialog, UINT virtualKey) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
  HWND target = info.hwndFocus != nullptr ? info.hwndFocus : dialog;
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (3u << 30));
}

void Type(HWND dialog, const std::string& characters) {
  for (char c : characters) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    HWND target = info.hwndFocus != nullptr ? info.hwndFocus : dialog;
    AskWithTimeout(target, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
}

void SetItemText(HWND dialog, int id, const std::string& text) {
  AskWithTimeout(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Close(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

std::string MessageText(HWND box) {
  std::string longest;
  EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&longest));
  return longest;
}

std::optional<int> ProgressPosition(HWND dialog, int id) {
  const auto position = AskWithTimeout(GetDlgItem(dialog, id), PBM_GETPOS, 0, 0);
  if (!position) return std::nullopt;
  return static_cast<int>(*position);
}

std::optional<int> ProgressMaximum(HWND dialog, int id) {
  const auto maximum = AskWithTimeout(GetDlgItem(dialog, id), PBM_GETRANGE, FALSE, 0);
  if (!maximum) return std::nullopt;
  return static_cast<int>(*maximum);
}

namespace {

// On 64-bit Windows a 32-bit program's HKEY_LOCAL_MACHINE\Software is a view of its own
// (WOW6432Node): the driver reads and writes the view of the program under test.
REGSAM ProgramRegistryView() {
  DWORD type = 0;
  const bool is32 = GetBinaryTypeA(ProgramPath().c_str(), &type) && type == SCS_32BIT_BINARY;
  return is32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

}  // namespace

void DeletePortSetting() {
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSettingKey, ProgramRegistryView(), 0);
}

void StorePortSetting(const StoredValue& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingKey, 0, nullptr, 0,
                      KEY_ALL_ACCESS | ProgramRegistryView(), nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, "Port", 0, value.type, value.bytes.data(),
                 static_cast<DWORD>(value.bytes.size()));
  RegCloseKey(key);
}

std::optional<StoredValue> ReadPortSetting() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingKey, 0, KEY_QUERY_VALUE | ProgramRegistryView(),
                    &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  StoredValue value{0, std::vector<BYTE>(64)};
  DWORD size = static_cast<DWORD>(value.bytes.size());
  const LONG read = RegQueryValueExA(key, "Port", nullptr, &value.type, value.bytes.data(), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS) return std::nullopt;
  value.bytes.resize(size);
  return value;
}

}  // namespace tav::gui
