#include "sim/SimBus.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include "common/WakeFd.h"
#include "sim/SimFirmware.h"
#include "sim/SimInterfaces.h"

namespace korva::sim {
namespace {

using Clock = std::chrono::steady_clock;
using device::HidInterfaceInfo;
using device::HidIoStatus;

constexpr std::size_t kConnectionQueueLimit = device::kHidReportBuffer;  // hidraw's per-file report buffer
constexpr std::uint16_t kProfileChanged = 0x0401;
constexpr std::uint16_t kSettingsChanged = 0x0402;
constexpr std::uint8_t kRestoreDefaultsCommand = 0x0D;

// Input reports are at most kReportSize bytes: kept in place, so a streamed frame allocates nothing.
struct QueuedReport {
  std::array<std::uint8_t, kReportSize> bytes{};
  std::size_t size = 0;
  Clock::time_point readyAt;

  std::span<const std::uint8_t> View() const { return std::span(bytes).first(size); }
};

QueuedReport MakeReport(std::span<const std::uint8_t> bytes) {
  QueuedReport report;
  report.size = std::min(bytes.size(), kReportSize);
  std::copy_n(bytes.begin(), report.size, report.bytes.begin());
  return report;
}

// Bus-wide counters the devices stamp without the bus lock, and the change signals handed out.
struct Shared {
  std::atomic<std::uint64_t> sequence{0};
  std::atomic<std::size_t> logLimit{65536};

  // A device came or went: every live change signal rings.
  void RingChangeSignals() {
    std::lock_guard lock(signalMutex);
    std::erase_if(signals, [](const std::weak_ptr<WakeFd>& s) { return s.expired(); });
    for (const std::weak_ptr<WakeFd>& weak : signals) {
      if (const std::shared_ptr<WakeFd> signal = weak.lock()) signal->Ring();
    }
  }
  std::shared_ptr<WakeFd> NewChangeSignal() {
    auto signal = std::make_shared<WakeFd>();
    std::lock_guard lock(signalMutex);
    signals.push_back(signal);
    return signal;
  }

  std::mutex signalMutex;
  std::vector<std::weak_ptr<WakeFd>> signals;  // under signalMutex
};

// A watcher's sign of the bus's changes.
class SimChangeSignal final : public device::HidChangeSignal {
 public:
  explicit SimChangeSignal(std::shared_ptr<WakeFd> fd) : fd_(std::move(fd)) {}
  int Fd() const override { return fd_->Fd(); }
  bool Take() override { return fd_->Drain(); }

 private:
  std::shared_ptr<WakeFd> fd_;
};

class Connection;

struct NodeState {
  SimInterface layout;
  std::string path;
  Clock::time_point lastReady{};  // when the node's latest queued report becomes readable
  Clock::time_point lastOut{};    // when the node's latest output report goes out
};

struct DeviceState {
  DeviceState(int id, SimDeviceKind kind, std::shared_ptr<Shared> shared)
      : id(id), kind(kind), firmware(kind), shared(std::move(shared)) {}

  const int id;
  const SimDeviceKind kind;
  SimFirmware firmware;  // its own lock, always taken after `mutex`
  const std::shared_ptr<Shared> shared;

  // Everything below is guarded by `mutex`.
  std::mutex mutex;
  std::condition_variable logChanged;
  std::condition_variable stalledChanged;
  bool plugged = false;
  int generation = 0;  // bumped by every plug; a connection of an older generation is dead
  std::vector<NodeState> nodes;
  std::vector<Connection*> connections;
  std::chrono::microseconds interval{1000};
  int dropAnswers = 0;
  int refuseAnswers = 0;
  std::uint8_t refuseStatus = 0;
  int failWrites = 0;
  int failOpens = 0;
  int unplugAfter = 0;  // 0: off
  int answersBeforeSilence = -1;  // -1: off; 0: silent
  bool stallWrites = false;
  int stalledWrites = 0;  // writes waiting for the stall to end
  std::vector<QueuedReport> strayBeforeAnswer;
  std::deque<SimRequest> log;
  // While set, reports are queued without waking the connections' readers: a writer that holds the
  // answer to its request wakes them itself once the answer is readable (see Connection::Write).
  bool wakesHeld = false;

  void UnplugLocked();
  // Queues `report` on every connection of the node, readable one interval after the node's previous
  // report or after `at`, whichever is later; returns when it becomes readable.
  Clock::time_point DeliverLocked(std::size_t node, QueuedReport report, Clock::time_point at);
  // The device takes `request` (gone out at `at`); when it answers, the time its answer is readable.
  std::optional<Clock::time_point> ReceiveLocked(std::size_t node, const SimReport& request,
                                                 Clock::time_point at);
  void RaiseLocked(std::size_t node, std::uint16_t usage);  // press and release of a consumer usage
  int VendorNode() const {
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i].layout.vendor) return static_cast<int>(i);
    return -1;
  }
  int ConsumerNode() const {
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i].layout.consumer) return static_cast<int>(i);
    return -1;
  }
};

// One open file on a node. Its queue, wake-up and abort flag are guarded by the device's mutex.
class Connection final : public device::HidConnection {
 public:
  Connection(std::shared_ptr<DeviceState> device, std::size_t node, HidInterfaceInfo info,
             const device::HidOpenOptions& options)
      : device_(std::move(device)),
        node_(node),
        generation_(device_->generation),
        info_(std::move(info)),
        options_(options),
        descriptor_(device_->nodes[node].layout.descriptor) {}

  ~Connection() override {
    std::lock_guard lock(device_->mutex);
    std::erase(device_->connections, this);
  }

  HidIoStatus Write(std::span<const std::uint8_t> report, int timeoutMs, std::size_t& written) override {
    written = 0;
    std::unique_lock lock(device_->mutex);
    if (!AliveLocked()) return HidIoStatus::kFailed;
    if (aborted_) {
      aborted_ = false;
      return HidIoStatus::kAborted;
    }
    if (!options_.wantWrite || report.empty() || report.size() > kReportSize) return HidIoStatus::kFailed;
    if (device_->failWrites > 0) {
      --device_->failWrites;
      return HidIoStatus::kFailed;
    }
    const SimInterface& layout = device_->nodes[node_].layout;
    const bool request = layout.vendor && report[0] == kVendorReportId;
    // A vendor or consumer node has no other output report: the device stalls the transfer. Boot
    // interfaces take their output reports (keyboard LEDs) and do nothing with them.
    if (!request && (layout.vendor || layout.consumer)) return HidIoStatus::kFailed;
    // A request is taken by the device as soon as its OUT interval is booked: the writer then sleeps
    // once, until the interval has passed and the answer is readable, and wakes the node's other
    // readers at that moment (each sleeps once too, instead of being woken when the answer is queued
    // and again when it becomes readable). The times the host sees are those of a request that goes
    // out in its interval and an answer one interval later.
    Clock::time_point slot;
    const HidIoStatus sent = SendLocked(lock, timeoutMs, request ? &slot : nullptr);
    if (sent != HidIoStatus::kOk) return sent;
    if (request) {
      SimReport bytes{};
      std::copy(report.begin(), report.end(), bytes.begin());
      device_->wakesHeld = true;
      const std::optional<Clock::time_point> answerAt = device_->ReceiveLocked(node_, bytes, slot);
      device_->wakesHeld = false;
      const Clock::time_point deadline =
          timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
      const Clock::time_point until = std::min(std::max(slot, answerAt.value_or(slot)), deadline);
      // An abort or an unplug ends the sleep early; the request has reached the device all the same
      // (an abort is left for the next transfer on the connection).
      while (AliveLocked() && !aborted_ && Clock::now() < until) wakeUp_->wait_until(lock, until);
      written = report.size();
      WakeAllAfterUnlock(lock);
      return HidIoStatus::kOk;
    }
    written = report.size();
    return HidIoStatus::kOk;
  }

  // Wakes the reader of every connection of the device once `lock` is released: woken while it is
  // held, a reader would find the mutex taken and go to sleep once more.
  void WakeAllAfterUnlock(std::unique_lock<std::mutex>& lock) {
    constexpr std::size_t kKept = 8;  // more connections than the devices' nodes ever have open
    std::array<std::shared_ptr<std::condition_variable>, kKept> wakes;
    std::size_t kept = 0;
    for (Connection* connection : device_->connections) {
      if (!connection->ReaderOversleepsLocked()) continue;
      if (kept < kKept) {
        wakes[kept++] = connection->WakeUpLocked();
      } else {
        connection->WakeLocked();
      }
    }
    lock.unlock();
    for (std::size_t i = 0; i < kept; ++i) wakes[i]->notify_all();
  }

  HidIoStatus Read(std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& read) override {
    read = 0;
    std::unique_lock lock(device_->mutex);
    if (!options_.wantRead) return HidIoStatus::kFailed;
    const bool forever = timeoutMs < 0;
    const Clock::time_point deadline =
        forever ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (!AliveLocked()) return HidIoStatus::kFailed;
      if (aborted_) {
        aborted_ = false;
        return HidIoStatus::kAborted;
      }
      const Clock::time_point now = Clock::now();
      if (!queue_.empty() && queue_.front().readyAt <= now) {
        const std::span<const std::uint8_t> bytes = queue_.front().View();
        read = std::min(buffer.size(), bytes.size());  // a short buffer truncates, as hidraw does
        std::copy_n(bytes.begin(), read, buffer.begin());
        queue_.pop_front();
        return HidIoStatus::kOk;
      }
      if (!forever && now >= deadline) return HidIoStatus::kTimeout;
      Clock::time_point wake = deadline;
      if (!queue_.empty()) wake = std::min(wake, queue_.front().readyAt);
      ++readers_;
      readerWake_ = wake;
      if (wake == Clock::time_point::max()) {
        wakeUp_->wait(lock);
      } else {
        wakeUp_->wait_until(lock, wake);
      }
      --readers_;
    }
  }

  // Waits for the OUT transaction of one report: the first interval of the node that is free once the
  // device takes reports (no stall). kOk once it has gone out; kTimeout when it could not within
  // `timeoutMs` (negative: no limit); kAborted or kFailed when the connection is aborted or dies.
  // With `booked`, kOk comes as soon as an interval within the time-out is booked, without waiting
  // for it: *booked is when the report goes out.
  HidIoStatus SendLocked(std::unique_lock<std::mutex>& lock, int timeoutMs,
                         Clock::time_point* booked = nullptr) {
    const bool forever = timeoutMs < 0;
    const Clock::time_point deadline =
        forever ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::optional<Clock::time_point> slot;
    bool stalled = false;  // counted in the device's stalledWrites
    HidIoStatus status = HidIoStatus::kTimeout;
    for (;;) {
      if (!AliveLocked()) {
        status = HidIoStatus::kFailed;
        break;
      }
      if (aborted_) {
        aborted_ = false;
        status = HidIoStatus::kAborted;
        break;
      }
      const Clock::time_point now = Clock::now();
      if (!slot && !device_->stallWrites) {
        NodeState& node = device_->nodes[node_];
        slot = std::max(now, node.lastOut) + device_->interval;
        node.lastOut = *slot;
      }
      if (slot && (*slot <= now || (booked != nullptr && *slot <= deadline))) {
        if (booked != nullptr) *booked = *slot;
        status = HidIoStatus::kOk;
        break;
      }
      if (!forever && now >= deadline) break;
      if (!slot && !stalled) {
        stalled = true;
        ++device_->stalledWrites;
        device_->stalledChanged.notify_all();
      }
      const Clock::time_point wake = slot ? std::min(*slot, deadline) : deadline;
      if (wake == Clock::time_point::max()) {
        wakeUp_->wait(lock);
      } else {
        wakeUp_->wait_until(lock, wake);
      }
    }
    if (stalled) --device_->stalledWrites;
    return status;
  }

  void Abort() override {
    std::lock_guard lock(device_->mutex);
    aborted_ = true;
    wakeUp_->notify_all();
  }

  std::vector<std::uint8_t> ReportDescriptor() const override { return descriptor_; }
  HidInterfaceInfo Info() const override { return info_; }

  // Called with the device's mutex held.
  void QueueLocked(const QueuedReport& report, bool wake) {
    if (!options_.wantRead || queue_.size() >= kConnectionQueueLimit) return;
    queue_.push_back(report);
    if (wake) wakeUp_->notify_all();
  }
  void WakeLocked() { wakeUp_->notify_all(); }
  std::shared_ptr<std::condition_variable> WakeUpLocked() const { return wakeUp_; }
  // Whether a reader waits past the moment its next report becomes readable, so has to be woken.
  // A single reader whose own time-out comes first wakes by itself.
  bool ReaderOversleepsLocked() const {
    if (readers_ == 0 || queue_.empty()) return false;
    return readers_ > 1 || readerWake_ > queue_.front().readyAt;
  }
  std::size_t NodeLocked() const { return node_; }
  int GenerationLocked() const { return generation_; }

 private:
  bool AliveLocked() const { return device_->plugged && device_->generation == generation_; }

  const std::shared_ptr<DeviceState> device_;
  const std::size_t node_;
  const int generation_;
  const HidInterfaceInfo info_;
  const device::HidOpenOptions options_;
  const std::vector<std::uint8_t> descriptor_;
  // Shared, so that a writer can wake the connection's reader after it has let go of the device's
  // mutex even if the connection is closed meanwhile.
  const std::shared_ptr<std::condition_variable> wakeUp_ = std::make_shared<std::condition_variable>();
  std::deque<QueuedReport> queue_;
  bool aborted_ = false;
  int readers_ = 0;                 // Reads waiting on wakeUp_
  Clock::time_point readerWake_{};  // when the latest of them wakes by itself
};

void DeviceState::UnplugLocked() {
  plugged = false;
  shared->RingChangeSignals();
  strayBeforeAnswer.clear();
  for (Connection* connection : connections) connection->WakeLocked();
}

Clock::time_point DeviceState::DeliverLocked(std::size_t node, QueuedReport report, Clock::time_point at) {
  NodeState& state = nodes[node];
  // One report per interval on the node's interrupt endpoint.
  report.readyAt = std::max(at, state.lastReady) + interval;
  state.lastReady = report.readyAt;
  for (Connection* connection : connections) {
    if (connection->NodeLocked() == node && connection->GenerationLocked() == generation) {
      connection->QueueLocked(report, !wakesHeld);
    }
  }
  return report.readyAt;
}

std::optional<Clock::time_point> DeviceState::ReceiveLocked(std::size_t node, const SimReport& request,
                                                            Clock::time_point at) {
  const std::size_t limit = shared->logLimit.load();
  if (limit > 0) {
    log.push_back({shared->sequence.fetch_add(1) + 1, id, nodes[node].path, request});
    while (log.size() > limit) log.pop_front();
    logChanged.notify_all();
  }
  if (unplugAfter > 0 && --unplugAfter == 0) {
    UnplugLocked();  // gone before it could act or answer
    return std::nullopt;
  }
  if (answersBeforeSilence == 0) return std::nullopt;  // hung: heard, not acted on
  if (answersBeforeSilence > 0) --answersBeforeSilence;
  std::optional<SimReport> answer;
  if (refuseAnswers > 0) {
    --refuseAnswers;
    answer = SimFirmware::Refusal(request, refuseStatus);
  } else {
    answer = firmware.Handle(request);
    if (dropAnswers > 0) {
      --dropAnswers;
      answer.reset();
    }
  }
  if (!answer) return std::nullopt;
  for (QueuedReport& stray : strayBeforeAnswer) DeliverLocked(node, stray, at);
  strayBeforeAnswer.clear();
  const Clock::time_point readyAt = DeliverLocked(node, MakeReport(*answer), at);
  // After a factory reset the device announces that all its settings changed, so that the host re-reads
  // it (the host sends no read of its own after the reset).
  const int consumer = ConsumerNode();
  if ((*answer)[3] == kRestoreDefaultsCommand && (*answer)[7] == 0x00 && consumer >= 0) {
    RaiseLocked(static_cast<std::size_t>(consumer), kSettingsChanged);
  }
  return readyAt;
}

void DeviceState::RaiseLocked(std::size_t node, std::uint16_t usage) {
  const auto low = static_cast<std::uint8_t>(usage & 0xFF);
  const auto high = static_cast<std::uint8_t>(usage >> 8);
  const std::array<std::uint8_t, 3> press{kConsumerReportId, low, high};
  const std::array<std::uint8_t, 3> release{kConsumerReportId, 0x00, 0x00};
  DeliverLocked(node, MakeReport(press), Clock::now());
  DeliverLocked(node, MakeReport(release), Clock::now());
}

HidInterfaceInfo InfoOf(const DeviceState& device, const NodeState& node, const SimCollection& collection) {
  HidInterfaceInfo info;
  info.path = node.path;
  info.vendorId = kSimVendorId;
  info.productId = ProductIdOf(device.kind);
  info.usagePage = collection.usagePage;
  info.usage = collection.usage;
  info.interfaceNumber = node.layout.number;
  return info;
}

}  // namespace

class SimBus::Impl {
 public:
  std::shared_ptr<DeviceState> Find(int id) const {
    if (id < 1 || static_cast<std::size_t>(id) > devices.size()) return nullptr;
    return devices[static_cast<std::size_t>(id - 1)];
  }
  std::shared_ptr<DeviceState> Get(int id) const {
    auto device = Find(id);
    if (!device) throw std::out_of_range("sim: unknown device id");
    return device;
  }
  // Gives the device a fresh set of paths and marks it present. Both locks held by the caller.
  void PlugLocked(DeviceState& device) {
    device.nodes.clear();
    for (SimInterface& layout : InterfacesOf(device.kind)) {
      device.nodes.push_back({std::move(layout), "sim:hidraw" + std::to_string(nextNodeNumber++), {}});
    }
    ++device.generation;
    device.plugged = true;
    shared->RingChangeSignals();
  }

  mutable std::mutex mutex;  // guards the members below; taken before any device's mutex
  std::vector<std::shared_ptr<DeviceState>> devices;  // index = id - 1
  int nextNodeNumber = 0;
  int failEnumerations = 0;
  std::shared_ptr<Shared> shared = std::make_shared<Shared>();
};

SimBus::SimBus() : impl_(std::make_unique<Impl>()) {}

SimBus::~SimBus() {
  // Connections may outlive the bus; they only see their devices vanish.
  std::lock_guard lock(impl_->mutex);
  for (auto& device : impl_->devices) {
    std::lock_guard deviceLock(device->mutex);
    device->UnplugLocked();
  }
}

bool SimBus::Enumerate(std::vector<HidInterfaceInfo>& out) {
  out.clear();
  std::lock_guard lock(impl_->mutex);
  if (impl_->failEnumerations > 0) {
    --impl_->failEnumerations;
    return false;
  }
  for (auto& device : impl_->devices) {
    std::lock_guard deviceLock(device->mutex);
    if (!device->plugged) continue;
    for (const NodeState& node : device->nodes) {
      for (const SimCollection& collection : node.layout.collections)
        out.push_back(InfoOf(*device, node, collection));
    }
  }
  return true;
}

bool SimBus::IsPresent(const std::string& path) {
  std::lock_guard lock(impl_->mutex);
  for (auto& device : impl_->devices) {
    std::lock_guard deviceLock(device->mutex);
    if (!device->plugged) continue;
    for (const NodeState& node : device->nodes) {
      if (node.path == path) return true;
    }
  }
  return false;
}

std::unique_ptr<device::HidConnection> SimBus::Open(const HidInterfaceInfo& collection,
                                                    const device::HidOpenOptions& options) {
  std::lock_guard lock(impl_->mutex);
  for (auto& device : impl_->devices) {
    std::lock_guard deviceLock(device->mutex);
    if (!device->plugged) continue;
    for (std::size_t n = 0; n < device->nodes.size(); ++n) {
      const NodeState& node = device->nodes[n];
      if (node.path != collection.path) continue;
      if (device->failOpens > 0) {
        --device->failOpens;
        return nullptr;
      }
      // A caller that names no collection gets the node's first one, like opening the node by path.
      const bool unnamed = collection.usagePage == 0 && collection.usage == 0;
      for (const SimCollection& candidate : node.layout.collections) {
        if (!unnamed &&
            (candidate.usagePage != collection.usagePage || candidate.usage != collection.usage)) {
          continue;
        }
        auto connection = std::make_unique<Connection>(device, n, InfoOf(*device, node, candidate), options);
        device->connections.push_back(connection.get());
        return connection;
      }
      return nullptr;
    }
  }
  return nullptr;
}

std::unique_ptr<device::HidChangeSignal> SimBus::WatchChanges() {
  return std::make_unique<SimChangeSignal>(impl_->shared->NewChangeSignal());
}

int SimBus::Plug(SimDeviceKind kind) {
  std::lock_guard lock(impl_->mutex);
  const int id = static_cast<int>(impl_->devices.size()) + 1;
  auto device = std::make_shared<DeviceState>(id, kind, impl_->shared);
  {
    std::lock_guard deviceLock(device->mutex);
    impl_->PlugLocked(*device);
  }
  impl_->devices.push_back(std::move(device));
  return id;
}

void SimBus::Unplug(int id) {
  std::lock_guard lock(impl_->mutex);
  auto device = impl_->Find(id);
  if (!device) return;
  std::lock_guard deviceLock(device->mutex);
  device->UnplugLocked();
}

bool SimBus::Replug(int id) {
  std::lock_guard lock(impl_->mutex);
  auto device = impl_->Find(id);
  if (!device) return false;
  std::lock_guard deviceLock(device->mutex);
  if (device->plugged) return false;
  device->answersBeforeSilence = -1;  // a power cycle ends a hang
  impl_->PlugLocked(*device);
  return true;
}

bool SimBus::IsPlugged(int id) const {
  std::lock_guard lock(impl_->mutex);
  auto device = impl_->Find(id);
  if (!device) return false;
  std::lock_guard deviceLock(device->mutex);
  return device->plugged;
}

std::vector<HidInterfaceInfo> SimBus::Collections(int id) const {
  std::vector<HidInterfaceInfo> out;
  std::lock_guard lock(impl_->mutex);
  auto device = impl_->Find(id);
  if (!device) return out;
  std::lock_guard deviceLock(device->mutex);
  if (!device->plugged) return out;
  for (const NodeState& node : device->nodes) {
    for (const SimCollection& collection : node.layout.collections)
      out.push_back(InfoOf(*device, node, collection));
  }
  return out;
}

std::string SimBus::VendorPath(int id) const {
  std::lock_guard lock(impl_->mutex);
  auto device = impl_->Find(id);
  if (!device) return {};
  std::lock_guard deviceLock(device->mutex);
  const int node = device->VendorNode();
  return node < 0 ? std::string() : device->nodes[static_cast<std::size_t>(node)].path;
}

SimFirmware& SimBus::Firmware(int id) {
  std::lock_guard lock(impl_->mutex);
  return impl_->Get(id)->firmware;
}

const SimFirmware& SimBus::Firmware(int id) const {
  std::lock_guard lock(impl_->mutex);
  return impl_->Get(id)->firmware;
}

bool SimBus::RaiseConsumerReport(int id, std::uint16_t usage) {
  std::lock_guard lock(impl_->mutex);
  auto device = impl_->Find(id);
  if (!device) return false;
  std::lock_guard deviceLock(device->mutex);
  const int node = device->ConsumerNode();
  if (!device->plugged || node < 0) return false;
  device->RaiseLocked(static_cast<std::size_t>(node), usage);
  return true;
}

bool SimBus::PressProfileButton(int id) {
  {
    std::lock_guard lock(impl_->mutex);
    auto device = impl_->Find(id);
    if (!device || device->kind == SimDeviceKind::kForeign) return false;
    std::lock_guard deviceLock(device->mutex);
    if (!device->plugged) return false;
    device->firmware.StepActiveProfile();
    if (!HasConsumerCollection(device->kind)) return true;
  }
  return RaiseConsumerReport(id, kProfileChanged);
}

bool SimBus::PressStageButton(int id) {
  {
    std::lock_guard lock(impl_->mutex);
    auto device = impl_->Find(id);
    if (!device || device->kind != SimDeviceKind::kMouse) return false;
    std::lock_guard deviceLock(device->mutex);
    if (!device->plugged) return false;
    device->firmware.StepSensitivityStage();
  }
  return RaiseConsumerReport(id, kSettingsChanged);
}

namespace {

// Runs `change` on the device's transport state under its lock; false for unknown ids.
template <typename Change>
bool WithDevice(std::mutex& busMutex, const std::shared_ptr<DeviceState>& device, Change&& change) {
  std::lock_guard lock(busMutex);
  if (!device) return false;
  std::lock_guard deviceLock(device->mutex);
  if constexpr (std::is_void_v<decltype(change(*device))>) {
    change(*device);
    return true;
  } else {
    return change(*device);
  }
}

}  // namespace

void SimBus::DropAnswers(int id, int n) {
  WithDevice(impl_->mutex, impl_->Find(id), [n](DeviceState& d) { d.dropAnswers = std::max(n, 0); });
}

void SimBus::AnswerStatus(int id, std::uint8_t status, int n) {
  WithDevice(impl_->mutex, impl_->Find(id), [status, n](DeviceState& d) {
    d.refuseStatus = status;
    d.refuseAnswers = std::max(n, 0);
  });
}

void SimBus::FailWrites(int id, int n) {
  WithDevice(impl_->mutex, impl_->Find(id), [n](DeviceState& d) { d.failWrites = std::max(n, 0); });
}

void SimBus::FailOpens(int id, int n) {
  WithDevice(impl_->mutex, impl_->Find(id), [n](DeviceState& d) { d.failOpens = std::max(n, 0); });
}

void SimBus::UnplugAfterRequests(int id, int n) {
  WithDevice(impl_->mutex, impl_->Find(id), [n](DeviceState& d) { d.unplugAfter = std::max(n, 0); });
}

void SimBus::SilenceAfterRequests(int id, int n) {
  WithDevice(impl_->mutex, impl_->Find(id),
             [n](DeviceState& d) { d.answersBeforeSilence = std::max(n, -1); });
}

void SimBus::StallWrites(int id, bool stalled) {
  WithDevice(impl_->mutex, impl_->Find(id), [stalled](DeviceState& d) {
    d.stallWrites = stalled;
    for (Connection* connection : d.connections) connection->WakeLocked();
  });
}

bool SimBus::WaitForStalledWrite(int id, std::chrono::milliseconds timeout) const {
  std::shared_ptr<DeviceState> device;
  {
    std::lock_guard lock(impl_->mutex);
    device = impl_->Find(id);
  }
  if (!device) return false;
  std::unique_lock deviceLock(device->mutex);
  return device->stalledChanged.wait_for(deviceLock, timeout, [&] { return device->stalledWrites > 0; });
}

void SimBus::SetReportInterval(int id, std::chrono::microseconds interval) {
  WithDevice(impl_->mutex, impl_->Find(id),
             [interval](DeviceState& d) { d.interval = std::max(interval, std::chrono::microseconds(0)); });
}

bool SimBus::InjectInputReport(int id, std::span<const std::uint8_t> report) {
  return WithDevice(impl_->mutex, impl_->Find(id), [report](DeviceState& d) {
    const int node = d.VendorNode();
    if (!d.plugged || node < 0 || report.size() > kReportSize) return false;
    d.DeliverLocked(static_cast<std::size_t>(node), MakeReport(report), Clock::now());
    return true;
  });
}

bool SimBus::InjectBeforeNextAnswer(int id, std::span<const std::uint8_t> report) {
  return WithDevice(impl_->mutex, impl_->Find(id), [report](DeviceState& d) {
    if (!d.plugged || d.VendorNode() < 0 || report.size() > kReportSize) return false;
    d.strayBeforeAnswer.push_back(MakeReport(report));
    return true;
  });
}

void SimBus::FailEnumerations(int n) {
  std::lock_guard lock(impl_->mutex);
  impl_->failEnumerations = std::max(n, 0);
}

std::vector<SimRequest> SimBus::Requests(int id) const {
  std::vector<SimRequest> out;
  WithDevice(impl_->mutex, impl_->Find(id),
             [&out](DeviceState& d) { out.assign(d.log.begin(), d.log.end()); });
  return out;
}

void SimBus::ClearRequests(int id) {
  WithDevice(impl_->mutex, impl_->Find(id), [](DeviceState& d) { d.log.clear(); });
}

bool SimBus::WaitForRequests(int id, std::size_t count, std::chrono::milliseconds timeout) const {
  std::shared_ptr<DeviceState> device;
  {
    std::lock_guard lock(impl_->mutex);
    device = impl_->Find(id);
  }
  if (!device) return false;
  // Only the device's lock is held while waiting, so the bus stays usable from other threads.
  std::unique_lock deviceLock(device->mutex);
  return device->logChanged.wait_for(deviceLock, timeout, [&] { return device->log.size() >= count; });
}

void SimBus::SetRequestLogLimit(std::size_t perDevice) {
  std::lock_guard lock(impl_->mutex);
  impl_->shared->logLimit = perDevice;
  for (auto& device : impl_->devices) {
    std::lock_guard deviceLock(device->mutex);
    while (device->log.size() > perDevice) device->log.pop_front();
  }
}

}  // namespace korva::sim
