#pragma once
// LightingWiring: the lighting threads in the main window's worker slots (keyboard 6, mouse 7,
// mousepad 8, synchronised 9, headset 15), their frames on the preview keys, the click reactions
// and the 10 ms tick of the keyboard's click ripples.
//
// The threads hand each written frame over as values; the latest frame of each device waits here
// and one task per device at a time carries it to the UI thread, which sets the tint, alpha and
// light of the preview keys that are on the visible page (timer 10 then repaints the ones that
// changed). A thread that renders faster than the UI thread takes its frames costs no more than
// one hand-over per UI turn.
//
// Construct after the window and before "windowinit"; it must outlive the window's threads
// (destroy it after CMainWnd::Shutdown).

#include <QObject>
#include <array>
#include <mutex>
#include <vector>

#include "lighting/effects/Frame.h"
#include "session/LightingThreads.h"
#include "ui/Control.h"

namespace korva::app {

class CMainWnd;

class LightingWiring final : private session::LightingPreview {
 public:
  explicit LightingWiring(CMainWnd& window, session::LightingPaces paces = {});
  LightingWiring(const LightingWiring&) = delete;
  LightingWiring& operator=(const LightingWiring&) = delete;

  session::LightingThreads& Threads() { return threads_; }
  // After the keyboard's record changed: the 10 ms tick runs only while mode 9 needs it.
  void KeyboardRecordChanged();

 private:
  struct Pending {
    std::vector<lighting::effects::FrameEntry> frame;
    bool waiting = false;  // a frame waits for the UI thread
    bool posted = false;   // a task to carry it is on its way
  };

  void ShowFrame(DeviceKind kind, std::span<const lighting::effects::FrameEntry> frame) override;
  void Apply(DeviceKind kind);
  bool LightSwitch(DeviceKind kind) const;
  const std::vector<ui::Control>& Keys(DeviceKind kind);

  CMainWnd& window_;
  session::LightingThreads threads_;
  QObject context_;  // queued hand-overs die with it
  std::mutex mutex_;
  std::array<Pending, kDeviceKindCount> pending_;
  std::array<std::vector<ui::Control>, kDeviceKindCount> keys_;  // UI thread
  std::array<std::vector<lighting::effects::FrameEntry>, kDeviceKindCount> applied_;  // UI thread
};

}  // namespace korva::app
