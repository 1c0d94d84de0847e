#include "link/monitor_loader.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace tav {

namespace {

constexpr std::uint8_t kWrite = 0x49;
constexpr std::uint8_t kWriteNext = 0x19;
constexpr std::uint8_t kRun = 0x28;
// Where the monitor keeps the program counter that Run restores; every RAM program starts at
// 0x0100.
constexpr std::uint16_t kSavedProgramCounter = 0x00FE;
constexpr std::uint16_t kRamProgramStart = 0x0100;
constexpr std::size_t kReplyLength = 14;

// Sends a monitor command byte by byte; the command is cut short at the first byte after
// which the abort flag is found set. The download goes on with the next command regardless.
void SendCommand(SerialLink& link, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) {
    if (link.SendImmediate(byte) < 0) return;
  }
}

std::uint8_t High(std::uint32_t address) { return static_cast<std::uint8_t>(address >> 8); }
std::uint8_t Low(std::uint32_t address) { return static_cast<std::uint8_t>(address); }

// Each run of consecutive used bytes costs one Write and a Write next per further byte. The
// walk stops after the last used byte and never leaves the window.
void DownloadImage(SerialLink& link, const S19Image& image) {
  Host& host = link.UserInterface();
  std::uint32_t sent = 0;
  bool runStart = true;
  for (std::uint32_t i = 0; i < image.windowSize && sent < image.usedCount; ++i) {
    if (image.usedMask[i] == 0) {
      runStart = true;
      continue;
    }
    const std::uint32_t address = image.baseAddress + i;
    if (runStart) {
      SendCommand(link, {kWrite, High(address), Low(address), image.bytes[i]});
      runStart = false;
    } else {
      SendCommand(link, {kWriteNext, image.bytes[i]});
    }
    ++sent;
    host.SetProgressPosition(static_cast<std::uint16_t>(sent));
  }
}

int JudgeReply(const std::uint8_t* reply, std::size_t received) {
  if (received < 2) return kRamProgramSilent;
  const std::uint8_t first = reply[received - 2];
  const std::uint8_t last = reply[received - 1];
  if (first != 'O') return kRamProgramSilent;
  if (last == 'K') return kRamProgramRunning;
  if (last == 'X') return kRamProgramLockedOut;
  return kRamProgramSilent;
}

}  // namespace

int LoadRamApplication(SerialLink& link, const S19Image& image) {
  link.UserInterface().SetProgressRange(static_cast<std::uint16_t>(image.usedCount));
  DownloadImage(link, image);
  SendCommand(link, {kWrite, High(kSavedProgramCounter), Low(kSavedProgramCounter),
                     High(kRamProgramStart)});
  SendCommand(link, {kWriteNext, Low(kRamProgramStart)});
  SendCommand(link, {kRun});
  link.SetReadTimeout(500);
  std::uint8_t reply[kReplyLength];
  const std::size_t received = link.ReadBytes(reply, kReplyLength);
  return JudgeReply(reply, received);
}

}  // namespace tav
