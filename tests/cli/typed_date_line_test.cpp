#include "cli/typed_date_line.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

namespace tav {
namespace {

using Fields = std::array<std::string, 6>;

struct Case {
  const char* line;
  std::optional<Fields> fields;
};

class TypedDateLineTest : public testing::TestWithParam<Case> {};

TEST_P(TypedDateLineTest, SplitsIntoTheDialogsSixFields) {
  EXPECT_EQ(SplitTypedDateLine(GetParam().line), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TypedDateLineTest,
    testing::Values(
        Case{"07/16/2001 09:09:08", Fields{"07", "16", "2001", "09", "09", "08"}},
        Case{"  7/16/01   9:9:8  ", Fields{"7", "16", "01", "9", "9", "8"}},
        // Empty fields are empty in the dialog too; the shared check decides on them.
        Case{"07/16/", Fields{"07", "16", "", "", "", ""}},
        Case{"07/16/2001", Fields{"07", "16", "2001", "", "", ""}},
        Case{"07/16/2001 ::", Fields{"07", "16", "2001", "", "", ""}},
        // Not the form, or more than digits in a field: never a date the dialog could hold.
        Case{"07-16-2001 09:09:08", std::nullopt}, Case{"07/16/2001/1 09:09:08", std::nullopt},
        Case{"07/16/2001 09:09", std::nullopt}, Case{"07/16/2001 09:09:08 x", std::nullopt},
        Case{"-7/16/2001 09:09:08", std::nullopt}, Case{"07/16/2001 09:09:8a", std::nullopt},
        Case{"", std::nullopt}));

}  // namespace
}  // namespace tav
