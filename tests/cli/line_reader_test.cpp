// Answer lines as the prompts read them: line ends, a last line without one, and lines too
// long to be anybody's answer.

#include "cli/line_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tav {
namespace {

constexpr std::size_t kLongest = LineReader::kLongestLine;
const std::string kOverlong(LineReader::kOverlongLine);

// Every line a reader returns from this input, up to the end of input.
std::vector<std::string> LinesOf(const std::string& input) {
  char path[] = "/tmp/tavpatch-lines-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0 || ::write(fd, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
    std::abort();
  }
  ::lseek(fd, 0, SEEK_SET);
  ::unlink(path);
  LineReader reader(fd);
  std::vector<std::string> lines;
  while (const std::optional<std::string> line = reader.ReadLine()) lines.push_back(*line);
  ::close(fd);
  return lines;
}

struct Case {
  std::string input;
  std::vector<std::string> lines;
};

class LineReaderTest : public testing::TestWithParam<Case> {};

TEST_P(LineReaderTest, ReturnsEachLineOrTheOverlongMark) {
  EXPECT_EQ(LinesOf(GetParam().input), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, LineReaderTest,
    testing::Values(
        Case{"a\r\n\nb", {"a", "", "b"}},
        Case{std::string(kLongest, 'x') + "\r\nnext\n", {std::string(kLongest, 'x'), "next"}},
        Case{std::string(kLongest + 1, 'x') + "\nnext\n", {kOverlong, "next"}},
        // A date code followed by blanks would pass if the line were only cut short.
        Case{"12/15/2000 11:55:38" + std::string(kLongest, ' ') + "\nq\n", {kOverlong, "q"}},
        Case{std::string(kLongest + 1, 'x'), {kOverlong}},
        // 16 MiB: read in time linear in its length, and dropped as it comes.
        Case{std::string(16u << 20, 'x') + "\n" + std::string(16u << 20, 'y'),
             {kOverlong, kOverlong}}));

}  // namespace
}  // namespace tav
