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

// A device in the synchronised lighting renders nothing of its own (the synchronised thread writes its
// frames): its thread sleeps like a still frame's until the device leaves (the device rings the
// lighting bell then).
constexpr bool kNothingToDoWhileSynchronised = true;

// A pause of the threads; none at all (not even a look at the clock) when it is zero. True when the
// stop came.
bool Pause(const StopEvent& stop, milliseconds pause) {
  return pause.count() > 0 ? stop.Wait(pause) : stop.IsSet();
}

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
    : session_(session), preview_(preview), paces_(paces) {
  // A still frame's thread sleeps on the lighting bell alone: a device that comes or goes rings it.
  session_.WatcherStartBlock().connectionChanged.AlsoRing(session_.LightingChanges());
}

// --- still frames ------------------------------------------------------------------------------

LightingThreads::Stamp LightingThreads::BellsStamp() const {
  // The bells first: a change made after they are read rings them again.
  Stamp stamp{session_.LightingChanges().Rings(), session_.WatcherStartBlock().connectionChanged.Rings()};
  stamp.awake = session_.SystemAwake();
  return stamp;
}

LightingThreads::Stamp LightingThreads::DeviceStamp(DeviceKind kind) const {
  Stamp stamp = BellsStamp();
  stamp.joined = session_.Device(kind).syncLighting.load() ? 1u << IndexOf(kind) : 0u;
  return stamp;
}

LightingThreads::Stamp LightingThreads::SyncStamp() const {
  Stamp stamp = BellsStamp();
  for (DeviceKind kind : kAllDeviceKinds) {
    const device::HidDevice& device = session_.Device(kind);
    if (device.connected && device.syncLighting) stamp.joined |= 1u << IndexOf(kind);
  }
  return stamp;
}

template <class StampFn>
bool LightingThreads::SleepWhileStill(const Stamp& seen, StampFn now, const StopEvent& stop) const {
  for (;;) {
    if (session_.LightingChanges().WaitPast(seen.changes, stop, paces_.still)) return true;
    if (now() != seen) return false;
  }
}

void LightingThreads::Changed() const {
  session_.LightingChanges().Ring();
}

// --- the device threads ------------------------------------------------------------------------

template <class PassFn>
void LightingThreads::RunDeviceThread(DeviceKind kind, const StopEvent& stop, PassFn pass) {
  const device::HidDevice& device = session_.Device(kind);
  const device::ConnectionBell& bell = session_.WatcherStartBlock().connectionChanged;
  // Every pass comes after the stop test's pause. A pause that follows a timed one (the first wait,
  // a pass's delay) is slept with it: the same pace, one wake-up instead of two.
  if (stop.Wait(paces_.firstWait + paces_.stopCheck)) return;
  for (;;) {
    const std::uint64_t rings = bell.Rings();
    if (!device.connected) {
      // Asleep until a device comes (the watchers ring the bell), looking again at the absent pace.
      if (bell.WaitPast(rings, stop, paces_.absent) || stop.Wait(paces_.stopCheck)) return;
      continue;
    }
    const Stamp seen = DeviceStamp(kind);
    const Step step = pass(seen.joined != 0);
    if (step.still) {
      const auto stamp = [&] { return DeviceStamp(kind); };
      if (SleepWhileStill(seen, stamp, stop) || stop.Wait(paces_.stopCheck)) return;
      continue;
    }
    if (stop.Wait(step.delay + paces_.stopCheck)) return;
  }
}

void LightingThreads::KeyboardThread(const StopEvent& stop) {
  RunDeviceThread(DeviceKind::kKeyboard, stop, [&](bool synchronised) { return KeyboardPass(synchronised); });
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
  RunDeviceThread(DeviceKind::kHeadset, stop, [&](bool synchronised) { return HeadsetPass(synchronised); });
  Trace(kHeadsetExit);
}

LightingThreads::Step LightingThreads::KeyboardPass(bool synchronised) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kKeyboard);
  std::unique_lock lock(keyboard_.mutex);
  if (synchronised) {
    // The synchronised thread owns the frame; the ripple colours still move on.
    fx::NoteKeyboardFrameWritten(keyboard_.animation);
    const fx::EffectRecord checked = fx::CheckRecord(record, fx::kKeyboardLastMode);
    return {fx::KeyboardDelay(checked.mode, checked.speed), kNothingToDoWhileSynchronised};
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
  return {pass.delay, pass.still};
}

LightingThreads::Step LightingThreads::MousePass(bool synchronised) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kMouse);
  std::unique_lock lock(mouse_.mutex);
  Step step{fx::MouseDelay(CheckedSpeed(record))};
  if (synchronised) {
    // The frame is the synchronised thread's: still when its record is.
    step.still = fx::SynchronisedStill(session_.PublishedLighting().GetSynchronised());
  } else {
    const fx::MouseInput input{record, mouseClicked_.load(), fx::EffectClock::now()};
    const fx::Pass pass = fx::RenderMouse(input, mouse_.animation, mouse_.frame);
    if (pass.clickTaken) mouseClicked_ = false;
    step = {pass.delay, pass.still};
  }
  // The mouse's frame is written also while synchronised (the synchronised thread renders it).
  const fx::MouseFrame frame = mouse_.frame;
  lock.unlock();
  WriteFrame(DeviceKind::kMouse, frame);
  return step;
}

LightingThreads::Step LightingThreads::MousepadPass(bool synchronised) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kMousepad);
  std::unique_lock lock(mousepad_.mutex);
  if (synchronised) {
    const fx::EffectRecord checked = fx::CheckRecord(record, fx::kMousepadLastMode);
    return {fx::MousepadDelay(checked.mode, checked.speed), kNothingToDoWhileSynchronised};
  }
  const fx::MousepadInput input{record, mousepadClicked_.load(), fx::EffectClock::now()};
  const fx::Pass pass = fx::RenderMousepad(input, mousepad_.animation, mousepad_.frame);
  if (pass.clickTaken) mousepadClicked_ = false;
  if (pass.rendered != fx::Rendered::kFrame) return {pass.delay};
  const fx::MousepadFrame frame = mousepad_.frame;
  lock.unlock();
  WriteFrame(DeviceKind::kMousepad, frame);
  return {pass.delay, pass.still};
}

LightingThreads::Step LightingThreads::HeadsetPass(bool synchronised) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kHeadset);
  std::unique_lock lock(headset_.mutex);
  if (synchronised) {
    const fx::EffectRecord checked = fx::CheckRecord(record, fx::kHeadsetLastMode);
    return {fx::KeyboardDelay(checked.mode, checked.speed), kNothingToDoWhileSynchronised};
  }
  const fx::Pass pass = fx::RenderHeadset(record, headset_.animation, headset_.frame);
  const fx::HeadsetFrame frame = headset_.frame;
  lock.unlock();
  if (pass.rendered == fx::Rendered::kFrame) WriteFrame(DeviceKind::kHeadset, frame);
  return {pass.delay, pass.still};
}

// --- the synchronised thread -------------------------------------------------------------------

void LightingThreads::SynchronisedThread(const StopEvent& stop) {
  // The pause owed before the next pass: the stop test's, with what came before it slept in one go.
  milliseconds pause = paces_.stopCheck;
  while (!Pause(stop, pause)) {
    pause = paces_.stopCheck;
    const Stamp seen = SyncStamp();
    if (seen.joined == 0) {
      // Nothing to render until a device comes or same-mode copying joins one (both ring the
      // lighting bell): sleep until then, looking again at the no-device pace while no device is
      // present, at the still pace while none joined. The stop test's pause is slept with it when
      // nothing rang.
      const milliseconds look = session_.AnyConnected() ? paces_.still : paces_.noDevice;
      if (session_.LightingChanges().WaitPast(seen.changes, stop, look + paces_.stopCheck)) break;
      if (session_.LightingChanges().Rings() == seen.changes) pause = milliseconds{0};
      continue;
    }
    std::array<bool, kDeviceKindCount> joined{};
    for (DeviceKind kind : kAllDeviceKinds) joined[IndexOf(kind)] = (seen.joined & (1u << IndexOf(kind))) != 0;
    const lighting::LightingSettings record = session_.PublishedLighting().GetSynchronised();
    fx::Pass pass;
    {
      // Every joined frame under its own lock, taken in one order (keyboard first) so no thread
      // waits on another in a circle.
      std::scoped_lock locks(keyboard_.mutex, mouse_.mutex, mousepad_.mutex, headset_.mutex);
      std::lock_guard syncLock(syncMutex_);
      const fx::SyncFrames frames{joined[0] ? &keyboard_.frame : nullptr, joined[1] ? &mouse_.frame : nullptr,
                                  joined[2] ? &mousepad_.frame : nullptr, joined[3] ? &headset_.frame : nullptr};
      pass = fx::RenderSynchronised(record, sync_, frames);
    }
    milliseconds owed{0};
    if (!WriteJoined(joined, stop, owed)) break;
    if (pass.still) {
      if (Pause(stop, owed)) break;
      if (SleepWhileStill(seen, [this] { return SyncStamp(); }, stop)) break;
      continue;
    }
    pause = owed + milliseconds{4 * CheckedSpeed(record)} + paces_.stopCheck;
  }
  Trace(kSyncExit);
}

// Each joined device's frame written, keyboard, mouse, mousepad, headset; 1 ms for one that is not.
// Those pauses are added to `owed` and slept before the next write, so the ones after the last write
// are left to the caller to sleep with its own. False when the stop came meanwhile.
bool LightingThreads::WriteJoined(const std::array<bool, kDeviceKindCount>& joined, const StopEvent& stop,
                                  milliseconds& owed) {
  for (DeviceKind kind : kAllDeviceKinds) {
    if (!joined[IndexOf(kind)]) {
      owed += paces_.stopCheck;
      continue;
    }
    if (Pause(stop, owed)) return false;
    owed = milliseconds{0};
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
  return !stop.IsSet();
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
  Changed();
}

void LightingThreads::KeyboardModeShown(std::uint8_t mode) {
  {
    std::lock_guard lock(keyboard_.mutex);
    fx::SeedKeyboardMode(keyboard_.animation, mode);
  }
  Changed();
}

void LightingThreads::KeyboardKeyClicked(std::uint8_t key) {
  const lighting::LightingSettings record = session_.PublishedLighting().Get(DeviceKind::kKeyboard);
  {
    std::lock_guard lock(keyboard_.mutex);
    fx::ClickKeyboardKey(keyboard_.animation, record.mode, key);
  }
  Changed();
}

void LightingThreads::TickKeyboardClock() {
  std::lock_guard lock(keyboard_.mutex);
  fx::TickKeyboardClock(keyboard_.animation);
}

void LightingThreads::Clicked() {
  mouseClicked_ = true;
  mousepadClicked_ = true;
  // A click changes nothing but a click flash (the last mode of both): only then wake the threads.
  const auto flashes = [this](DeviceKind kind, std::uint8_t flashMode) {
    return fx::CheckRecord(session_.PublishedLighting().Get(kind), flashMode).mode == flashMode;
  };
  if (flashes(DeviceKind::kMouse, fx::kMouseLastMode) || flashes(DeviceKind::kMousepad, fx::kMousepadLastMode))
    Changed();
}

void LightingThreads::SetKeyboardCustomColours(std::span<const std::uint8_t> sets, std::uint8_t set) {
  std::lock_guard lock(keyboard_.mutex);
  customSets_.fill(0);
  std::copy_n(sets.begin(), std::min(sets.size(), customSets_.size()), customSets_.begin());
  customSet_ = static_cast<std::uint8_t>(std::min<std::size_t>(set, fx::kCustomColourSetCount - 1));
  Changed();
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
