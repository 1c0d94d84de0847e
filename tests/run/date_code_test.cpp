#include "run/date_code.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

struct TextCase {
  const char* unit;
  DateCode code;
  const char* text;
};

TEST(DateCodeText, DecodesEveryFieldWithoutRangeChecks) {
  const TextCase cases[] = {
      {"Control", 0x2449F02A, "Control Date Code = 7/16/2001  9:09:08"},
      {"Control", 0x6E891F29, "Control Date Code = 8/31/2000  17:11:28"},
      {"Core", 0xF35E8F29, "Core Date Code = 12/15/2000  11:55:38"},
      {"Core", 0x8E5CED28, "Core Date Code = 7/13/2000  11:36:28"},
      // Month 15, day 31, hour 31, minute 63, second 62: shown as they come, 40 characters.
      {"Control", 0xFFFFFFFF, "Control Date Code = 15/31/2107  31:63:62"},
      {"Core", 0, "Core Date Code = 0/0/1980  0:00:00"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(DateCodeText(c.unit, c.code), c.text) << std::hex << c.code;
  }
}

TEST(IsEligible, FindsOnlyEntriesBeforeTheTerminator) {
  EXPECT_TRUE(IsEligible(0x2449F02A, kControlHeadEligibleDateCodes));
  EXPECT_TRUE(IsEligible(0x6E891F29, kControlHeadEligibleDateCodes));
  EXPECT_TRUE(IsEligible(0xF35E8F29, kCoreEligibleDateCodes));
  EXPECT_TRUE(IsEligible(0x8E5CED28, kCoreEligibleDateCodes));
  // Each list holds only its own unit's codes, and 0 ends the list rather than matching.
  EXPECT_FALSE(IsEligible(0xF35E8F29, kControlHeadEligibleDateCodes));
  EXPECT_FALSE(IsEligible(0x2449F02A, kCoreEligibleDateCodes));
  EXPECT_FALSE(IsEligible(0, kCoreEligibleDateCodes));
  const DateCode emptyList[] = {0, 0x2449F02A};
  EXPECT_FALSE(IsEligible(0x2449F02A, emptyList));

  EXPECT_EQ(EligibleDateCodesFor(DateCodeQuestion::Core), kCoreEligibleDateCodes);
  EXPECT_EQ(EligibleDateCodesFor(DateCodeQuestion::ControlHead), kControlHeadEligibleDateCodes);
}

}  // namespace
}  // namespace tav
