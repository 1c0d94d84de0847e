// The command line's option values: a value is never the option that follows.

#include "cli/options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tav {
namespace {

using testing::HasSubstr;

struct ValueCase {
  std::vector<std::string> arguments;
  std::optional<std::string> traceFile;  // when the command line is good
  const char* error;                     // else part of its error
};

class OptionValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(OptionValueTest, TakesTheNextArgumentOnlyWhenItIsNoOption) {
  const ValueCase& c = GetParam();
  const ParsedOptions parsed = ParseOptions(c.arguments);
  if (c.error == nullptr) {
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.traceFile, c.traceFile);
    return;
  }
  EXPECT_THAT(parsed.error, HasSubstr(c.error));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, OptionValueTest,
    testing::Values(
        // A forgotten trace name must not turn --check into a file name (and the check into a
        // patch run).
        ValueCase{{"--simulate", "--trace", "--check"},
                  {},
                  "--trace needs a value, not the option '--check'"},
        ValueCase{
            {"--trace", "-x", "--simulate"}, {}, "--trace needs a value, not the option '-x'"},
        ValueCase{{"--trace", "-"}, {}, "--trace needs a value, not the option '-'"},
        ValueCase{{"--port", "--check"}, {}, "--port needs a value, not the option '--check'"},
        ValueCase{{"--log", "--repeat"}, {}, "--log needs a value, not the option '--repeat'"},
        ValueCase{{"--port", "-/dev/ttyUSB0"}, {}, "--port needs a value"},
        // The ways to give a name that begins with '-'.
        ValueCase{{"--simulate", "--trace=-name"}, "-name", nullptr},
        ValueCase{{"--simulate", "--trace", "./-name"}, "./-name", nullptr},
        ValueCase{{"--simulate", "--trace", "run.trace", "--check"}, "run.trace", nullptr}));

TEST(OptionErrorTest, ShowsControlCharactersOfAnArgumentAsCodes) {
  // A line end or a terminal's escape sequence in an argument stays out of the terminal.
  EXPECT_EQ(ParseOptions({"--frob\n\x1B[2J\x7F"}).error,
            "unknown option '--frob\\x0A\\x1B[2J\\x7F'");
  EXPECT_EQ(ParseOptions({"--port", "CO\rM1"}).error.substr(0, 25), "malformed port 'CO\\x0DM1'");
}

}  // namespace
}  // namespace tav
