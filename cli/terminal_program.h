#pragma once
// The terminal program from its command line to its exit status.

#include <string>
#include <vector>

namespace tav {

// The arguments after the program name; returns the exit status (see --help).
int TerminalMain(const std::vector<std::string>& arguments);

}  // namespace tav
