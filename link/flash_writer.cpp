#include "link/flash_writer.h"

#include <algorithm>
#include <cstdio>

namespace tav {

namespace {

constexpr std::uint8_t kAcknowledge = 0x06;
constexpr std::uint32_t kBlockSize = 64;
constexpr int kPacketTries = 10;
constexpr int kClosingTries = 5;

// The span of one block from its first to its last used byte; empty when no byte is used.
struct BlockSpan {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  std::uint32_t used = 0;
};

BlockSpan FindSpan(const S19Image& image, std::uint32_t blockStart) {
  BlockSpan span;
  const std::uint32_t blockEnd = std::min(blockStart + kBlockSize, image.windowSize);
  for (std::uint32_t i = blockStart; i < blockEnd; ++i) {
    if (image.usedMask[i] == 0) continue;
    if (span.used == 0) span.first = i;
    span.last = i;
    ++span.used;
  }
  return span;
}

// The span's bytes, with erased flash (0xFF) wherever the image supplies no byte.
FlashPacket PacketForSpan(const S19Image& image, const BlockSpan& span) {
  std::array<std::uint8_t, FlashPacket::kMaxData> data;
  const std::uint32_t n = span.last - span.first + 1;
  for (std::uint32_t k = 0; k < n; ++k) {
    const std::uint32_t i = span.first + k;
    data[k] = image.usedMask[i] != 0 ? image.bytes[i] : 0xFF;
  }
  return FlashPacket::Build(static_cast<std::uint16_t>(image.baseAddress + span.first), data.data(),
                            static_cast<std::uint8_t>(n));
}

enum class Delivery { Taken, GaveUp, Cancelled };

// One try, judged by its own reply: whatever arrived before the packet had left is thrown
// away. A byte from earlier (a late reply to the try before, or the loader's answer to a
// packet that noise made it see in the bytes so far) would otherwise answer this try, and
// from then on every packet could be judged by its predecessor's reply: a packet the loader
// rejected would count as taken. At worst, when the program is held up between the write and
// the purge for longer than the loader takes to answer, a genuine reply is lost and the packet
// is sent again, as after any lost reply.
bool Acknowledged(SerialLink& link, const FlashPacket& packet) {
  return link.SendAndAwaitByte(packet.bytes.data(), packet.size, 1,
                               SerialLink::EarlierBytes::Dropped) == kAcknowledge;
}

Delivery SendPacket(SerialLink& link, const FlashPacket& packet) {
  for (int attempt = 1; attempt <= kPacketTries; ++attempt) {
    if (Acknowledged(link, packet)) return Delivery::Taken;
    if (link.AbortRequested()) return Delivery::Cancelled;
  }
  return Delivery::GaveUp;
}

std::string PercentText(unsigned percent) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u%%", percent);
  return text;
}

// Progress bar position and percent text after a packet; the text changes only with the
// integer percent.
class Progress {
 public:
  Progress(Host& host, std::uint32_t total) : host_(host), total_(total) {
    host_.SetProgressRange(static_cast<std::uint16_t>(total_));
    host_.SetElementText(StatusElement::PercentText, PercentText(0));
  }

  void Advance(std::uint32_t sent) {
    host_.SetProgressPosition(static_cast<std::uint16_t>(sent));
    const auto percent = static_cast<unsigned>(std::uint64_t{sent} * 100 / total_);
    if (percent != shown_) {
      host_.SetElementText(StatusElement::PercentText, PercentText(percent));
      shown_ = percent;
    }
  }

 private:
  Host& host_;
  std::uint32_t total_;
  unsigned shown_ = 0;
};

}  // namespace

FlashPacket FlashPacket::Build(std::uint16_t address, const std::uint8_t* data, std::uint8_t n) {
  FlashPacket packet;
  packet.bytes[0] = 0x02;
  packet.bytes[1] = static_cast<std::uint8_t>(address >> 8);
  packet.bytes[2] = static_cast<std::uint8_t>(address);
  packet.bytes[3] = n;
  std::copy(data, data + n, packet.bytes.begin() + 4);
  unsigned sum = 0;
  for (std::size_t i = 1; i < 4u + n; ++i) sum += packet.bytes[i];
  packet.bytes[4u + n] = static_cast<std::uint8_t>(0x100u - (sum & 0xFFu));
  packet.size = 5u + n;
  return packet;
}

FlashPacket ClosingPacket() { return FlashPacket::Build(0x55AA, nullptr, 0); }

int WriteFlashImage(SerialLink& link, const S19Image& image) {
  Host& host = link.UserInterface();
  link.SetReadTimeout(500);
  Progress progress(host, image.usedCount);

  // Blocks of 64 bytes from the base address; the walk ends after the block holding the last
  // used byte, and never leaves the window.
  std::uint32_t sent = 0;
  for (std::uint32_t block = 0; block < image.windowSize && sent < image.usedCount;
       block += kBlockSize) {
    const BlockSpan span = FindSpan(image, block);
    if (span.used == 0) continue;
    sent += span.used;
    const FlashPacket packet = PacketForSpan(image, span);
    if (link.AbortRequested()) return 0;
    switch (SendPacket(link, packet)) {
      case Delivery::Taken:
        break;
      case Delivery::Cancelled:
        return 0;
      case Delivery::GaveUp:
        host.ShowMessage("Radio has stopped responding.", "Sorel Radio", MessageIcon::Information,
                         MessageButtons::Ok);
        return 0;
    }
    progress.Advance(sent);
  }

  // The loader starts the new firmware on the closing packet; its reply is not required.
  const FlashPacket closing = ClosingPacket();
  for (int attempt = 0; attempt < kClosingTries; ++attempt) {
    if (Acknowledged(link, closing)) break;
  }
  return 1;
}

}  // namespace tav
