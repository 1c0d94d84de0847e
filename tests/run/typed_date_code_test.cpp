#include "run/typed_date_code.h"

#include <gtest/gtest.h>

#include <climits>

namespace tav {
namespace {

TEST(ConvertField, ReadsLikeAtoiAndSaturates) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"", 0},
      {"abc", 0},
      {"  12", 12},
      {"\t+7", 7},
      {"-3", -3},
      {"12ab", 12},
      {"0009", 9},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"99999999999999999999999999", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999999999999999999", INT_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertField(c.text), c.value) << '"' << c.text << '"';
}

struct TypedCase {
  std::array<std::string_view, 6> fields;  // month, day, year, hour, minute, second
  TypedDateVerdict verdict;
};

constexpr auto Invalid = TypedDateVerdict::Invalid;
constexpr auto Eligible = TypedDateVerdict::Eligible;
constexpr auto NotEligible = TypedDateVerdict::NotEligible;

TEST(CheckTypedDate, PacksAnEligibleControlHeadCode) {
  const TypedDateResult result =
      CheckTypedDate({"07", "16", "2001", "09", "09", "08"}, kControlHeadEligibleDateCodes);
  EXPECT_EQ(result.verdict, Eligible);
  EXPECT_EQ(result.code, 0x2449F02Au);
}

TEST(CheckTypedDate, BoundsAndYearWindow) {
  const TypedCase cases[] = {
      // Seconds are halved: an odd second matches the even one below it.
      {{"07", "16", "2001", "09", "09", "09"}, Eligible},
      {{"7", "16", "01", "9", "9", "8"}, Eligible},
      {{"08", "31", "2000", "17", "11", "28"}, Eligible},
      // Two-digit years: 80..99 and 0..20 are accepted, 21..79 are not.
      {{"07", "16", "99", "09", "09", "08"}, NotEligible},
      {{"07", "16", "80", "09", "09", "08"}, NotEligible},
      {{"07", "16", "20", "09", "09", "08"}, NotEligible},
      {{"07", "16", "50", "09", "09", "08"}, Invalid},
      {{"07", "16", "79", "09", "09", "08"}, Invalid},
      {{"07", "16", "21", "09", "09", "08"}, Invalid},
      {{"07", "16", "1980", "09", "09", "08"}, NotEligible},
      {{"07", "16", "2020", "09", "09", "08"}, NotEligible},
      {{"07", "16", "1979", "09", "09", "08"}, Invalid},
      {{"07", "16", "2021", "09", "09", "08"}, Invalid},
      {{"07", "16", "", "09", "09", "08"}, NotEligible},  // the year 2000
      // Field bounds; month and day start at 1, hour, minute and second at 0.
      {{"13", "16", "2001", "09", "09", "08"}, Invalid},
      {{"0", "16", "2001", "09", "09", "08"}, Invalid},
      {{"", "16", "2001", "09", "09", "08"}, Invalid},
      {{"07", "32", "2001", "09", "09", "08"}, Invalid},
      {{"07", "0", "2001", "09", "09", "08"}, Invalid},
      {{"07", "16", "2001", "24", "09", "08"}, Invalid},
      {{"07", "16", "2001", "09", "60", "08"}, Invalid},
      {{"07", "16", "2001", "09", "09", "60"}, Invalid},
      {{"12", "31", "2001", "", "", ""}, NotEligible},
      {{"2", "31", "2001", "23", "59", "59"}, NotEligible},  // no plausibility check
      // What a paste or the terminal can bring: signs and numbers beyond int.
      {{"07", "16", "2001", "-1", "09", "08"}, Invalid},
      {{"07", "16", "99999999999999999999", "09", "09", "08"}, Invalid},
      {{"07", "16", "-99999999999999999999", "09", "09", "08"}, Invalid},
  };
  for (const TypedCase& c : cases) {
    EXPECT_EQ(CheckTypedDate(c.fields, kControlHeadEligibleDateCodes).verdict, c.verdict)
        << c.fields[0] << '/' << c.fields[1] << '/' << c.fields[2] << ' ' << c.fields[3] << ':'
        << c.fields[4] << ':' << c.fields[5];
  }
}

TEST(CheckTypedDate, LooksOnlyInTheGivenUnitsList) {
  const std::array<std::string_view, 6> coreCode = {"12", "15", "2000", "11", "55", "38"};
  EXPECT_EQ(CheckTypedDate(coreCode, kCoreEligibleDateCodes).verdict, Eligible);
  const TypedDateResult other = CheckTypedDate(coreCode, kControlHeadEligibleDateCodes);
  EXPECT_EQ(other.verdict, NotEligible);
  EXPECT_EQ(other.code, 0xF35E8F29u);
}

}  // namespace
}  // namespace tav
