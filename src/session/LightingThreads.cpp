#include "session/LightingThreads.h"

#include <algorithm>
#include <type_traits>

#include "common/Log.h"
#include "device/CommandExchange.h"
#include "headset/HeadsetLight.h"
#include "headset/HeadsetLightFrame.h"
#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/SharedTables.h"
#include "lighting/effects/StreamPacking.h"
#include "session/DeviceSession.h"

namespace korva::session {
namespace {

namespace fx = lighting::effects;
using std::chrono::milliseconds;

// What each thread traces when it ends.
constexpr char kKeyboardExit[] = "键盘灯光线程设定退出";
constexpr char kMouseExit[] = "鼠标灯光线程设定退出";
constexpr char kMousepadExit[] = "鼠标垫灯光线程设定退出";
constexpr char kHeadsetExit[] = "耳机灯光线程设定退出";
constexpr char kSyncExit[] = "同步灯光线程设定退出";

std::uint8_t CheckedSpeed(const lighting::LightingSettings& record) {
  return std::min(record.speed, lighting::LightingSettings::kMaxSpeed);
}

// The stream buffer of each device's frame.
auto StreamOf(const fx::KeyboardFrame& frame) {
  return fx::PackKeyboardStream(frame);
}
auto StreamOf(const fx::MouseFrame& frame) {
  return fx::PackMouseStream(frame);
}
auto StreamOf(const fx::MousepadFrame& frame) {
  return fx::PackMousepadStream(frame);
}

}  // namespace

LightingThreads::LightingThreads(DeviceSession& session, LightingPreview& preview, LightingPaces paces)
    : session_(session), preview_(preview), paces_(paces) {}

// --- the device threads ------------------------------------------------------------------------

template <class PassFn>
void LightingThreads::RunDeviceThread(DeviceKind kind, const StopEvent& stop, PassFn pass) {
  if (stop.Wait(paces_.firstWait)) return;
  const device::HidDevice& device = session_.Device(kind);
  const device::ConnectionBell& bell = session_.WatcherStartBlock().connectionChanged;
  while (!stop.Wait(paces_.stopCheck)) {
    const std::uint64_t rings = bell.Rings();
    if (!device.connected) {
      // Asleep until a device comes (the watchers ring the bell), looking again at the absent pace.
      if (bell.WaitPast(rings, stop, paces_.absent)) return;
      continue;
    }
    if (stop.Wait(pass(device.syncLighting.load()))) return;
  }
}

void LightingThreads::KeyboardThread(const StopEvent& stop) {
  RunDeviceThread(DeviceKind::kKeyboard, stop, [&](bool synchronised) { return KeyboardPass(stop, synchronised); });
  Trace(kKeyboardExit);
}

void LightingThreads::MouseThread(const StopEvent& stop) {
  RunDeviceThread(DeviceKind::kMouse, stop, [&](bool synchronised) { return MousePass(synchronised); });
  Trace(kMouseExit);
}

void LightingThreads::MousepadThread(const StopEvent& stop) {
  RunDeviceThread(DeviceKind::kMousepad, stop, [&](bool synchronised) { return MousepadPass(synchronised); });
  Trace(kMousepadExit);
}

void LightingThreads::HeadsetThread(const StopEvent& stop) {
  RunDeviceThread(DeviceKind::kHeadset, stop, [&](bool synchronised) { return HeadsetPass(stop, synchronised); });
  Trace(kHeadsetExit);
}

milliseconds LightingThreads::KeyboardPass(const StopEvent& /*stop*/, bool synchronised) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kKeyboard);
  std::unique_lock lock(keyboard_.mutex);
  if (synchronised) {
    // The synchronised thread owns the frame; the ripple colours still move on.
    fx::NoteKeyboardFrameWritten(keyboard_.animation);
    const fx::EffectRecord checked = fx::CheckRecord(record, fx::kKeyboardLastMode);
    return fx::KeyboardDelay(checked.mode, checked.speed);
  }
  const fx::KeyboardInput input{record, fx::CustomColourSetsView(customSets_), customSet_};
  const fx::Pass pass = fx::RenderKeyboard(input, keyboard_.animation, keyboard_.frame, keyboardClickPreview_);
  if (pass.rendered == fx::Rendered::kFrame) {
    const fx::KeyboardFrame frame = keyboard_.frame;
    fx::NoteKeyboardFrameWritten(keyboard_.animation);
    lock.unlock();
    WriteFrame(DeviceKind::kKeyboard, frame);
  } else if (pass.rendered == fx::Rendered::kPreviewOnly) {
    // The click ripples show on the preview; the keyboard plays its own.
    const fx::KeyboardFrame preview = keyboardClickPreview_;
    lock.unlock();
    preview_.ShowFrame(DeviceKind::kKeyboard, preview);
  }
  return pass.delay;
}

milliseconds LightingThreads::MousePass(bool synchronised) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kMouse);
  std::unique_lock lock(mouse_.mutex);
  milliseconds delay = fx::MouseDelay(CheckedSpeed(record));
  if (!synchronised) {
    const fx::MouseInput input{record, mouseClicked_.load(), fx::EffectClock::now()};
    const fx::Pass pass = fx::RenderMouse(input, mouse_.animation, mouse_.frame);
    if (pass.clickTaken) mouseClicked_ = false;
    delay = pass.delay;
  }
  // The mouse's frame is written also while synchronised (the synchronised thread renders it).
  const fx::MouseFrame frame = mouse_.frame;
  lock.unlock();
  WriteFrame(DeviceKind::kMouse, frame);
  return delay;
}

milliseconds LightingThreads::MousepadPass(bool synchronised) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kMousepad);
  std::unique_lock lock(mousepad_.mutex);
  if (synchronised) {
    const fx::EffectRecord checked = fx::CheckRecord(record, fx::kMousepadLastMode);
    return fx::MousepadDelay(checked.mode, checked.speed);
  }
  const fx::MousepadInput input{record, mousepadClicked_.load(), fx::EffectClock::now()};
  const fx::Pass pass = fx::RenderMousepad(input, mousepad_.animation, mousepad_.frame);
  if (pass.clickTaken) mousepadClicked_ = false;
  if (pass.rendered != fx::Rendered::kFrame) return pass.delay;
  const fx::MousepadFrame frame = mousepad_.frame;
  lock.unlock();
  WriteFrame(DeviceKind::kMousepad, frame);
  return pass.delay;
}

milliseconds LightingThreads::HeadsetPass(const StopEvent& /*stop*/, bool synchronised) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kHeadset);
  std::unique_lock lock(headset_.mutex);
  if (synchronised) {
    const fx::EffectRecord checked = fx::CheckRecord(record, fx::kHeadsetLastMode);
    return fx::KeyboardDelay(checked.mode, checked.speed);
  }
  const fx::Pass pass = fx::RenderHeadset(record, headset_.animation, headset_.frame);
  const fx::HeadsetFrame frame = headset_.frame;
  lock.unlock();
  if (pass.rendered == fx::Rendered::kFrame) WriteFrame(DeviceKind::kHeadset, frame);
  return pass.delay;
}

// --- the synchronised thread -------------------------------------------------------------------

void LightingThreads::SynchronisedThread(const StopEvent& stop) {
  while (!stop.Wait(paces_.stopCheck)) {
    if (!session_.AnyConnected()) {
      if (stop.Wait(paces_.noDevice)) break;
      continue;
    }
    std::array<bool, kDeviceKindCount> joined{};
    bool any = false;
    for (DeviceKind kind : kAllDeviceKinds) {
      const device::HidDevice& device = session_.Device(kind);
      joined[IndexOf(kind)] = device.connected && device.syncLighting;
      any = any || joined[IndexOf(kind)];
    }
    if (!any) {
      // Nothing to render until same-mode copying joins a device: sleep until then (and look
      // again at the no-device pace), rather than every stop check.
      std::unique_lock lock(joinMutex_);
      joined_.wait_for(lock, stop.Token(), paces_.noDevice, [this] { return joinChanged_; });
      joinChanged_ = false;
      continue;
    }
    const lighting::LightingSettings record = session_.PublishedLighting().GetSynchronised();
    {
      // Every joined frame under its own lock, taken in one order (keyboard first) so no thread
      // waits on another in a circle.
      std::scoped_lock locks(keyboard_.mutex, mouse_.mutex, mousepad_.mutex, headset_.mutex);
      std::lock_guard syncLock(syncMutex_);
      const fx::SyncFrames frames{joined[0] ? &keyboard_.frame : nullptr, joined[1] ? &mouse_.frame : nullptr,
                                  joined[2] ? &mousepad_.frame : nullptr, joined[3] ? &headset_.frame : nullptr};
      fx::RenderSynchronised(record, sync_, frames);
    }
    if (!WriteJoined(joined, stop)) break;
    if (stop.Wait(milliseconds{4 * CheckedSpeed(record)})) break;
  }
  Trace(kSyncExit);
}

void LightingThreads::SynchronisationChanged() {
  {
    std::lock_guard lock(joinMutex_);
    joinChanged_ = true;
  }
  joined_.notify_all();
}

// Each joined device's frame written, keyboard, mouse, mousepad, headset; 1 ms for one that is not.
// False when the stop came meanwhile.
bool LightingThreads::WriteJoined(const std::array<bool, kDeviceKindCount>& joined, const StopEvent& stop) {
  for (DeviceKind kind : kAllDeviceKinds) {
    if (!joined[IndexOf(kind)]) {
      if (stop.Wait(paces_.stopCheck)) return false;
      continue;
    }
    switch (kind) {
      case DeviceKind::kKeyboard:
        WriteFrame(kind, KeyboardFrame());
        break;
      case DeviceKind::kMouse:
        WriteFrame(kind, MouseFrame());
        break;
      case DeviceKind::kMousepad:
        WriteFrame(kind, MousepadFrame());
        break;
      case DeviceKind::kHeadset:
        WriteFrame(kind, HeadsetFrame());
        break;
    }
  }
  return true;
}

// --- frame writes ------------------------------------------------------------------------------

template <class Frame>
void LightingThreads::WriteFrame(DeviceKind kind, const Frame& frame) {
  preview_.ShowFrame(kind, frame);
  if (!session_.SystemAwake()) return;
  if constexpr (std::is_same_v<Frame, fx::HeadsetFrame>) {
    // The headset's frame goes over its audio chip's I2C bus; while the headset is away the
    // library is not called at all. The headset's own mode says how (the wave LED by LED).
    if (!session_.Device(kind).connected) return;
    const bool wave = headset::WritesWave(session_.PublishedLighting().Get(DeviceKind::kHeadset));
    (void)headset::WriteHeadsetFrame(session_.Audio(), frame, wave);
  } else {
    device::StreamLighting(session_.Device(kind), StreamOf(frame));
  }
}

// --- entry points ------------------------------------------------------------------------------

void LightingThreads::ModeSelected(DeviceKind kind, std::uint8_t mode, std::uint8_t direction) {
  switch (kind) {
    case DeviceKind::kKeyboard: {
      std::lock_guard lock(keyboard_.mutex);
      fx::ResetKeyboardAnimation(keyboard_.animation);
      fx::SeedKeyboardMode(keyboard_.animation, mode);
      break;
    }
    case DeviceKind::kMouse: {
      std::lock_guard lock(mouse_.mutex);
      fx::ResetMouseAnimation(mouse_.animation);
      fx::StartMouseRing(mouse_.animation, direction);
      break;
    }
    case DeviceKind::kMousepad: {
      std::lock_guard lock(mousepad_.mutex);
      fx::ResetMousepadAnimation(mousepad_.animation);
      fx::StartMousepadRing(mousepad_.animation);
      break;
    }
    case DeviceKind::kHeadset:
      break;  // the headset's phases carry on across modes
  }
}

void LightingThreads::KeyboardModeShown(std::uint8_t mode) {
  std::lock_guard lock(keyboard_.mutex);
  fx::SeedKeyboardMode(keyboard_.animation, mode);
}

void LightingThreads::KeyboardKeyClicked(std::uint8_t key) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kKeyboard);
  std::lock_guard lock(keyboard_.mutex);
  fx::ClickKeyboardKey(keyboard_.animation, record.mode, key);
}

void LightingThreads::TickKeyboardClock() {
  std::lock_guard lock(keyboard_.mutex);
  fx::TickKeyboardClock(keyboard_.animation);
}

void LightingThreads::Clicked() {
  mouseClicked_ = true;
  mousepadClicked_ = true;
}

void LightingThreads::SetKeyboardCustomColours(std::span<const std::uint8_t> sets, std::uint8_t set) {
  std::lock_guard lock(keyboard_.mutex);
  customSets_.fill(0);
  std::copy_n(sets.begin(), std::min(sets.size(), customSets_.size()), customSets_.begin());
  customSet_ = static_cast<std::uint8_t>(std::min<std::size_t>(set, fx::kCustomColourSetCount - 1));
}

fx::KeyboardFrame LightingThreads::KeyboardFrame() const {
  std::lock_guard lock(keyboard_.mutex);
  return keyboard_.frame;
}
fx::MouseFrame LightingThreads::MouseFrame() const {
  std::lock_guard lock(mouse_.mutex);
  return mouse_.frame;
}
fx::MousepadFrame LightingThreads::MousepadFrame() const {
  std::lock_guard lock(mousepad_.mutex);
  return mousepad_.frame;
}
fx::HeadsetFrame LightingThreads::HeadsetFrame() const {
  std::lock_guard lock(headset_.mutex);
  return headset_.frame;
}

}  // namespace korva::session
