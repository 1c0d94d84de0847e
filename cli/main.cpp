#include <string>
#include <vector>

#include "cli/standard_streams.h"
#include "cli/terminal_program.h"

int main(int argc, char** argv) {
  tav::OpenClosedStandardStreams();
  return tav::TerminalMain(std::vector<std::string>(argv + 1, argv + argc));
}
