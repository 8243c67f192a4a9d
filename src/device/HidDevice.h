#pragma once
// HidDevice: the connection object of one device kind -- its identity pattern, the state flags
// the rest of the application reads, the block size of the block commands, its link and the
// recursive lock that serialises all traffic to the device.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "common/Bell.h"
#include "device/HidBackend.h"
#include "device/HidLink.h"

namespace korva::device {

// What a device is recognised by. All zero until the main window sets it at start-up.
struct HidIdentity {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t usage = 0;
  std::uint16_t usagePage = 0;
};

inline constexpr std::uint16_t kDefaultBlockSize = 512;
inline constexpr int kEndTransferPauseMs = 10;

class HidDevice {
 public:
  explicit HidDevice(HidBackend& backend) : link(backend) {}
  // Clears connected and the identity, then closes the link.
  ~HidDevice();
  HidDevice(const HidDevice&) = delete;
  HidDevice& operator=(const HidDevice&) = delete;

  // Bytes the block commands (0x07, 0x08, 0x09) move; the keyboard read replaces it by the size the
  // keyboard reports.
  std::atomic<std::uint16_t> blockSize{kDefaultBlockSize};
  HidIdentity identity;  // set once, before the threads start
  // The pause EndTransfer makes before it closes a transfer bracket, so the device has stored what
  // it got. Set once, before the threads start; a scripted device that stores nothing needs none.
  std::chrono::milliseconds endTransferPause{kEndTransferPauseMs};
  // Flags read from every thread: connected is owned by the device's watcher; syncLighting and
  // streamEnabled by the lighting code; busy is set for the duration of a framed exchange.
  std::atomic<bool> connected{false};
  std::atomic<bool> syncLighting{false};
  // Rung when the device leaves the synchronised lighting (set once, before the threads start):
  // its lighting thread, asleep while the synchronised thread lit it, takes over again.
  const Bell* lightingBell = nullptr;
  void LeaveSynchronisedLighting() {
    if (syncLighting.exchange(false) && lightingBell != nullptr) lightingBell->Ring();
  }
  std::atomic<bool> busy{false};
  std::atomic<bool> streamEnabled{true};
  HidLink link;
  // Serialises every use of the link: a watcher holds it for a whole polling cycle, each exchange
  // for its whole write-read-retry sequence. Recursive so that a watcher's cycle can run exchanges.
  std::recursive_mutex lock;
};

}  // namespace korva::device
