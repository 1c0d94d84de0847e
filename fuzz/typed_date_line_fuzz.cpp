// The date code as the terminal program takes it: whatever the technician types. The input's
// first line goes through the splitter, whose fields must be digits only and must split back
// the same when joined again; then the whole input is typed, line after line, in answer to
// both date code questions and the message boxes they bring up.

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/line_reader.h"
#include "cli/terminal_host.h"
#include "cli/typed_date_line.h"
#include "link/process_state.h"
#include "run/typed_date_code.h"

namespace {

void CheckSplit(std::string_view line) {
  const auto fields = tav::SplitTypedDateLine(line);
  if (!fields) return;
  for (const std::string& field : *fields) {
    if (field.find_first_not_of("0123456789") != std::string::npos) std::abort();
  }
  std::string joined = (*fields)[0] + "/" + (*fields)[1] + "/" + (*fields)[2];
  if (!(*fields)[3].empty() || !(*fields)[4].empty() || !(*fields)[5].empty()) {
    joined += " " + (*fields)[3] + ":" + (*fields)[4] + ":" + (*fields)[5];
  }
  if (tav::SplitTypedDateLine(joined) != fields) std::abort();
}

void TypeAtTheTerminal(const std::uint8_t* data, std::size_t size) {
  const int fd = memfd_create("typed", 0);
  if (fd < 0) std::abort();
  if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
  lseek(fd, 0, SEEK_SET);
  tav::ProcessState state;
  std::ostringstream out;
  tav::LineReader in(fd);
  tav::TerminalHost host(state, out, out, in, false, false);
  for (tav::DateCodeQuestion unit :
       {tav::DateCodeQuestion::Core, tav::DateCodeQuestion::ControlHead}) {
    const int end = host.AskDateCode(unit);
    if (end != tav::kDateCodeEligible && end != tav::kDateCodeCancelled &&
        end != tav::kDateCodeNotEligible) {
      std::abort();
    }
  }
  close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckSplit(text.substr(0, text.find('\n')));
  TypeAtTheTerminal(data, size);
  return 0;
}
