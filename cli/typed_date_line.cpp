#include "cli/typed_date_line.h"

#include <vector>

namespace tav {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool AllDigits(std::string_view field) {
  for (char c : field) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::optional<std::array<std::string, 6>> SplitTypedDateLine(std::string_view line) {
  const std::vector<std::string_view> words = Words(line);
  if (words.empty() || words.size() > 2) return std::nullopt;
  const std::vector<std::string_view> date = Split(words[0], '/');
  if (date.size() != 3) return std::nullopt;
  std::vector<std::string_view> time(3);
  if (words.size() == 2) {
    time = Split(words[1], ':');
    if (time.size() != 3) return std::nullopt;
  }
  std::array<std::string, 6> fields;
  for (std::size_t i = 0; i < 6; ++i) {
    const std::string_view field = i < 3 ? date[i] : time[i - 3];
    if (!AllDigits(field)) return std::nullopt;
    fields[i] = std::string(field);
  }
  return fields;
}

}  // namespace tav
