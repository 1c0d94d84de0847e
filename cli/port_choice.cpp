#include "cli/port_choice.h"

#include <algorithm>

namespace tav {

namespace {

// The longest device path the setting keeps (PATH_MAX on Linux).
constexpr std::size_t kLongestPath = 4096;

bool IsComName(std::string_view text) {
  return text.size() == 4 && (text[0] == 'C' || text[0] == 'c') &&
         (text[1] == 'O' || text[1] == 'o') && (text[2] == 'M' || text[2] == 'm') &&
         text[3] >= '1' && text[3] <= '4';
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace

std::optional<PortChoice> ParsePortChoice(std::string_view text) {
  if (IsComName(text)) return PortChoice{text[3] - '0', {}};
  if (text.find('/') != std::string_view::npos) return PortChoice{0, std::string(text)};
  return std::nullopt;
}

std::optional<PortChoice> ParseStoredPort(std::string_view contents) {
  if (!contents.empty() && contents.back() == '\n') contents.remove_suffix(1);
  if (contents.size() > kLongestPath || HasControlCharacter(contents)) return std::nullopt;
  if (IsComName(contents)) return PortChoice{contents[3] - '0', {}};
  if (contents.size() > 1 && contents.front() == '/') return PortChoice{0, std::string(contents)};
  return std::nullopt;
}

std::string StoredPortLine(const PortChoice& choice) {
  const std::string text =
      choice.devicePath.empty() ? "COM" + std::to_string(choice.number) : choice.devicePath;
  const auto readBack = ParseStoredPort(text);
  if (!readBack || readBack->number != choice.number || readBack->devicePath != choice.devicePath)
    return {};
  return text + '\n';
}

}  // namespace tav
