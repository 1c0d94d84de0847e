#pragma once
// Builders for S-record lines with correct checksums, for tests that need valid records
// around the one they break.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tav::test {

inline std::string Record(char type, std::uint16_t address, const std::vector<std::uint8_t>& data,
                          const char* lineEnd = "\r\n") {
  std::vector<std::uint8_t> body = {static_cast<std::uint8_t>(data.size() + 3),
                                    static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address & 0xFF)};
  body.insert(body.end(), data.begin(), data.end());
  unsigned sum = 0;
  std::string line = {'S', type};
  char hex[3];
  for (std::uint8_t b : body) {
    sum += b;
    std::snprintf(hex, sizeof hex, "%02X", b);
    line += hex;
  }
  std::snprintf(hex, sizeof hex, "%02X", ~sum & 0xFFu);
  return line + hex + lineEnd;
}

inline std::string S1(std::uint16_t address, const std::vector<std::uint8_t>& data,
                      const char* lineEnd = "\r\n") {
  return Record('1', address, data, lineEnd);
}

// n bytes counting up from first.
inline std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t first = 0) {
  std::vector<std::uint8_t> out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(first + i);
  return out;
}

inline const std::string kS9 = "S9030000FC\r\n";

}  // namespace tav::test
