#include "app/datecode/date_code_dialog.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "resources/dialog_ids.h"
#include "run/date_code.h"
#include "run/typed_date_code.h"

namespace tav {
namespace {

constexpr std::array<int, 6> kFields = {IDC_FIELD_MONTH, IDC_FIELD_DAY,    IDC_FIELD_YEAR,
                                        IDC_FIELD_HOUR,  IDC_FIELD_MINUTE, IDC_FIELD_SECOND};

// At most 11 characters of a field and their terminator.
constexpr int kFieldBufferLength = 12;

using FieldText = std::array<char, kFieldBufferLength>;

// The unit's list lives with the dialog window for as long as it is open.
const DateCode* ListOf(HWND dialog) {
  return reinterpret_cast<const DateCode*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void FocusMonth(HWND dialog) { SetFocus(GetDlgItem(dialog, IDC_FIELD_MONTH)); }

int Ask(HWND dialog, std::string_view text, std::string_view caption, UINT style) {
  return MessageBoxA(dialog, std::string(text).c_str(), std::string(caption).c_str(), style);
}

void ReadField(HWND dialog, int field, FieldText& text) {
  // EM_GETLINE takes the buffer's size in its first word and copies without a terminator.
  text.fill('\0');
  const WORD size = kFieldBufferLength - 1;
  std::memcpy(text.data(), &size, sizeof size);
  const LRESULT copied =
      SendDlgItemMessageA(dialog, field, EM_GETLINE, 0, reinterpret_cast<LPARAM>(text.data()));
  const LRESULT length = std::clamp<LRESULT>(copied, 0, kFieldBufferLength - 1);
  text[static_cast<std::size_t>(length)] = '\0';
}

// After two characters (four in the year) the focus moves on to the next field; the seconds
// field is the last and keeps it. Runs after every change, deletions included.
void AdvanceAfterTyping(HWND dialog, int field) {
  LRESULT length = SendDlgItemMessageA(dialog, field, EM_LINELENGTH, 0, 0);
  if (field == IDC_FIELD_YEAR) length -= 2;
  if (length >= 2 && field != IDC_FIELD_SECOND) SetFocus(GetDlgItem(dialog, field + 1));
}

void CheckEntry(HWND dialog) {
  std::array<FieldText, kFields.size()> texts;
  std::array<std::string_view, kFields.size()> fields;
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    ReadField(dialog, kFields[i], texts[i]);
    fields[i] = texts[i].data();
  }
  const TypedDateResult result = CheckTypedDate(fields, ListOf(dialog));
  switch (result.verdict) {
    case TypedDateVerdict::Invalid:
      // OK goes back to the fields as typed; Cancel means the technician gives up on this
      // unit, as the dialog's own Cancel does.
      if (Ask(dialog, kInvalidDateText, kInvalidDateCaption, MB_OKCANCEL | MB_ICONWARNING) ==
          IDCANCEL) {
        EndDialog(dialog, kDateCodeCancelled);
      } else {
        FocusMonth(dialog);
      }
      return;
    case TypedDateVerdict::Eligible:
      EndDialog(dialog, kDateCodeEligible);
      return;
    case TypedDateVerdict::NotEligible:
      if (Ask(dialog, kNotCompatibleText, kNotCompatibleCaption,
              MB_RETRYCANCEL | MB_ICONINFORMATION) == IDRETRY) {
        FocusMonth(dialog);
      } else {
        EndDialog(dialog, kDateCodeNotEligible);
      }
      return;
  }
}

INT_PTR CALLBACK DateCodeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const bool core = lParam == static_cast<LPARAM>(DateCodeQuestion::Core);
      SetWindowTextA(dialog, core ? "Enter CORE Date Code" : "Enter Control Head Date Code");
      SetWindowLongPtrA(dialog, DWLP_USER,
                        reinterpret_cast<LONG_PTR>(EligibleDateCodesFor(
                            core ? DateCodeQuestion::Core : DateCodeQuestion::ControlHead)));
      FocusMonth(dialog);
      return FALSE;  // the focus has been placed
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (HIWORD(wParam) == EN_CHANGE && id >= IDC_FIELD_MONTH && id <= IDC_FIELD_SECOND) {
        AdvanceAfterTyping(dialog, id);
      } else if (id == IDOK) {
        CheckEntry(dialog);
      } else if (id == IDCANCEL) {
        EndDialog(dialog, kDateCodeCancelled);
      }
      return TRUE;
    }
    case WM_CLOSE:
      // The system's close command: no code has been checked, so the unit is left alone.
      EndDialog(dialog, kDateCodeCancelled);
      return TRUE;
    case WM_CHAR:
      // A key that reaches the dialog itself rather than one of its fields.
      MessageBeep(0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int AskDateCodeDialog(HINSTANCE instance, DateCodeQuestion unit) {
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_DATE_CODE), nullptr,
                                         DateCodeProc, static_cast<LPARAM>(unit));
  return result == -1 ? kDateCodeCancelled : static_cast<int>(result);
}

}  // namespace tav
