#include "image/s19_image.h"

#include <algorithm>
#include <new>

#include "image/resource_ids.h"

namespace tav {
namespace {

// Bytes that end a line: every byte whose value as a signed 8-bit number is below 0x20, which
// takes in the control characters (CR and LF among them) and every byte from 0x80 to 0xFF.
bool IsLineEnd(std::uint8_t byte) { return static_cast<std::int8_t>(byte) < 0x20; }

const std::uint8_t* SkipLineEnds(const std::uint8_t* cursor, const std::uint8_t* end) {
  while (cursor != end && IsLineEnd(*cursor)) ++cursor;
  return cursor;
}

bool IsEndRecord(const std::uint8_t* cursor, const std::uint8_t* end) {
  return end - cursor >= 2 && cursor[0] == 'S' && cursor[1] == '9';
}

int HexDigitValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::unique_ptr<std::uint8_t[]> Allocate(std::uint32_t size) {
  return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]);
}

}  // namespace

const std::string_view LoadErrorText[5] = {
    "",
    "Unable to load resource",
    "Invalid hex file",
    "Checksum error in hex file",
    "Address out of bounds",
};

int ReadHex(const std::uint8_t* text, const std::uint8_t* end, int digits) {
  if (end - text < digits) return -1;
  int value = 0;
  for (int i = 0; i < digits; ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

int S19Image::ParseRecord(const std::uint8_t*& cursor, const std::uint8_t* end,
                          std::uint8_t* recordData) {
  // A mark 'S' and a type digit.
  if (end - cursor < 2 || cursor[0] != 'S' || cursor[1] < '0' || cursor[1] > '9') return -1;
  const std::uint8_t type = cursor[1];

  // S9 ends the text; nothing of it or after it is read.
  if (type == '9') {
    cursor = end;
    return 0;
  }

  // S2 to S8 carry nothing for this image: pass over them to the next line.
  if (type != '0' && type != '1') {
    cursor += 2;
    while (cursor != end && !IsLineEnd(*cursor)) ++cursor;
    cursor = SkipLineEnds(cursor, end);
    return 0;
  }

  // Count and address. A count below 3 leaves no room for the address and checksum.
  const std::uint8_t* field = cursor + 2;
  const int count = ReadHex(field, end, 2);
  field += 2;
  const int address = ReadHex(field, end, 4);
  field += 4;
  if (count < 0 || address < 0) return -1;
  recordAddress = address;
  if (count < 3) return -1;

  // The data bytes, then the checksum byte, all added to the sum.
  int sum = count + (address >> 8) + (address & 0xFF);
  const int dataCount = count - 3;
  for (int i = 0; i <= dataCount; ++i) {
    const int value = ReadHex(field, end, 2);
    if (value < 0) return -1;
    field += 2;
    if (type == '1' && i < dataCount) recordData[i] = static_cast<std::uint8_t>(value);
    sum += value;
  }

  // Past the line end, which may be empty: the next record may follow at once.
  cursor = SkipLineEnds(field, end);

  // Count, address, data and checksum add up to 0xFF.
  if ((sum & 0xFF) != 0xFF) return -2;
  return type == '1' ? dataCount : 0;
}

int S19Image::Load(const ResourceSource& resources, std::uint16_t resourceId, std::uint16_t base,
                   std::uint16_t size) {
  // Start empty.
  bytes.reset();
  usedMask.reset();
  windowSize = 0;
  baseAddress = base;
  usedCount = 0;

  // The resource text.
  const std::optional<std::span<const std::uint8_t>> text = resources.FindS19(resourceId);
  if (!text) return 1;

  // The window; the mask starts clear, the bytes as allocated.
  bytes = Allocate(size);
  usedMask = Allocate(size);
  if (!bytes || !usedMask) {
    bytes.reset();
    usedMask.reset();
    return 1;
  }
  std::fill_n(usedMask.get(), size, std::uint8_t{0});
  windowSize = size;

  // Every record in turn, up to the S9 record. The window test is done in 32 bits, so the
  // flash window admits data up to and including 0xFFFF.
  std::uint8_t recordData[kMaxRecordData];
  const std::uint8_t* cursor = text->data();
  const std::uint8_t* const end = cursor + text->size();
  const std::int32_t windowEnd = std::int32_t{base} + std::int32_t{size};
  while (cursor != end) {
    const bool endRecord = IsEndRecord(cursor, end);
    const int r = ParseRecord(cursor, end, recordData);
    if (r < 0) return 1 - r;
    if (endRecord) return 0;
    if (r == 0) continue;

    if (recordAddress < base || recordAddress + r > windowEnd) return 4;
    const std::int32_t first = recordAddress - base;
    for (int i = 0; i < r; ++i) {
      bytes[first + i] = recordData[i];
      // A byte supplied twice is counted once, so usedCount is always the number of marks.
      if (usedMask[first + i] == 0) {
        usedMask[first + i] = 1;
        ++usedCount;
      }
    }
  }

  // The text ended without its S9 record: the image may be cut short and must not be used.
  return 2;
}

std::unique_ptr<S19Image> LoadFlashImage(MessageBoxHost& host, const ResourceSource& resources,
                                         std::uint16_t resourceId) {
  std::unique_ptr<S19Image> image(new (std::nothrow) S19Image);
  const int r = image ? image->Load(resources, resourceId, kFlashWindowBase, kFlashWindowSize) : 1;
  if (r > 0) {
    host.ShowMessage(LoadErrorText[r], "Sorel Radio", MessageIcon::None, MessageButtons::Ok);
    return nullptr;
  }
  return image;
}

}  // namespace tav
