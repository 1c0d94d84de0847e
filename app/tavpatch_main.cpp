// tavpatch.exe: the patch utility on the machine's own serial ports.

#include <windows.h>

#include "app/program_context.h"
#include "image/win32_resource_source.h"
#include "link/platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tav::ProcessState state;
  const auto opener = tav::MakeSystemPortOpener();
  const tav::Win32ResourceSource resources(instance);
  return tav::RunProgram({instance, state, *opener, tav::SystemClock(), resources});
}
