#pragma once
// The main window's status area layouts, over the host's element primitives.

#include <string_view>

#include "link/host.h"

namespace tav {

void SetBusy(Host& host, bool busy);
void ShowStatus(Host& host, std::string_view text);

}  // namespace tav
