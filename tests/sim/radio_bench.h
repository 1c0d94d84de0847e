#pragma once
// A simulated radio on the virtual clock with its port open, driven byte by byte the way the
// PC drives a real one, and the monitor download and flash packets built from the images.

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/built_in_resources.h"
#include "image/resource_ids.h"
#include "image/s19_image.h"
#include "sim/simulated_radio.h"
#include "sim/virtual_clock.h"

namespace tav::testing {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

inline const Bytes kProbe = {0x00, 0x0A, 0x14, 0x28};
inline const Bytes kSecurityCode(8, 0xFF);
inline const Bytes kControlHeadErase = {0xA7, 0x5C, 0x0E, 0x91, 0x3B};
inline const Bytes kCoreErase = {0x20, 0xA7, 0x5C, 0x0E, 0xC6};
inline const Bytes kCoreDateCodeQuery = {0x30, 0x20, 0x68, 0x88};
inline const Bytes kClosingPacket = {0x02, 0x55, 0xAA, 0x00, 0x01};

inline Bytes StartUpReply(char verdict) {
  return {0xFF,
          '0',
          '1',
          '2',
          '3',
          '4',
          '5',
          '6',
          '7',
          '8',
          '9',
          'O',
          static_cast<std::uint8_t>(verdict)};
}

inline Bytes LittleEndian(std::uint32_t code) {
  return {static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code >> 8),
          static_cast<std::uint8_t>(code >> 16), static_cast<std::uint8_t>(code >> 24)};
}

inline std::unique_ptr<S19Image> LoadImage(std::uint16_t id) {
  auto image = std::make_unique<S19Image>();
  const bool ram =
      id == kTalkThroughResource || id == kControlHeadLoaderResource || id == kCoreLoaderResource;
  image->Load(BuiltInResources(), id, ram ? kRamWindowBase : kFlashWindowBase,
              ram ? kRamWindowSize : kFlashWindowSize);
  return image;
}

// Write for the first byte of each run of used bytes, Write next for the rest, the saved
// program counter 0x0100, then Run.
inline Bytes MonitorDownload(const S19Image& image) {
  Bytes bytes;
  bool runStart = true;
  for (std::uint32_t i = 0; i < image.windowSize; ++i) {
    if (!image.usedMask[i]) {
      runStart = true;
      continue;
    }
    const auto address = static_cast<std::uint16_t>(image.baseAddress + i);
    if (runStart) {
      bytes.insert(bytes.end(), {0x49, static_cast<std::uint8_t>(address >> 8),
                                 static_cast<std::uint8_t>(address), image.bytes[i]});
    } else {
      bytes.insert(bytes.end(), {0x19, image.bytes[i]});
    }
    runStart = false;
  }
  bytes.insert(bytes.end(), {0x49, 0x00, 0xFE, 0x01, 0x19, 0x00, 0x28});
  return bytes;
}

inline Bytes Packet(std::uint16_t address, const Bytes& data) {
  Bytes packet = {0x02, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address),
                  static_cast<std::uint8_t>(data.size())};
  std::uint8_t sum = 0;
  for (std::size_t i = 1; i < packet.size(); ++i) sum = static_cast<std::uint8_t>(sum + packet[i]);
  for (std::uint8_t byte : data) {
    packet.push_back(byte);
    sum = static_cast<std::uint8_t>(sum + byte);
  }
  packet.push_back(static_cast<std::uint8_t>(-sum));
  return packet;
}

// One packet per 64-byte row that the image uses: from its first to its last used byte, 0xFF
// in the gaps.
inline std::vector<Bytes> ImagePackets(const S19Image& image) {
  std::vector<Bytes> packets;
  for (std::uint32_t row = 0; row < image.windowSize; row += 64) {
    int first = -1, last = -1;
    for (int i = 0; i < 64; ++i) {
      if (image.usedMask[row + i]) {
        if (first < 0) first = i;
        last = i;
      }
    }
    if (first < 0) continue;
    Bytes data;
    for (int i = first; i <= last; ++i) {
      data.push_back(image.usedMask[row + i] ? image.bytes[row + i] : 0xFF);
    }
    packets.push_back(Packet(static_cast<std::uint16_t>(image.baseAddress + row + first), data));
  }
  return packets;
}

class RadioBench {
 public:
  explicit RadioBench(const RadioSetup& setup = {})
      : radio(clock, BuiltInResources(), setup), port(radio.Opener().Open("COM1").port) {
    port->SetBaud(9600);
  }

  void Baud(std::uint32_t baud) { port->SetBaud(baud); }
  void Write(const Bytes& bytes) { port->Write(bytes.data(), bytes.size()); }
  // Each byte ahead of the queue, 5 ms apart: how the PC feeds a ROM monitor.
  void SendPaced(const Bytes& bytes) {
    for (std::uint8_t byte : bytes) {
      port->TransmitImmediate(byte);
      clock.Sleep(5ms);
    }
  }
  Bytes Read(std::size_t maximum = 64, Millis timeout = 500ms) {
    Bytes bytes(maximum);
    bytes.resize(port->Read(bytes.data(), maximum, timeout));
    return bytes;
  }
  // Writes and reads the one-byte answer, as a packet try does.
  Bytes Exchange(const Bytes& bytes) {
    Write(bytes);
    return Read(1);
  }
  void Wait(Millis duration) { clock.Sleep(duration); }
  void Break(Millis duration) {
    port->SetBreak(true);
    clock.Sleep(duration);
    port->SetBreak(false);
  }
  // The security code and a RAM program through the ROM monitor at 9600; the start-up reply.
  Bytes StartRamProgram(std::uint16_t resourceId, const Bytes& securityCode = kSecurityCode) {
    Baud(9600);
    SendPaced(securityCode);
    SendPaced(MonitorDownload(*LoadImage(resourceId)));
    return Read(14);
  }

  VirtualClock clock;
  SimulatedRadio radio;
  std::unique_ptr<Port> port;
};

}  // namespace tav::testing
