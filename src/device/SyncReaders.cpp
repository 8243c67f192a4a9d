#include "device/SyncReaders.h"

#include <algorithm>
#include <optional>
#include <stop_token>

#include "common/Log.h"
#include "device/HidChangeWait.h"
#include "device/ReportItems.h"

namespace korva::device {

ReaderAction ActionForUsage(ReaderKind kind, std::uint16_t usage) {
  using enum WindowMessage;
  const bool keyboard = kind == ReaderKind::kKeyboard;
  switch (usage) {
    case kUsageProfileChanged:
      return {ReaderAction::Kind::kSend, keyboard ? WM_KB_PROFILE : WM_MS_PROFILE};
    case kUsageSettingsChanged:
      return {ReaderAction::Kind::kSend, keyboard ? WM_KB_RELOAD : WM_MS_RELOAD};
    case kUsageClick:
      if (!keyboard) return {ReaderAction::Kind::kClickReaction, WakeMessage};
      break;
    default:
      break;
  }
  return {};
}

SyncReader::SyncReader(ReaderKind kind, const WatcherStart& start)
    : kind_(kind), start_(start), rule_(SyncReaderRule(kind)), link_(start.devices.keyboard.link.Backend()) {}

bool SyncReader::Search() {
  if (!EnumerateHidPaths(link_)) {
    // Not fatal: the next search enumerates again, so the device stays watched.
    if (!enumerationFailing_)
      Trace("HID enumeration failed; the synchronisation reader retries at each search");
    enumerationFailing_ = true;
    return false;
  }
  enumerationFailing_ = false;
  connected_ = OpenFirstMatch(link_, rule_);
  if (connected_) {
    path_ = link_.devicePath.path;
    input_ = link_.InputTable();
    input_.report.resize(std::max<std::size_t>(input_.report.size(), 1));
  } else {
    link_.pathList.clear();
  }
  return connected_;
}

bool SyncReader::ListenOnce(const StopEvent& stop) {
  if (stop.IsSet()) return false;
  const auto timeout = start_.paces.readerRead;
  const auto started = std::chrono::steady_clock::now();
  if (const std::optional<bool> ours = TakeReport(static_cast<int>(timeout.count()), stop)) {
    if (*ours) return !stop.IsSet();
    // An answer to a command of the device's own link, which shares this node: while the lights
    // stream they come by the hundred a second. Rather than waking for each, the reader lets them
    // gather in the node's buffer for a moment and then takes all of them without sleeping.
    if (stop.Wait(start_.paces.readerBusyPause)) return false;
    return TakeWaitingReports(stop);
  }
  if (stop.IsSet()) return false;
  // Nothing came: a time-out is normal; a device that has gone ends the listening.
  if (!IsPresent(link_.Backend(), path_)) return false;
  // A read that failed early on a node that is still there is not polled in a busy loop.
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  if (elapsed < timeout) return !stop.Wait(timeout - elapsed);
  return true;
}

void SyncReader::Listen(const StopEvent& stop) {
  while (ListenOnce(stop)) {
  }
  CloseLink(link_);
  link_.pathList.clear();
  connected_ = false;
}

void SyncReader::Run(const StopEvent& stop) {
  // A read waiting for a report returns at once when the stop event is set.
  std::stop_callback abortRead(stop.Token(), [this] { CloseLink(link_); });
  // Without its collection the reader sleeps until the backend signals a change, where it can.
  const std::unique_ptr<HidChangeSignal> changes = link_.Backend().WatchChanges();
  while (!stop.Wait(start_.paces.stopCheck)) {
    if (Search()) {
      Listen(stop);
      if (stop.Wait(start_.paces.readerSearch)) break;
    } else if (changes && !enumerationFailing_ ? WaitForHidChange(*changes, stop, kHidIdleCheck)
                                                : stop.Wait(start_.paces.readerSearch)) {
      break;
    }
  }
  CloseLink(link_);
  Trace(kind_ == ReaderKind::kKeyboard ? "键盘同步线程设定退出" : "鼠标同步线程设定测试退出");
}

std::optional<bool> SyncReader::TakeReport(int timeoutMs, const StopEvent& stop) {
  std::size_t bytesRead = 0;
  if (!ReadReport(link_, input_.report, timeoutMs, bytesRead)) return std::nullopt;
  return Handle(std::span<const std::uint8_t>(input_.report.data(), bytesRead), stop);
}

bool SyncReader::TakeWaitingReports(const StopEvent& stop) {
  // Bounded, so that a node that never runs dry cannot keep the reader here: the next read waits.
  for (std::size_t taken = 0; taken < kHidReportBuffer && !stop.IsSet(); ++taken)
    if (!TakeReport(0, stop)) break;
  return !stop.IsSet();
}

bool SyncReader::Handle(std::span<const std::uint8_t> report, const StopEvent& stop) {
  if (report.empty() || input_.items.empty()) return false;
  ReportItem& first = input_.items.front();
  // Answers to command frames arrive on the same node; they are not this collection's reports.
  if (report[0] != first.reportId) return false;
  if (!UnpackInputReport(input_.items, report)) return true;
  if (!first.isButton || first.usageList.empty()) return true;
  const ReaderAction action = ActionForUsage(kind_, first.usageList.front());
  switch (action.kind) {
    case ReaderAction::Kind::kSend:
      start_.host.Send(action.message, stop);
      break;
    case ReaderAction::Kind::kClickReaction:
      start_.host.TriggerClickReaction();
      break;
    case ReaderAction::Kind::kNone:
      break;
  }
  return true;
}

void MouseSyncReaderThread(const WatcherStart& start, const StopEvent& stop) {
  SyncReader(ReaderKind::kMouse, start).Run(stop);
}

void KeyboardSyncReaderThread(const WatcherStart& start, const StopEvent& stop) {
  SyncReader(ReaderKind::kKeyboard, start).Run(stop);
}

}  // namespace korva::device
