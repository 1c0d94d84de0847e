#pragma once
// A unit's firmware date code: a DOS date word and a DOS time word, each most significant
// byte first, held as the little-endian 32-bit number of the four bytes b0..b3.

#include <cstdint>
#include <string>
#include <string_view>

#include "link/host.h"

namespace tav {

using DateCode = std::uint32_t;

struct DateCodeFields {
  unsigned month, day, year, hour, minute, second;
};

DateCodeFields DecodeDateCode(DateCode code);
// "%s Date Code = %u/%u/%u  %u:%02u:%02u" with the unit's display name.
std::string DateCodeText(std::string_view unitName, DateCode code);

// The built-in lists of codes that need the patch, each ended by 0.
extern const DateCode kCoreEligibleDateCodes[];
extern const DateCode kControlHeadEligibleDateCodes[];
const DateCode* EligibleDateCodesFor(DateCodeQuestion unit);

bool IsEligible(DateCode code, const DateCode* list);

}  // namespace tav
