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
#include <atomic>
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
    bool fresh = false;    // a frame came since the last pass looked
  };

  void ShowFrame(DeviceKind kind, std::span<const lighting::effects::FrameEntry> frame) override;
  // Timer 10's pass: the frames that came since the last pass reach the preview keys. True while
  // frames keep coming (the timer keeps running); false when none came (the timer stops until the
  // next frame arms it again). False at once while the window is off screen.
  bool PreviewPass();
  // Every waiting frame to its keys where their page is shown; true when one was applied or came
  // since the last pass.
  bool ApplyWaiting();
  bool Apply(DeviceKind kind);
  // The window was shown (true) or hidden or minimised (false). Shown also after every user action:
  // a page, tab or option may have shown other keys or switched their light, and a still frame
  // comes only once, so the latest frames go to the keys again.
  void PreviewShown(bool shown);
  bool LightSwitch(DeviceKind kind) const;
  std::vector<ui::Control>& Keys(DeviceKind kind);

  CMainWnd& window_;
  session::LightingThreads threads_;
  QObject context_;  // queued hand-overs die with it
  std::mutex mutex_;
  std::array<Pending, kDeviceKindCount> pending_;
  // Frames are taken over by timer 10's pass, not one task per frame: a lighting thread only asks
  // the UI thread to start the timer (once, while `armed_` is clear), and not while the window
  // cannot show the preview.
  std::atomic<bool> armed_{false};
  std::atomic<bool> shown_{false};
  std::array<std::vector<ui::Control>, kDeviceKindCount> keys_;  // UI thread
  std::array<std::vector<lighting::effects::FrameEntry>, kDeviceKindCount> applied_;  // UI thread
};

}  // namespace korva::app
