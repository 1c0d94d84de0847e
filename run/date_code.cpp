#include "run/date_code.h"

#include <cstdio>

namespace tav {

const DateCode kCoreEligibleDateCodes[] = {0xF35E8F29, 0x8E5CED28, 0};
const DateCode kControlHeadEligibleDateCodes[] = {0x2449F02A, 0x6E891F29, 0};

DateCodeFields DecodeDateCode(DateCode code) {
  const unsigned b0 = code & 0xFFu;
  const unsigned b1 = (code >> 8) & 0xFFu;
  const unsigned b2 = (code >> 16) & 0xFFu;
  const unsigned b3 = (code >> 24) & 0xFFu;
  return DateCodeFields{
      .month = (b0 & 1u) * 8u + (b1 >> 5),
      .day = b1 & 0x1Fu,
      .year = (b0 >> 1) + 1980u,
      .hour = b2 >> 3,
      .minute = (b2 & 7u) * 8u + (b3 >> 5),
      .second = (b3 & 0x1Fu) * 2u,
  };
}

std::string DateCodeText(std::string_view unitName, DateCode code) {
  const DateCodeFields f = DecodeDateCode(code);
  const std::string name(unitName);
  // At most 40 characters with either display name.
  char text[96];
  std::snprintf(text, sizeof text, "%s Date Code = %u/%u/%u  %u:%02u:%02u", name.c_str(), f.month,
                f.day, f.year, f.hour, f.minute, f.second);
  return text;
}

const DateCode* EligibleDateCodesFor(DateCodeQuestion unit) {
  return unit == DateCodeQuestion::Core ? kCoreEligibleDateCodes : kControlHeadEligibleDateCodes;
}

bool IsEligible(DateCode code, const DateCode* list) {
  for (const DateCode* entry = list; *entry != 0; ++entry) {
    if (*entry == code) return true;
  }
  return false;
}

}  // namespace tav
