#pragma once
// The last few bytes a firmware received, for spotting its multi-byte commands.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tav {

class CommandTail {
 public:
  void Push(std::uint8_t byte) {
    std::copy(bytes_.begin() + 1, bytes_.end(), bytes_.begin());
    bytes_.back() = byte;
    if (count_ < bytes_.size()) ++count_;
  }
  bool EndsWith(std::span<const std::uint8_t> command) const {
    return command.size() <= count_ &&
           std::equal(command.begin(), command.end(), bytes_.end() - command.size());
  }
  void Clear() { count_ = 0; }

 private:
  std::array<std::uint8_t, 8> bytes_{};
  std::size_t count_ = 0;
};

}  // namespace tav
