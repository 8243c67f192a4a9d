#include "app/LightingWiring.h"

#include <QMetaObject>
#include <utility>

#include "app/MainWnd.h"
#include "session/DeviceSession.h"

namespace korva::app {
namespace {

namespace fx = lighting::effects;

constexpr std::uint8_t kClickRippleMode = 9;

// The preview keys of each device: "<prefix><i>" shows frame entry i.
constexpr std::array<const char*, kDeviceKindCount> kKeyPrefixes = {"kb_dkey_", "ms_dkey_", "mp_dkey_", "head_dkey_"};
constexpr std::array<std::size_t, kDeviceKindCount> kKeyCounts = {fx::kKeyboardEntries, fx::kMouseEntries,
                                                                  fx::kMousepadEntries, fx::kHeadsetEntries};

}  // namespace

LightingWiring::LightingWiring(CMainWnd& window, session::LightingPaces paces)
    : window_(window), threads_(window.Session(), *this, paces) {
  using Entry = void (session::LightingThreads::*)(const StopEvent&);
  const std::pair<WorkerSlot, Entry> entries[] = {
      {WorkerSlot::kKeyboardLighting, &session::LightingThreads::KeyboardThread},
      {WorkerSlot::kMouseLighting, &session::LightingThreads::MouseThread},
      {WorkerSlot::kMousepadLighting, &session::LightingThreads::MousepadThread},
      {WorkerSlot::kSyncLighting, &session::LightingThreads::SynchronisedThread},
      {WorkerSlot::kHeadsetLighting, &session::LightingThreads::HeadsetThread},
  };
  for (const auto& [slot, entry] : entries)
    window_.SetWorkerEntry(slot, [this, entry](const StopEvent& stop) { (threads_.*entry)(stop); });
  window_.SetClickReaction([this] { threads_.Clicked(); });
  window_.SetPreviewPass([this] { return PreviewPass(); }, [this](bool shown) { PreviewShown(shown); });
  KeyboardRecordChanged();
}

void LightingWiring::KeyboardRecordChanged() {
  const bool ripples = window_.Session().PublishedLighting().Get(DeviceKind::kKeyboard).mode == kClickRippleMode;
  if (ripples)
    window_.SetPreviewTick([this] { threads_.TickKeyboardClock(); });
  else
    window_.SetPreviewTick({});
}

void LightingWiring::ShowFrame(DeviceKind kind, std::span<const fx::FrameEntry> frame) {
  {
    std::lock_guard lock(mutex_);
    Pending& pending = pending_[IndexOf(kind)];
    pending.frame.assign(frame.begin(), frame.end());
    pending.waiting = true;
    pending.fresh = true;
  }
  if (!shown_.load() || armed_.exchange(true)) return;
  QMetaObject::invokeMethod(&context_, [this] { window_.ArmPreviewRepaint(); }, Qt::QueuedConnection);
}

bool LightingWiring::PreviewPass() {
  // Off screen the keys are not worth setting: the frames wait, the timer stops, and the window's
  // coming back on screen hands the latest of them to the keys.
  if (!shown_.load()) {
    armed_.store(false);
    return false;
  }
  if (ApplyWaiting()) return true;
  // Nothing came since the last pass: let the timer stop. A frame that comes after this line arms
  // it again; one that came between the look above and this line is taken now.
  armed_.store(false);
  if (!ApplyWaiting()) return false;
  armed_.store(true);
  return true;
}

bool LightingWiring::ApplyWaiting() {
  bool any = false;
  for (DeviceKind kind : kAllDeviceKinds) any |= Apply(kind);
  return any;
}

void LightingWiring::PreviewShown(bool shown) {
  shown_.store(shown);
  if (!shown) return;
  {
    std::lock_guard lock(mutex_);
    for (DeviceKind kind : kAllDeviceKinds) {
      Pending& pending = pending_[IndexOf(kind)];
      const std::vector<fx::FrameEntry>& applied = applied_[IndexOf(kind)];
      if (pending.waiting || applied.empty()) continue;
      pending.frame.assign(applied.begin(), applied.end());
      pending.waiting = true;
    }
  }
  if (!armed_.exchange(true)) window_.ArmPreviewRepaint();
}

bool LightingWiring::LightSwitch(DeviceKind kind) const {
  switch (kind) {
    case DeviceKind::kKeyboard:
      return !window_.FindControl(QStringLiteral("kb_key_Op_tab")).IsSelected();
    case DeviceKind::kMouse:
      return window_.FindControl(QStringLiteral("ms_deng_Op_tab")).IsSelected();
    case DeviceKind::kMousepad:
      return window_.FindControl(QStringLiteral("mp_deng_Op_tab")).IsSelected();
    case DeviceKind::kHeadset:
      return true;
  }
  return true;
}

std::vector<ui::Control>& LightingWiring::Keys(DeviceKind kind) {
  std::vector<ui::Control>& keys = keys_[IndexOf(kind)];
  if (keys.empty()) {
    const QString prefix = QString::fromLatin1(kKeyPrefixes[IndexOf(kind)]);
    for (std::size_t i = 0; i < kKeyCounts[IndexOf(kind)]; ++i)
      keys.push_back(window_.FindControl(prefix + QString::number(i)));
  }
  return keys;
}

bool LightingWiring::Apply(DeviceKind kind) {
  std::vector<ui::Control>& keys = Keys(kind);
  // A device's keys sit on one page. While that page is not shown its frames wait (the latest
  // replacing the one before) and the pass only notes that they keep coming, so the timer keeps
  // its pace instead of being armed anew by every frame; the pass after the page's showing takes
  // the latest.
  const bool onScreen = !keys.empty() && keys.front().Widget() && keys.front().Widget()->isVisible();
  // Swapped, not copied: both buffers keep their room, so a running effect allocates nothing.
  std::vector<fx::FrameEntry>& frame = applied_[IndexOf(kind)];
  {
    std::lock_guard lock(mutex_);
    Pending& pending = pending_[IndexOf(kind)];
    const bool came = std::exchange(pending.fresh, false);
    if (!onScreen || !pending.waiting) return came;
    pending.waiting = false;
    frame.swap(pending.frame);
  }
  const bool on = LightSwitch(kind);
  for (std::size_t i = 0; i < frame.size() && i < keys.size(); ++i) {
    ui::Control& key = keys[i];
    if (!key.IsVisible()) continue;
    key.SetLightOn(on);
    // The key takes its tint as 0xRRGGBB.
    const fx::FrameEntry& e = frame[i];
    key.SetChangerColor((static_cast<quint32>(e.red) << 16) | (static_cast<quint32>(e.green) << 8) | e.blue);
    key.SetChangerAlpha(frame[i].brightness);
  }
  return true;
}

}  // namespace korva::app
