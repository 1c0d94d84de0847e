#include "bench/run_floor.h"

#include <cstdint>

#include "image/resource_ids.h"
#include "image/s19_image.h"
#include "sim/radio_timing.h"

namespace tav {

namespace {

// What the run does, in seconds: its waits, breaks, pace and read time-out.
constexpr double kPace = 0.005;          // after each single byte
constexpr double kReadTimeout = 0.5;     // the RAM program's start-up reply ends at it
constexpr double kProbeSettle = 0.020;   // after the wake-up bytes
constexpr double kShortBreak = 0.050;    // after the core's date code, then as long again
constexpr double kEraseWait = 1.0;       // each unit's erase command
constexpr double kTalkThroughEnd = 0.5;  // the long break after the core
constexpr int kSecurityBytes = 8;
constexpr int kRowSize = 64;
constexpr int kPacketFrame = 5;  // start, address high and low, count, checksum

double Seconds(Micros time) { return static_cast<double>(time.count()) / 1e6; }

// Start bit, eight data bits, stop bit.
double LineTime(std::uint32_t bytes, std::uint32_t baud) { return bytes * 10.0 / baud; }

struct Images {
  S19Image talkThrough, coreLoader, controlHeadLoader, coreFirmware, controlHeadFirmware;
};

void LoadAll(const ResourceSource& resources, Images& images) {
  images.talkThrough.Load(resources, kTalkThroughResource, kRamWindowBase, kRamWindowSize);
  images.coreLoader.Load(resources, kCoreLoaderResource, kRamWindowBase, kRamWindowSize);
  images.controlHeadLoader.Load(resources, kControlHeadLoaderResource, kRamWindowBase,
                                kRamWindowSize);
  images.coreFirmware.Load(resources, kCoreFirmwareResource, 0x8000, 0x8000);
  images.controlHeadFirmware.Load(resources, kControlHeadFirmwareResource, 0x8000, 0x8000);
}

double SecurityBytes() { return kSecurityBytes * kPace; }

// The monitor download: a Write (4 bytes) for the first byte of each run of used bytes, a
// Write next (2) for each further one, the program counter (4 + 2) and Run (1), every byte
// paced; then the start-up reply's read, which runs to its time-out.
double RamProgramStart(const S19Image& image) {
  std::uint32_t bytes = 4 + 2 + 1;
  bool runStart = true;
  for (std::uint32_t i = 0; i < image.windowSize; ++i) {
    if (image.usedMask[i] == 0) {
      runStart = true;
      continue;
    }
    bytes += runStart ? 4 : 2;
    runStart = false;
  }
  return bytes * kPace + kReadTimeout;
}

// One packet per 64-byte row with used bytes, spanning its first to its last used byte, at
// 9600 baud; the loader programs the row and acknowledges with one byte. Then the closing
// packet, acknowledged at the loader's reply delay.
double FlashWrite(const S19Image& image) {
  double total = 0;
  for (std::uint32_t row = 0; row < image.windowSize; row += kRowSize) {
    int first = -1, last = -1;
    for (int i = 0; i < kRowSize; ++i) {
      if (image.usedMask[row + i] == 0) continue;
      if (first < 0) first = i;
      last = i;
    }
    if (first < 0) continue;
    const auto n = static_cast<std::uint32_t>(last - first + 1);
    total += LineTime(n + kPacketFrame, 9600) + Seconds(kRowProgramTime) + LineTime(1, 9600);
  }
  return total + LineTime(kPacketFrame, 9600) + Seconds(kFirmwareReplyDelay) + LineTime(1, 9600);
}

}  // namespace

std::array<double, kBothUnitsPhases.size()> BothUnitsFloor(const ResourceSource& resources) {
  Images images;
  LoadAll(resources, images);
  const double reply = Seconds(kFirmwareReplyDelay);

  // Security bytes at 9600, eight wake-up bytes at 4800 and the settling wait, then the
  // probe and the control head's answer.
  const double identify = SecurityBytes() + LineTime(8, 4800) + kProbeSettle + LineTime(4, 4800) +
                          reply + LineTime(1, 4800);
  // The core's date code relayed in one reply, the short break and the quiet after it; the
  // control head's four bytes, one request each; its erase command and wait; the security
  // bytes and the talk-through; the core sequence's first security bytes.
  const double coreDate =
      LineTime(4, 4800) + Seconds(kCoreDateRelayDelay) + LineTime(4, 4800) + 2 * kShortBreak;
  const double controlHeadDate = 4 * (LineTime(1, 4800) + reply + LineTime(1, 4800));
  const double dateCodesAndRelay = coreDate + controlHeadDate + LineTime(5, 4800) + kEraseWait +
                                   SecurityBytes() + RamProgramStart(images.talkThrough) +
                                   SecurityBytes();
  // The core's erase command at 38400 and its wait, security bytes, the core's loader.
  const double coreLoader =
      LineTime(5, 38400) + kEraseWait + SecurityBytes() + RamProgramStart(images.coreLoader);
  // The core's firmware, the long break, the control head's security bytes.
  const double coreFirmware = FlashWrite(images.coreFirmware) + kTalkThroughEnd + SecurityBytes();
  return {identify,
          dateCodesAndRelay,
          coreLoader,
          coreFirmware,
          RamProgramStart(images.controlHeadLoader),
          FlashWrite(images.controlHeadFirmware)};
}

}  // namespace tav
