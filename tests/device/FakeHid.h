#pragma once
// A tiny scripted backend for the cases the simulator cannot stage: a connection whose reports the
// test queues by hand, whose writes run a test-supplied responder, whose lifetime and aborts the
// test can watch, and which records the time-out every Read and Write is given.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/HidBackend.h"

namespace korva::device::test {

// Shared between the test and the connection, so the test can look after the connection is gone.
struct FakeState {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::vector<std::uint8_t>> inputs;
  std::vector<std::vector<std::uint8_t>> writes;
  // Called under `mutex` for every write; may push answers to `inputs`.
  std::function<void(FakeState&, const std::vector<std::uint8_t>&)> responder;
  std::size_t shortWriteBy = 0;  // a write reports this many bytes fewer than it got
  int aborts = 0;                // Abort calls, over all connections
  int destroyed = 0;             // connections destroyed
  int readsWaiting = 0;
  bool holdAbortedRead = false;  // an aborted Read waits for releaseRead before returning
  bool releaseRead = false;
  // A Read with nothing queued returns kTimeout at once instead of waiting its time-out, so a test
  // can follow the time-outs without a clock.
  bool timeOutAtOnce = false;
  std::vector<int> readTimeouts;   // of every Read, in order
  std::vector<int> writeTimeouts;  // of every Write, in order

  void Push(std::vector<std::uint8_t> report) {
    std::lock_guard lock(mutex);
    inputs.push_back(std::move(report));
    changed.notify_all();
  }
  // Waits until a Read is blocked inside the connection.
  bool WaitForWaitingRead(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return readsWaiting > 0; });
  }
  void Release() {
    std::lock_guard lock(mutex);
    releaseRead = true;
    changed.notify_all();
  }
};

class FakeConnection final : public HidConnection {
 public:
  FakeConnection(std::shared_ptr<FakeState> state, HidInterfaceInfo info,
                 std::vector<std::uint8_t> descriptor)
      : state_(std::move(state)), info_(std::move(info)), descriptor_(std::move(descriptor)) {}
  ~FakeConnection() override {
    std::lock_guard lock(state_->mutex);
    ++state_->destroyed;
    state_->changed.notify_all();
  }

  HidIoStatus Write(std::span<const std::uint8_t> report, int timeoutMs, std::size_t& written) override {
    std::lock_guard lock(state_->mutex);
    written = 0;
    state_->writeTimeouts.push_back(timeoutMs);
    if (aborted_) return HidIoStatus::kAborted;
    std::vector<std::uint8_t> bytes(report.begin(), report.end());
    state_->writes.push_back(bytes);
    if (state_->responder) state_->responder(*state_, bytes);
    written = report.size() - std::min(report.size(), state_->shortWriteBy);
    state_->changed.notify_all();
    return HidIoStatus::kOk;
  }

  HidIoStatus Read(std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& read) override {
    std::unique_lock lock(state_->mutex);
    read = 0;
    state_->readTimeouts.push_back(timeoutMs);
    if (state_->timeOutAtOnce && !aborted_ && state_->inputs.empty()) return HidIoStatus::kTimeout;
    ++state_->readsWaiting;
    state_->changed.notify_all();
    const bool ready = state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                                [&] { return aborted_ || !state_->inputs.empty(); });
    --state_->readsWaiting;
    if (aborted_) {
      if (state_->holdAbortedRead) state_->changed.wait(lock, [&] { return state_->releaseRead; });
      return HidIoStatus::kAborted;
    }
    if (!ready) return HidIoStatus::kTimeout;
    const std::vector<std::uint8_t> report = std::move(state_->inputs.front());
    state_->inputs.pop_front();
    read = std::min(buffer.size(), report.size());
    std::copy_n(report.begin(), read, buffer.begin());
    return HidIoStatus::kOk;
  }

  void Abort() override {
    std::lock_guard lock(state_->mutex);
    aborted_ = true;
    ++state_->aborts;
    state_->changed.notify_all();
  }

  std::vector<std::uint8_t> ReportDescriptor() const override { return descriptor_; }
  HidInterfaceInfo Info() const override { return info_; }

 private:
  std::shared_ptr<FakeState> state_;
  HidInterfaceInfo info_;
  std::vector<std::uint8_t> descriptor_;
  bool aborted_ = false;  // guarded by state_->mutex; sticky, as the seam allows
};

// Every entry of `collections` opens as a FakeConnection on `state` with `descriptor`.
class FakeBackend final : public HidBackend {
 public:
  std::vector<HidInterfaceInfo> collections;
  std::vector<std::uint8_t> descriptor;
  std::shared_ptr<FakeState> state = std::make_shared<FakeState>();
  bool failEnumeration = false;

  bool Enumerate(std::vector<HidInterfaceInfo>& out) override {
    out.clear();
    if (failEnumeration) return false;
    out = collections;
    return true;
  }
  bool IsPresent(const std::string& path) override {
    for (const auto& c : collections)
      if (c.path == path) return true;
    return false;
  }
  std::unique_ptr<HidConnection> Open(const HidInterfaceInfo& wanted, const HidOpenOptions&) override {
    for (const auto& c : collections) {
      if (c.path == wanted.path) {
        HidInterfaceInfo info = c;
        info.usagePage = wanted.usagePage;
        info.usage = wanted.usage;
        return std::make_unique<FakeConnection>(state, info, descriptor);
      }
    }
    return nullptr;
  }
};

}  // namespace korva::device::test
