#include "run/typed_date_code.h"

#include <climits>
#include <cstdint>

namespace tav {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Field order: month, day, year, hour, minute, second.
constexpr int kUpperBound[6] = {12, 31, 40, 23, 59, 59};

// Typed years 0..49 mean 2000..2049, 50..99 mean 1950..1999; the result counts from 1980.
int YearsSince1980(int typed) {
  int year = typed;
  if (year < 50) year += 2000;
  if (year < 100) year += 1900;
  return year - 1980;
}

}  // namespace

int ConvertField(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate the magnitude in a wider type and stop growing once it is past int's range.
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (magnitude < kLimit) magnitude = magnitude * 10 + (text[i] - '0');
  }
  if (negative) return magnitude >= kLimit ? INT_MIN : static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

TypedDateResult CheckTypedDate(const std::array<std::string_view, 6>& fields,
                               const DateCode* list) {
  int value[6];
  for (std::size_t i = 0; i < 6; ++i) {
    value[i] = ConvertField(fields[i]);
    if (i == 2) value[i] = YearsSince1980(value[i]);
    // Month and day start at 1; the year counts from 1980; hour, minute and second from 0.
    const int lowest = i < 2 ? 1 : 0;
    if (value[i] < lowest || value[i] > kUpperBound[i]) {
      return TypedDateResult{TypedDateVerdict::Invalid, 0};
    }
  }
  const auto [month, day, year, hour, minute, second] = value;
  const auto b0 = static_cast<std::uint32_t>((year << 1) + (month >> 3));
  const auto b1 = static_cast<std::uint32_t>(((month & 7) << 5) + day);
  const auto b2 = static_cast<std::uint32_t>((hour << 3) + (minute >> 3));
  const auto b3 = static_cast<std::uint32_t>(((minute & 7) << 5) + (second >> 1));
  const DateCode code = b0 | (b1 << 8) | (b2 << 16) | (b3 << 24);
  return TypedDateResult{
      IsEligible(code, list) ? TypedDateVerdict::Eligible : TypedDateVerdict::NotEligible, code};
}

}  // namespace tav
