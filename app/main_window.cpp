#include "app/main_window.h"

#include <optional>

#include "app/main_window_host.h"
#include "app/port_buttons.h"
#include "link/serial_link.h"
#include "link/win32_clock.h"
#include "resources/dialog_ids.h"
#include "run/patch_run.h"
#include "run/port_setting.h"
#include "run/status_area.h"

namespace tav {
namespace {

// Lives on the stack of ShowMainWindow for as long as the window does.
struct MainWindow {
  const ProgramContext& context;
  std::optional<MainWindowHost> host;
};

MainWindow* WindowOf(HWND window) {
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, DWLP_USER));
}

void Open(HWND window, MainWindow& main) {
  const ProgramContext& context = main.context;
  main.host.emplace(window, context.instance);
  SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(&main));
  if (context.demonstration) SetWindowTextA(window, kDemonstrationTitle);
  const auto icon =
      reinterpret_cast<LPARAM>(LoadIconA(context.instance, MAKEINTRESOURCEA(IDI_PROGRAM)));
  SendMessageA(window, WM_SETICON, ICON_BIG, icon);
  SendMessageA(window, WM_SETICON, ICON_SMALL, icon);

  context.state.portNumber = LoadPortSetting();
  ShowPortChoice(window, context.state.portNumber);
  SetBusy(*main.host, false);
}

// The whole patch run happens here, inside the Program button's handler. Its waits dispatch
// this window's messages, so the close box keeps working while it runs.
void Program(HWND window, MainWindow& main) {
  TakeCheckedPort(window, main.context.state);
  const TimerResolutionScope preciseTimers;
  SerialLink link(main.context.state, main.context.opener, main.context.clock, *main.host);
  RunPatch(link, main.context.resources);
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* main = WindowOf(window);
  switch (message) {
    case WM_INITDIALOG:
      Open(window, *reinterpret_cast<MainWindow*>(lParam));
      return TRUE;
    case WM_COMMAND: {
      if (main == nullptr || HIWORD(wParam) != 0) return FALSE;
      const int id = LOWORD(wParam);
      if (id >= IDC_PORT_COMM1 && id <= IDC_PORT_COMM4) {
        if (IsDlgButtonChecked(window, id) == BST_CHECKED) {
          main->context.state.portNumber = id - (IDC_PORT_COMM1 - 1);
        }
      } else if (id == IDC_PROGRAM) {
        Program(window, *main);
      }
      // Everything else, Escape included, is ignored: Escape does not close this window.
      return TRUE;
    }
    case WM_CLOSE:
      // The close box is how the technician stops a run: the run's waits see the flag and
      // wind down, and the window goes once the run has returned.
      if (main != nullptr) main->context.state.abortFlag = true;
      EndDialog(window, 0);
      return TRUE;
    case WM_DESTROY:
      if (main != nullptr) {
        TakeCheckedPort(window, main->context.state);
        SavePortSetting(main->context.state.portNumber);
        SetWindowLongPtrA(window, DWLP_USER, 0);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowMainWindow(const ProgramContext& context) {
  MainWindow main{context, std::nullopt};
  DialogBoxParamA(context.instance, MAKEINTRESOURCEA(IDD_MAIN_WINDOW), nullptr, MainWindowProc,
                  reinterpret_cast<LPARAM>(&main));
}

}  // namespace tav
