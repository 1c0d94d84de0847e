#include <string>
#include <vector>

#include "cli/terminal_program.h"

int main(int argc, char** argv) {
  return tav::TerminalMain(std::vector<std::string>(argv + 1, argv + argc));
}
