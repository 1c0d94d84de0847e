// S-record parsing and image loading: the record rules, the window test, and what a damaged
// or cut-short text yields.

#include "image/s19_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/map_resource_source.h"
#include "tests/image/s19_text.h"

namespace tav {
namespace {

using test::Bytes;
using test::kS9;
using test::S1;

constexpr std::uint16_t kId = 200;

const std::uint8_t* Text(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

std::uint32_t MarkedBytes(const S19Image& image) {
  std::uint32_t n = 0;
  for (std::uint32_t i = 0; i < image.windowSize; ++i) n += image.usedMask[i];
  return n;
}

int LoadText(S19Image& image, const std::string& text, std::uint16_t base = 0x8000,
             std::uint16_t size = 0x8000) {
  MapResourceSource source;
  source.Set(kId, text);
  return image.Load(source, kId, base, size);
}

TEST(ReadHex, ReadsDigitsOfEitherCaseAndRejectsTheRest) {
  struct Case {
    std::string text;
    int digits;
    int value;
  } cases[] = {
      {"00", 2, 0},        {"7f", 2, 0x7F},    {"FF", 2, 0xFF}, {"aB", 2, 0xAB},
      {"FFFF", 4, 0xFFFF}, {"0123", 4, 0x123}, {"1G", 2, -1},   {"G1", 2, -1},
      {" 1", 2, -1},       {"12 4", 4, -1},    {"F", 2, -1},    {"FFF", 4, -1},
  };
  for (const Case& c : cases) {
    // The text is given exactly its own length, so a short text must not be read past.
    const std::vector<std::uint8_t> text(c.text.begin(), c.text.end());
    EXPECT_EQ(ReadHex(text.data(), text.data() + text.size(), c.digits), c.value) << c.text;
  }
}

TEST(ParseRecord, ReportsEachKindOfRecordAndWhereTheNextBegins) {
  struct Case {
    const char* name;
    std::string text;
    int result;
    std::size_t next;  // offset of the cursor afterwards; npos for "end"
  } cases[] = {
      {"data record", "S1058000123434\r\nS9", 2, 16},
      {"no line end", "S1058000123434S9", 2, 14},
      {"run of line ends", "S1058000123434\r\n\n\x01\x80\xFFS9", 2, 20},
      {"empty data record", "S10380007C\r\n", 0, 12},
      {"header", "S0050000414277\r\nS1", 0, 16},
      {"S5 passed over", "S5030001FB\r\nS1", 0, 12},
      {"S9 ends the text", "S9030000FC\r\nS1", 0, std::string::npos},
      {"wrong checksum moves on", "S1058000123435\r\nS9", -2, 16},
      {"no mark", "X1058000123434\r\n", -1, 0},
      {"type not a digit", "SA058000123434\r\n", -1, 0},
      {"bad digit in checksum", "S10580001234G4\r\n", -1, 0},
  };
  for (const Case& c : cases) {
    S19Image image;
    std::uint8_t data[S19Image::kMaxRecordData];
    const std::uint8_t* cursor = Text(c.text);
    const std::uint8_t* const end = cursor + c.text.size();
    EXPECT_EQ(image.ParseRecord(cursor, end, data), c.result) << c.name;
    if (c.result < 0) continue;
    const std::size_t next = c.next == std::string::npos ? c.text.size() : c.next;
    EXPECT_EQ(cursor - Text(c.text), static_cast<std::ptrdiff_t>(next)) << c.name;
  }
  S19Image image;
  std::uint8_t data[S19Image::kMaxRecordData];
  const std::string record = "S1058000123434";
  const std::uint8_t* cursor = Text(record);
  ASSERT_EQ(image.ParseRecord(cursor, cursor + record.size(), data), 2);
  EXPECT_EQ(image.recordAddress, 0x8000);
  EXPECT_EQ(data[0], 0x12);
  EXPECT_EQ(data[1], 0x34);
}

struct LoadCase {
  const char* name;
  std::string text;
  int result;
  std::uint32_t usedCount;
  std::uint16_t base = 0x8000;
  std::uint16_t size = 0x8000;
};

TEST(Load, ResultCodesAndCountsForWholeTexts) {
  const std::string header = test::Record('0', 0, {'T', 'A', 'V'});
  const LoadCase cases[] = {
      {"top of the flash window", S1(0xFFF0, Bytes(16)) + kS9, 0, 16},
      {"one byte past the top", S1(0xFFF0, Bytes(17)) + kS9, 4, 0},
      {"below the window", S1(0x7FFF, Bytes(1)) + kS9, 4, 0},
      {"RAM window: below", S1(0x003F, Bytes(1)) + kS9, 4, 0, 0x0040, 0x0200},
      {"RAM window: both ends", S1(0x0040, Bytes(1)) + S1(0x023F, Bytes(1)) + kS9, 0, 2, 0x0040,
       0x0200},
      {"RAM window: past the top", S1(0x0231, Bytes(16)) + kS9, 4, 0, 0x0040, 0x0200},
      {"longest record the count allows", S1(0x8000, Bytes(252)) + kS9, 0, 252},
      {"empty data record", "S10380007C\r\n" + kS9, 0, 0},
      {"only S9", kS9, 0, 0},
      {"header and data", header + S1(0x8000, Bytes(4)) + kS9, 0, 4},
      {"header with wrong checksum", "S0050000414278\r\n" + kS9, 3, 0},
      {"data with wrong checksum", S1(0x8000, Bytes(4)) + "S1058000123435\r\n" + kS9, 3, 4},
      {"bad digit in data, checksum wrong too", "S10580001X3434\r\n" + kS9, 2, 0},
      {"bad digit in checksum", "S105800012343G\r\n" + kS9, 2, 0},
      {"bad digit in address", "S1058G00123434\r\n" + kS9, 2, 0},
      {"lower-case mark", "s1058000123434\r\n" + kS9, 2, 0},
      {"lower-case hex", "S1058000abcd02\r\n" + kS9, 0, 2},
      {"space after checksum", "S1058000123434 \r\n" + kS9, 2, 2},
      {"LF alone", S1(0x8000, Bytes(4), "\n") + S1(0x8004, Bytes(4), "\n") + "S9\n", 0, 8},
      {"no line ends", S1(0x8000, Bytes(4), "") + S1(0x8004, Bytes(4), "") + "S9", 0, 8},
      {"bytes 0x80 to 0xFF end lines", S1(0x8000, Bytes(4), "\x80\xFF") + kS9, 0, 4},
      {"DEL does not end a line", S1(0x8000, Bytes(4), "\x7F") + kS9, 2, 4},
      {"leading line end", "\r\n" + S1(0x8000, Bytes(4)) + kS9, 2, 0},
      {"empty text", "", 2, 0},
      {"S5 passed over", S1(0x8000, Bytes(4)) + "S5030001FB\r\n" + S1(0x8004, Bytes(4)) + kS9, 0,
       8},
      {"S2 to S8 skipped unread", "S2zz\r\nS8 anything\r\n" + S1(0x8000, Bytes(4)) + kS9, 0, 4},
      {"nothing after S9 is read", S1(0x8000, Bytes(4)) + "S9\r\nS1ZZ garbage", 0, 4},
      {"S9 fields not checked", "S9ZZ" + std::string("\0\0", 2), 0, 0},
      {"count below 3", "S1020000FD\r\n" + kS9, 2, 0},
      {"count 0", "S10000FF\r\n" + kS9, 2, 0},
      {"no S9 record", S1(0x8000, Bytes(4)), 2, 4},
      {"overlapping records count a byte once",
       S1(0x8000, Bytes(4)) + S1(0x8002, Bytes(4)) + S1(0x8000, Bytes(4)) + kS9, 0, 6},
  };
  for (const LoadCase& c : cases) {
    S19Image image;
    EXPECT_EQ(LoadText(image, c.text, c.base, c.size), c.result) << c.name;
    EXPECT_EQ(image.usedCount, c.usedCount) << c.name;
    EXPECT_EQ(image.baseAddress, c.base) << c.name;
    ASSERT_EQ(image.windowSize, c.size) << c.name;
    EXPECT_EQ(MarkedBytes(image), image.usedCount) << c.name;
  }
}

TEST(Load, PlacesRecordsByAddressWhateverTheirOrder) {
  S19Image image;
  ASSERT_EQ(
      LoadText(image, S1(0x0102, {0xC3, 0xD4}) + S1(0x0040, {0xA1}) + S1(0x0100, {0xB2}) + kS9,
               0x0040, 0x0200),
      0);
  EXPECT_EQ(image.usedCount, 4u);
  const std::pair<std::uint32_t, std::uint8_t> placed[] = {
      {0x00, 0xA1}, {0xC0, 0xB2}, {0xC2, 0xC3}, {0xC3, 0xD4}};
  for (auto [index, value] : placed) {
    EXPECT_EQ(image.usedMask[index], 1) << index;
    EXPECT_EQ(image.bytes[index], value) << index;
  }
  EXPECT_EQ(image.usedMask[0xC1], 0);
}

TEST(Load, ALaterLoadStartsFromAnEmptyImage) {
  S19Image image;
  ASSERT_EQ(LoadText(image, S1(0x8000, Bytes(16)) + kS9), 0);
  ASSERT_EQ(LoadText(image, S1(0x0100, Bytes(3)) + kS9, 0x0040, 0x0200), 0);
  EXPECT_EQ(image.usedCount, 3u);
  EXPECT_EQ(image.windowSize, 0x0200u);
  EXPECT_EQ(MarkedBytes(image), 3u);

  MapResourceSource none;
  EXPECT_EQ(image.Load(none, kId, 0x8000, 0x8000), 1);
  EXPECT_EQ(image.usedCount, 0u);
  EXPECT_EQ(image.bytes.get(), nullptr);
  EXPECT_EQ(image.windowSize, 0u);
}

// Every way of cutting a text short fails, and none reads past where it was cut (the source
// keeps each text in storage of exactly its size). Only a cut after the S9 mark still loads.
TEST(Load, ATextCutAnywhereBeforeItsS9RecordFails) {
  const std::string whole = test::Record('0', 0, {'H'}) + S1(0x8000, Bytes(7)) + "S5030001FB\r\n" +
                            S1(0x9000, Bytes(32)) + kS9;
  const std::size_t s9 = whole.rfind("S9");
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    S19Image image;
    const int result = LoadText(image, whole.substr(0, cut));
    if (cut >= s9 + 2) {
      EXPECT_EQ(result, 0) << cut;
    } else {
      EXPECT_EQ(result, 2) << cut;
    }
  }
}

}  // namespace
}  // namespace tav
