#pragma once
// A firmware or RAM-program image loaded from an S-record resource: a flat byte window, the
// mask of which bytes the records supplied, and the count of them.

#include <cstdint>
#include <memory>
#include <string_view>

#include "image/message_box.h"
#include "image/resource_source.h"

namespace tav {

class S19Image {
 public:
  S19Image() = default;
  S19Image(const S19Image&) = delete;
  S19Image& operator=(const S19Image&) = delete;

  // Result codes: 0 loaded, 1 no such resource (or no memory), 2 malformed record,
  // 3 checksum error, 4 a data record outside the window.
  int Load(const ResourceSource& resources, std::uint16_t resourceId, std::uint16_t baseAddress,
           std::uint16_t windowSize);

  // Room that recordData must have: the most data bytes a record's count field can announce
  // (count 0xFF less the 2 address bytes and the checksum).
  static constexpr int kMaxRecordData = 0xFF - 3;

  // Reads the record at cursor (which is never read at or past end) and moves cursor on; sets
  // it to end at an S9 record. n > 0 data bytes now in recordData; 0 no data to place; -1
  // malformed; -2 wrong checksum.
  int ParseRecord(const std::uint8_t*& cursor, const std::uint8_t* end, std::uint8_t* recordData);

  std::int32_t recordAddress = 0;
  std::unique_ptr<std::uint8_t[]> bytes;
  std::unique_ptr<std::uint8_t[]> usedMask;
  std::uint16_t baseAddress = 0;
  std::uint32_t usedCount = 0;
  // Length of both arrays, so a consumer's walk can never leave the window.
  std::uint32_t windowSize = 0;
};

// Value of `digits` hexadecimal characters (either case), most significant first, or -1.
// Reads no character at or past end.
int ReadHex(const std::uint8_t* text, const std::uint8_t* end, int digits);

// Message table indexed by Load's result code; entry 0 is empty.
extern const std::string_view LoadErrorText[5];

// Loads a firmware image (window 0x8000..0xFFFF). On failure shows its LoadErrorText entry
// captioned "Sorel Radio" (OK, no icon) and returns nothing.
std::unique_ptr<S19Image> LoadFlashImage(MessageBoxHost& host, const ResourceSource& resources,
                                         std::uint16_t resourceId);

}  // namespace tav
