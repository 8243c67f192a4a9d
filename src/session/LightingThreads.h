#pragma once
// The five lighting threads: keyboard, mouse, mousepad, headset and the synchronised lighting.
// Each renders its device's effect from the records the session last published, shows the frame
// on the device's preview keys (through the LightingPreview the window gives) and streams it to
// the device while the system is awake (the headset's frame over the I2C bus of its audio chip,
// and only while the headset is present). The synchronised thread renders into the frames of every
// device that joined the same-mode lighting and writes them in the order keyboard, mouse, mousepad,
// headset.
//
// A frame that stands still (a static colour, a click flash waiting for its click) is written once:
// its thread then sleeps until something it renders from changes (the session's lighting bell:
// records, awake flag, same-mode copying and leaving it, clicks, mode selections, custom colours,
// and -- the watchers' connection bell rings it too -- a device that came or went), looking again
// only at the still pace. The synchronised thread sleeps the same way while it has nothing to light.
//
// Sharing, made safe: each thread reads one consistent copy of the records per pass; a device's
// frame and animation state are guarded by that device's own mutex (its own thread, the
// synchronised thread and the UI thread's entry points take it), so a frame is written whole by
// one writer at a time; the preview receives values, never widget calls.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>

#include "common/DeviceKind.h"
#include "common/StopEvent.h"
#include "lighting/effects/Frame.h"
#include "lighting/effects/HeadsetEffects.h"
#include "lighting/effects/KeyboardEffects.h"
#include "lighting/effects/MouseEffects.h"
#include "lighting/effects/MousepadEffects.h"
#include "lighting/effects/SyncEffects.h"

namespace korva::session {

class DeviceSession;

// Where a written frame's colours go on screen: the device's preview keys, entry i on key i.
// Called from the lighting threads; the receiver hands the values to the UI thread.
class LightingPreview {
 public:
  virtual ~LightingPreview() = default;
  virtual void ShowFrame(DeviceKind kind, std::span<const lighting::effects::FrameEntry> frame) = 0;
};

// The waits of the threads (tests shorten the first one).
struct LightingPaces {
  std::chrono::milliseconds firstWait{3000};   // before the first pass of a device thread
  std::chrono::milliseconds stopCheck{1};      // the stop test of every pass
  // A device thread while its device is absent looks again after this, or at once when the
  // watchers ring their connection bell.
  std::chrono::milliseconds absent{2000};
  // The synchronised thread while no device is present, or none joined, looks again after this
  // (or at once when the lighting bell rings).
  std::chrono::milliseconds noDevice{1000};
  // A still frame's thread looks again after this even when no bell rang. Every change that matters
  // rings one, so this is only a safety look.
  std::chrono::milliseconds still{30000};
};

class LightingThreads {
 public:
  // `session` gives the devices, the published records and the awake flag; `preview` the keys.
  LightingThreads(DeviceSession& session, LightingPreview& preview, LightingPaces paces = {});
  LightingThreads(const LightingThreads&) = delete;
  LightingThreads& operator=(const LightingThreads&) = delete;

  // The thread entries (worker slots 6-9 and 15).
  void KeyboardThread(const StopEvent& stop);
  void MouseThread(const StopEvent& stop);
  void MousepadThread(const StopEvent& stop);
  void HeadsetThread(const StopEvent& stop);
  void SynchronisedThread(const StopEvent& stop);

  // --- entry points of the pages and timers (any thread) ---
  // A mode was selected on a device's page: its animation starts over.
  void ModeSelected(DeviceKind kind, std::uint8_t mode, std::uint8_t direction);
  // The keyboard's page showed a mode read or loaded: its key phases or ripple seeded, nothing
  // started over.
  void KeyboardModeShown(std::uint8_t mode);
  // A click on keyboard preview key `key` (mode 9 starts a ripple there).
  void KeyboardKeyClicked(std::uint8_t key);
  // The 10 ms tick of the keyboard's click ripples.
  void TickKeyboardClock();
  // The mouse was clicked: the mouse's and the mousepad's click flashes take it.
  void Clicked();
  // The keyboard's custom colour sets and the set mode 8 shows.
  void SetKeyboardCustomColours(std::span<const std::uint8_t> sets, std::uint8_t set);

  // The frames as last rendered (tests).
  lighting::effects::KeyboardFrame KeyboardFrame() const;
  lighting::effects::MouseFrame MouseFrame() const;
  lighting::effects::MousepadFrame MousepadFrame() const;
  lighting::effects::HeadsetFrame HeadsetFrame() const;

 private:
  template <class Frame, class Animation>
  struct DeviceLight {
    mutable std::mutex mutex;
    Frame frame{};
    Animation animation{};
  };

  // What a pass tells its thread: how long to wait, or that its frame stands still.
  struct Step {
    std::chrono::milliseconds delay{0};
    bool still = false;
  };
  // What a still frame depends on besides the records; a thread sleeps while it stays the same.
  struct Stamp {
    std::uint64_t changes = 0;      // the session's lighting bell
    std::uint64_t connections = 0;  // the watchers' connection bell
    bool awake = true;
    unsigned joined = 0;            // bit per device kind: in the synchronised lighting
    bool operator==(const Stamp&) const = default;
  };
  // Something a still frame depends on changed outside the records: the lighting bell rings.
  void Changed() const;
  // The bells and the awake flag; the stamp of one device's thread, and of the synchronised thread
  // (every joined device).
  Stamp BellsStamp() const;
  Stamp DeviceStamp(DeviceKind kind) const;
  Stamp SyncStamp() const;
  // Sleeps while the stamp `now()` gives stays `seen`: until the lighting bell rings or, looking
  // at the still pace, the stamp differs. True when the stop came.
  template <class StampFn>
  bool SleepWhileStill(const Stamp& seen, StampFn now, const StopEvent& stop) const;

  // Shared by the device threads: first wait, absent and synchronised skips, the pass.
  template <class PassFn>
  void RunDeviceThread(DeviceKind kind, const StopEvent& stop, PassFn pass);
  // Preview and write of one device's frame (the headset's over its audio chip's I2C bus).
  template <class Frame>
  void WriteFrame(DeviceKind kind, const Frame& frame);
  bool WriteJoined(const std::array<bool, kDeviceKindCount>& joined, const StopEvent& stop,
                   std::chrono::milliseconds& owed);

  Step KeyboardPass(bool synchronised);
  Step MousePass(bool synchronised);
  Step MousepadPass(bool synchronised);
  Step HeadsetPass(bool synchronised);

  DeviceSession& session_;
  LightingPreview& preview_;
  LightingPaces paces_;

  DeviceLight<lighting::effects::KeyboardFrame, lighting::effects::KeyboardAnimation> keyboard_;
  lighting::effects::KeyboardFrame keyboardClickPreview_{};  // under keyboard_.mutex
  std::array<std::uint8_t, lighting::effects::kCustomColourSetCount * lighting::effects::kCustomColourSetSize>
      customSets_{};                                         // under keyboard_.mutex
  std::uint8_t customSet_ = 0;                               // under keyboard_.mutex
  DeviceLight<lighting::effects::MouseFrame, lighting::effects::MouseAnimation> mouse_;
  DeviceLight<lighting::effects::MousepadFrame, lighting::effects::MousepadAnimation> mousepad_;
  DeviceLight<lighting::effects::HeadsetFrame, lighting::effects::HeadsetAnimation> headset_;
  std::mutex syncMutex_;
  lighting::effects::SyncAnimation sync_{};
  std::atomic<bool> mouseClicked_{false};
  std::atomic<bool> mousepadClicked_{false};
};

}  // namespace korva::session
