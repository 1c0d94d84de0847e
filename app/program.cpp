#include "app/intro_dialog.h"
#include "app/main_window.h"
#include "app/program_context.h"

namespace tav {

int RunProgram(const ProgramContext& context) {
  // The main window's progress bar class lives in the common-controls library. Whether it
  // loads is not checked (the window opens without its progress bar then), and it stays
  // loaded for the life of the process.
  LoadLibraryA("comctl32.dll");
  if (ShowIntroDialog(context) == 0) ShowMainWindow(context);
  return 0;
}

}  // namespace tav
