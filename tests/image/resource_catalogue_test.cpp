// The five resources the program carries: each loads in its window, and each has the form of
// the radio's own files line by line.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "image/built_in_resources.h"
#include "image/resource_ids.h"
#include "image/s19_image.h"
#include "image/stand_in_date_codes.h"

namespace tav {
namespace {

using Range = std::pair<unsigned, unsigned>;  // first and last address

struct Line {
  char type;
  unsigned address;
  std::vector<std::uint8_t> data;
};

struct Catalogued {
  std::uint16_t id;
  std::uint16_t base, size;
  std::size_t textBytes;
  std::size_t dataRecords;
  std::uint32_t dataBytes;
  std::vector<Range> ranges;
  std::optional<std::string> headerTag = std::nullopt;
  // Loaders: the lengths of the short records, in order. Firmware: how many records of 32
  // bytes and of 1 byte.
  std::vector<std::size_t> shortRecords = {};
  std::size_t longRecords = 0, singleRecords = 0;
  std::optional<std::uint32_t> dateCode = std::nullopt;
};

const Catalogued kCatalogue[] = {
    {.id = kControlHeadLoaderResource,
     .base = kRamWindowBase,
     .size = kRamWindowSize,
     .textBytes = 1032,
     .dataRecords = 24,
     .dataBytes = 366,
     .ranges = {{0x0086, 0x00D0}, {0x0100, 0x0222}},
     .shortRecords = {11, 3}},
    {.id = kCoreLoaderResource,
     .base = kRamWindowBase,
     .size = kRamWindowSize,
     .textBytes = 932,
     .dataRecords = 22,
     .dataBytes = 328,
     .ranges = {{0x0086, 0x00D6}, {0x0100, 0x01F6}},
     .shortRecords = {1, 7}},
    {.id = kTalkThroughResource,
     .base = kRamWindowBase,
     .size = kRamWindowSize,
     .textBytes = 452,
     .dataRecords = 10,
     .dataBytes = 160,
     .ranges = {{0x0100, 0x019F}}},
    {.id = kControlHeadFirmwareResource,
     .base = kFlashWindowBase,
     .size = kFlashWindowSize,
     .textBytes = 40832,
     .dataRecords = 1277,
     .dataBytes = 12725,
     .ranges = {{0xB100, 0xE2A2},
                {0xFDFC, 0xFDFF},
                {0xFFDC, 0xFFDD},
                {0xFFE4, 0xFFE5},
                {0xFFEC, 0xFFF1},
                {0xFFFC, 0xFFFF}},
     .headerTag = "TAVCTRL",
     .longRecords = 302,
     .singleRecords = 766,
     .dateCode = kControlHeadStandInDateCode},
    {.id = kCoreFirmwareResource,
     .base = kFlashWindowBase,
     .size = kFlashWindowSize,
     .textBytes = 12364,
     .dataRecords = 247,
     .dataBytes = 4673,
     .ranges = {{0xB000, 0xC22E},
                {0xFDFC, 0xFDFF},
                {0xFFE0, 0xFFE5},
                {0xFFEE, 0xFFEF},
                {0xFFF2, 0xFFF3},
                {0xFFF6, 0xFFF7},
                {0xFFFE, 0xFFFF}},
     .headerTag = "TAVCORE",
     .longRecords = 120,
     .singleRecords = 49,
     .dateCode = kCoreStandInDateCode},
};

std::string TextOf(std::uint16_t id) {
  const auto text = BuiltInResources().FindS19(id);
  return text ? std::string(text->begin(), text->end()) : std::string();
}

unsigned Hex(const std::string& s, std::size_t at, std::size_t digits) {
  return static_cast<unsigned>(std::stoul(s.substr(at, digits), nullptr, 16));
}

// Splits the text into its lines, checking that each is one upper-case record ended by CR LF
// and that its count and checksum agree.
std::vector<Line> Lines(const std::string& text) {
  std::vector<Line> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t crlf = text.find("\r\n", at);
    EXPECT_NE(crlf, std::string::npos) << "last line has no CR LF";
    if (crlf == std::string::npos) break;
    const std::string line = text.substr(at, crlf - at);
    at = crlf + 2;
    EXPECT_TRUE(line.size() >= 10 && line.size() % 2 == 0 && line[0] == 'S') << line;
    EXPECT_EQ(line.find_first_not_of("0123456789ABCDEF", 1), std::string::npos) << line;
    if (line.size() < 10) continue;
    const unsigned count = Hex(line, 2, 2);
    EXPECT_EQ(line.size(), 4 + 2 * count) << line;
    unsigned sum = 0;
    for (std::size_t i = 2; i + 1 < line.size(); i += 2) sum += Hex(line, i, 2);
    EXPECT_EQ(sum & 0xFF, 0xFFu) << "checksum: " << line;
    Line record{line[1], Hex(line, 4, 4), {}};
    for (std::size_t i = 8; i + 2 < line.size(); i += 2) {
      record.data.push_back(static_cast<std::uint8_t>(Hex(line, i, 2)));
    }
    lines.push_back(record);
  }
  return lines;
}

std::vector<Range> MarkedRanges(const S19Image& image) {
  std::vector<Range> ranges;
  for (std::uint32_t i = 0; i < image.windowSize; ++i) {
    if (!image.usedMask[i]) continue;
    const unsigned address = image.baseAddress + i;
    if (!ranges.empty() && ranges.back().second + 1 == address) {
      ranges.back().second = address;
    } else {
      ranges.push_back({address, address});
    }
  }
  return ranges;
}

TEST(ResourceCatalogue, EachResourceLoadsWithItsDataInItsRanges) {
  for (const Catalogued& c : kCatalogue) {
    S19Image image;
    ASSERT_EQ(image.Load(BuiltInResources(), c.id, c.base, c.size), 0) << c.id;
    EXPECT_EQ(image.usedCount, c.dataBytes) << c.id;
    EXPECT_EQ(MarkedRanges(image), c.ranges) << c.id;
    if (c.dateCode) {
      const std::uint32_t at = kDateCodeAddress - c.base;
      const std::uint32_t code = image.bytes[at] | image.bytes[at + 1] << 8 |
                                 image.bytes[at + 2] << 16 |
                                 static_cast<std::uint32_t>(image.bytes[at + 3]) << 24;
      EXPECT_EQ(code, *c.dateCode) << c.id;
      for (int i = 0; i < 4; ++i) EXPECT_NE(image.bytes[at + i], 0) << c.id;
    } else {
      // A RAM program starts at 0x0100 and leaves the monitor's saved program counter alone.
      EXPECT_EQ(image.usedMask[0x0100 - c.base], 1) << c.id;
      EXPECT_EQ(image.usedMask[0x00FE - c.base], 0) << c.id;
      EXPECT_EQ(image.usedMask[0x00FF - c.base], 0) << c.id;
    }
  }
}

TEST(ResourceCatalogue, EachTextHasTheFormOfTheRadiosFiles) {
  for (const Catalogued& c : kCatalogue) {
    const std::string text = TextOf(c.id);
    EXPECT_EQ(text.size(), c.textBytes) << c.id;
    EXPECT_EQ(text.find_first_of(std::string(" \0", 2)), std::string::npos) << c.id;
    std::vector<Line> lines = Lines(text);
    ASSERT_GE(lines.size(), 2u) << c.id;

    ASSERT_EQ(lines.back().type, '9') << c.id;
    EXPECT_EQ(lines.back().address, 0u) << c.id;
    lines.pop_back();
    if (c.headerTag) {
      const Line& header = lines.front();
      ASSERT_EQ(header.type, '0') << c.id;
      EXPECT_EQ(header.address, 0u) << c.id;
      const std::string name(header.data.begin(), header.data.end());
      EXPECT_GE(name.size(), 15u) << name;
      EXPECT_LE(name.size(), 17u) << name;
      EXPECT_NE(name.find(*c.headerTag), std::string::npos) << name;
      lines.erase(lines.begin());
    }
    EXPECT_EQ(lines.size(), c.dataRecords) << c.id;
    EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](const Line& l) {
      return l.type == '1';
    })) << c.id;

    const bool ascending =
        std::is_sorted(lines.begin(), lines.end(),
                       [](const Line& a, const Line& b) { return a.address < b.address; });
    if (c.headerTag) {
      EXPECT_FALSE(ascending) << c.id;
      const auto ofLength = [&](std::size_t n) {
        return static_cast<std::size_t>(std::count_if(
            lines.begin(), lines.end(), [n](const Line& l) { return l.data.size() == n; }));
      };
      EXPECT_EQ(ofLength(32), c.longRecords) << c.id;
      EXPECT_EQ(ofLength(1), c.singleRecords) << c.id;
      for (const Line& l : lines) EXPECT_LE(l.data.size(), 32u) << c.id;
    } else {
      EXPECT_TRUE(ascending) << c.id;
      std::vector<std::size_t> shortRecords;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].data.size() == 16) continue;
        shortRecords.push_back(lines[i].data.size());
        // A short record ends its run: the next record does not follow on directly.
        if (i + 1 < lines.size()) {
          EXPECT_NE(lines[i + 1].address, lines[i].address + lines[i].data.size()) << c.id;
        }
      }
      EXPECT_EQ(shortRecords, c.shortRecords) << c.id;
    }
  }
}

TEST(ResourceCatalogue, AnIdNotCarriedIsNotFound) {
  EXPECT_EQ(BuiltInResources().FindS19(108), std::nullopt);
}

}  // namespace
}  // namespace tav
