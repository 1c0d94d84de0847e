#pragma once
// The intro dialog: what the utility does, with the choice to go on (0) or stop (1). A dialog
// that cannot be created gives a non-zero result.

#include "app/program_context.h"

namespace tav {

int ShowIntroDialog(const ProgramContext& context);

}  // namespace tav
