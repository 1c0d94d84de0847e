#include "app/port_buttons.h"

#include "resources/dialog_ids.h"

namespace tav {

int AvailablePortMask() { return 15; }

void ShowPortChoice(HWND window, int portNumber) {
  for (int i = 0; i < 4; ++i) {
    EnableWindow(GetDlgItem(window, IDC_PORT_COMM1 + i), (AvailablePortMask() >> i) & 1);
  }
  CheckRadioButton(window, IDC_PORT_COMM1, IDC_PORT_COMM4, IDC_PORT_COMM1 - 1 + portNumber);
}

void TakeCheckedPort(HWND window, ProcessState& state) {
  for (int i = 0; i < 4; ++i) {
    if (IsDlgButtonChecked(window, IDC_PORT_COMM1 + i) == BST_CHECKED) {
      state.portNumber = i + 1;
      return;
    }
  }
}

}  // namespace tav
