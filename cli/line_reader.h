#pragma once
// Lines typed on standard input (or piped into it) for the prompts.

#include <optional>
#include <string>

namespace tav {

class LineReader {
 public:
  explicit LineReader(int fd);

  // The next line without its line end; nothing at end of input, on a read error, or when
  // Ctrl-C is pressed while waiting.
  std::optional<std::string> ReadLine();

 private:
  int fd_;
  std::string pending_;
  bool ended_ = false;
};

}  // namespace tav
