#pragma once
// Lines typed on standard input (or piped into it) for the prompts.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tav {

class LineReader {
 public:
  // The longest answer line taken as it is. A longer one is nobody's answer: it is read to
  // its end, in time linear in its length, and stands as kOverlongLine, which no prompt takes.
  static constexpr std::size_t kLongestLine = 4096;
  static constexpr std::string_view kOverlongLine = "<line too long>";

  explicit LineReader(int fd);

  // The next line without its line end; nothing at end of input, on a read error, or when
  // a stop request (Ctrl-C) comes while waiting.
  std::optional<std::string> ReadLine();

 private:
  // The line without its '\r', or kOverlongLine.
  std::string Finish(std::string line);

  int fd_;
  std::string pending_;
  std::size_t scanned_ = 0;  // bytes of pending_ known to hold no line end
  bool overlong_ = false;    // the line being read has passed kLongestLine; its bytes are dropped
  bool ended_ = false;
};

}  // namespace tav
