#include "app/intro_dialog.h"

#include <string>
#include <string_view>

#include "resources/dialog_ids.h"

namespace tav {
namespace {

constexpr char kIntroHeadline[] = "TAV Patch";
constexpr char kIntroBody[] =
    "\n\nThis program installs a firmware patch into the Core and Control Head processors of "
    "TAV radios.\n\nNot all radios require this patch.  This program will check the date code "
    "of the existing firmware to determine if the patch is required.  Only those radios "
    "requiring the patch will be updated.";

void AppendToCaption(HWND window, std::string_view text) {
  char caption[128] = {};
  GetWindowTextA(window, caption, static_cast<int>(sizeof caption));
  SetWindowTextA(window, (std::string(caption) + std::string(text)).c_str());
}

INT_PTR CALLBACK IntroProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto& context = *reinterpret_cast<const ProgramContext*>(lParam);
      std::string text = kIntroHeadline;
      if (context.demonstration) {
        text += kDemonstrationNote;
        AppendToCaption(dialog, kDemonstrationNote);
      }
      text += kIntroBody;
      SetDlgItemTextA(dialog, IDC_INTRO_TEXT, text.c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) != 0) return FALSE;
      if (LOWORD(wParam) == IDOK) EndDialog(dialog, 0);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
      return TRUE;
    case WM_CLOSE:
      // The system's close command reaches the dialog although it has no close box; it
      // counts as OK.
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int ShowIntroDialog(const ProgramContext& context) {
  const INT_PTR result = DialogBoxParamA(context.instance, MAKEINTRESOURCEA(IDD_INTRO), nullptr,
                                         IntroProc, reinterpret_cast<LPARAM>(&context));
  return result == 0 ? 0 : 1;
}

}  // namespace tav
