#pragma once
// A HidBackend in front of the simulated bus that records every open: which collection, with
// which options, and whether the connection is still held. It tells a test that a collection was
// opened, rejected and closed again, and who opened it (the readers never ask for write access).

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "device/HidBackend.h"
#include "sim/SimBus.h"

namespace korva::device::test {

struct OpenRecord {
  HidInterfaceInfo collection;
  HidOpenOptions options;
  bool released = false;
};

class RecordingBackend final : public HidBackend {
 public:
  explicit RecordingBackend(sim::SimBus& bus) : bus_(bus) {}

  bool Enumerate(std::vector<HidInterfaceInfo>& out) override {
    ++enumerations_;
    return bus_.Enumerate(out);
  }
  int Enumerations() const { return enumerations_.load(); }
  bool IsPresent(const std::string& path) override {
    ++presenceLooks_;
    return bus_.IsPresent(path);
  }
  int PresenceLooks() const { return presenceLooks_.load(); }
  std::unique_ptr<HidChangeSignal> WatchChanges() override { return bus_.WatchChanges(); }

  std::unique_ptr<HidConnection> Open(const HidInterfaceInfo& collection,
                                      const HidOpenOptions& options) override {
    std::unique_ptr<HidConnection> inner = bus_.Open(collection, options);
    if (!inner) return nullptr;
    std::lock_guard lock(state_->mutex);
    state_->opens.push_back({collection, options, false});
    state_->changed.notify_all();
    return std::make_unique<Recorded>(std::move(inner), state_, state_->opens.size() - 1);
  }

  std::vector<OpenRecord> Opens() const {
    std::lock_guard lock(state_->mutex);
    return state_->opens;
  }

  // Opens of `productId`'s collection by a watcher (write access) or a reader (read only).
  int CountOpens(std::uint16_t productId, bool byReader) const {
    int n = 0;
    for (const OpenRecord& r : Opens()) {
      n += r.collection.productId == productId && r.options.wantWrite != byReader ? 1 : 0;
    }
    return n;
  }
  int CountHeld(std::uint16_t productId) const {
    int n = 0;
    for (const OpenRecord& r : Opens()) n += r.collection.productId == productId && !r.released ? 1 : 0;
    return n;
  }

  // From now on every read fails at once while the device stays present (a node the OS refuses
  // to read).
  void FailReads() {
    std::lock_guard lock(state_->mutex);
    state_->failReads = true;
  }
  int FailedReads() const {
    std::lock_guard lock(state_->mutex);
    return state_->failedReads;
  }
  bool WaitForFailedReads(int count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->failedReads >= count; });
  }

  // Waits until a reader (read-only open) holds the consumer collection of `productId`; from then
  // on the reader receives every report the device sends.
  bool WaitForReaderOpen(std::uint16_t productId, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] {
      for (const OpenRecord& r : state_->opens) {
        if (r.collection.productId == productId && r.collection.usagePage == 0x000C && !r.options.wantWrite &&
            !r.released) {
          return true;
        }
      }
      return false;
    });
  }

 private:
  std::atomic<int> enumerations_{0};
  std::atomic<int> presenceLooks_{0};
  struct State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<OpenRecord> opens;
    bool failReads = false;  // every Read fails at once, the node staying present
    int failedReads = 0;
  };

  class Recorded final : public HidConnection {
   public:
    Recorded(std::unique_ptr<HidConnection> inner, std::shared_ptr<State> state, std::size_t index)
        : inner_(std::move(inner)), state_(std::move(state)), index_(index) {}
    ~Recorded() override {
      inner_.reset();
      std::lock_guard lock(state_->mutex);
      state_->opens[index_].released = true;
      state_->changed.notify_all();
    }
    HidIoStatus Write(std::span<const std::uint8_t> report, int timeoutMs, std::size_t& written) override {
      return inner_->Write(report, timeoutMs, written);
    }
    HidIoStatus Read(std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& read) override {
      {
        std::lock_guard lock(state_->mutex);
        if (state_->failReads) {
          read = 0;
          ++state_->failedReads;
          state_->changed.notify_all();
          return HidIoStatus::kFailed;
        }
      }
      return inner_->Read(buffer, timeoutMs, read);
    }
    void Abort() override { inner_->Abort(); }
    std::vector<std::uint8_t> ReportDescriptor() const override { return inner_->ReportDescriptor(); }
    HidInterfaceInfo Info() const override { return inner_->Info(); }

   private:
    std::unique_ptr<HidConnection> inner_;
    std::shared_ptr<State> state_;
    std::size_t index_;
  };

  sim::SimBus& bus_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace korva::device::test
