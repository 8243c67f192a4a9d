#pragma once
// The synchronisation readers: one thread each for the keyboard (product 0x8901) and the mouse,
// listening on the device's consumer-control collection for the reports the device sends when the
// user changes something on the device itself, and asking the main window to re-read it:
//   keyboard  0x0401 -> WM_KB_PROFILE   0x0402 -> WM_KB_RELOAD
//   mouse     0x0401 -> WM_MS_PROFILE   0x0402 -> WM_MS_RELOAD   0x0403 -> click reaction
// Any other usage does nothing. Messages are sent: the reader waits until the main window has
// re-read the device.
//
// A reader owns its link, opened for reading only, separate from the device's own link; it takes
// no device lock. It searches (enumerate, then the first collection passing the identity test),
// reads until a report comes, the device goes, the stop is set or the read time-out (5 s) has passed,
// tests the device's presence after a read that brought nothing, and searches again 1000 ms after
// the device has gone. A quiet device costs no wake-ups but that look every few seconds (on the
// hidapi backend, which cannot be woken, a read is cut into slices that look for the stop). A failed
// enumeration is retried at the next search.
//
// On Linux the consumer collection shares its hidraw node with the vendor collection, so the
// reader also receives the answers to the command frames (report id 0x04): only reports with the
// consumer collection's own report id are looked at.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "common/StopEvent.h"
#include "common/WindowMessage.h"
#include "device/DeviceSearch.h"
#include "device/HidLink.h"
#include "device/WatcherStart.h"

namespace korva::device {

inline constexpr std::uint16_t kUsageProfileChanged = 0x0401;
inline constexpr std::uint16_t kUsageSettingsChanged = 0x0402;
inline constexpr std::uint16_t kUsageClick = 0x0403;

// What a consumer usage from the device asks the main window to do.
struct ReaderAction {
  enum class Kind {
    kNone,
    kSend,           // send `message`
    kClickReaction,  // trigger the lighting preview's click reaction
  };
  Kind kind = Kind::kNone;
  WindowMessage message = WindowMessage::WakeMessage;  // for kSend

  bool operator==(const ReaderAction&) const = default;
};

ReaderAction ActionForUsage(ReaderKind kind, std::uint16_t usage);

class SyncReader {
 public:
  SyncReader(ReaderKind kind, const WatcherStart& start);
  SyncReader(const SyncReader&) = delete;
  SyncReader& operator=(const SyncReader&) = delete;

  // Enumerates and opens the device's consumer collection. True when connected.
  bool Search();
  // One read and its handling. False when the device has gone or `stop` is set.
  bool ListenOnce(const StopEvent& stop);
  // Reads until the device goes or `stop` is set, then closes the link.
  void Listen(const StopEvent& stop);
  // Searches and listens until `stop` is set.
  void Run(const StopEvent& stop);

  bool IsConnected() const { return connected_; }

 private:
  // Acts on a report of the consumer collection; false for a report of another collection (an
  // answer to a command frame).
  bool Handle(std::span<const std::uint8_t> report, const StopEvent& stop);
  // Reads one report within `timeoutMs` and handles it: none when nothing came, else whether it
  // was a report of the consumer collection.
  std::optional<bool> TakeReport(int timeoutMs, const StopEvent& stop);
  // Reads and handles the reports already waiting, without sleeping. False when `stop` is set.
  bool TakeWaitingReports(const StopEvent& stop);

  const ReaderKind kind_;
  const WatcherStart& start_;
  const SearchRule rule_;
  HidLink link_;
  ReportTable input_;  // the consumer collection's report buffer and items
  std::string path_;   // of the collection opened
  bool connected_ = false;
  bool enumerationFailing_ = false;
};

// Thread entries (slots 4 and 5 of the main window's worker threads). Each returns when `stop` is set.
void MouseSyncReaderThread(const WatcherStart& start, const StopEvent& stop);
void KeyboardSyncReaderThread(const WatcherStart& start, const StopEvent& stop);

}  // namespace korva::device
