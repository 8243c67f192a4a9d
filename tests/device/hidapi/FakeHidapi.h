#pragma once
// A stand-in hidapi for the hidapi backend's own tests: nodes the test lists (with the entries
// hid_enumerate would give for them), per node a queue of input reports that hid_read_timeout hands
// out oldest first, and a responder that hid_write runs, which may queue the device's answer. Reads
// never wait: an empty queue returns 0 at once, whatever the time-out, so the tests use no clock.
// Every call is recorded for the test to look at.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/hidapi/HidapiCalls.h"

namespace korva::device::test {

struct FakeHidapiEntry {  // one hid_device_info entry
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
};

class FakeHidapi final : public HidapiCalls {
 public:
  using Bytes = std::vector<std::uint8_t>;

  struct Node {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = 0;
    std::vector<FakeHidapiEntry> entries;
    std::deque<Bytes> inputs;  // what reads return, oldest first
    std::vector<Bytes> writes;
    std::vector<int> readTimeouts;  // the milliseconds of every hid_read_timeout
    // Runs (under the stand-in's lock) for every write; may push the answer to `inputs`.
    std::function<void(Node&, const Bytes&)> responder;
    int failReads = 0;  // the next n reads return -1
    hid_device_info info{};
  };

  // --- set-up and inspection; the node lives as long as the stand-in ---
  Node& AddNode(std::string path, std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber,
                std::vector<FakeHidapiEntry> entries) {
    std::lock_guard lock(mutex_);
    Node& node = nodes_.emplace_back();
    node.path = std::move(path);
    node.vendorId = vendorId;
    node.productId = productId;
    node.interfaceNumber = interfaceNumber;
    node.entries = std::move(entries);
    node.info.path = node.path.data();
    node.info.vendor_id = vendorId;
    node.info.product_id = productId;
    node.info.interface_number = interfaceNumber;
    return node;
  }
  // An input report for the node's reads, or (fail) the failure of the next read, as when the device
  // is pulled out; a waiting read takes it at once.
  void Push(Node& node, Bytes report) {
    std::lock_guard lock(mutex_);
    node.inputs.push_back(std::move(report));
    inputCame_.notify_all();
  }
  void FailNextRead(Node& node) {
    std::lock_guard lock(mutex_);
    ++node.failReads;
    inputCame_.notify_all();
  }
  // Locks the stand-in for a look at or a change to its nodes from the test.
  std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }
  int initCount = 0;
  int exitCount = 0;
  int openHandles = 0;
  int unfreedEnumerations = 0;

  // --- hidapi ---
  int Init() override {
    std::lock_guard lock(mutex_);
    ++initCount;
    return 0;
  }
  int Exit() override {
    std::lock_guard lock(mutex_);
    ++exitCount;
    return 0;
  }
  hid_device_info* Enumerate(unsigned short, unsigned short) override {
    std::lock_guard lock(mutex_);
    auto& list = enumerations_.emplace_back();
    for (Node& node : nodes_) {
      for (const FakeHidapiEntry& entry : node.entries) {
        hid_device_info& info = list.emplace_back(node.info);
        info.usage_page = entry.usagePage;
        info.usage = entry.usage;
      }
    }
    for (auto it = list.begin(); it != list.end(); ++it)
      it->next = std::next(it) == list.end() ? nullptr : &*std::next(it);
    ++unfreedEnumerations;
    return list.empty() ? nullptr : &list.front();
  }
  void FreeEnumeration(hid_device_info* devices) override {
    std::lock_guard lock(mutex_);
    if (devices == nullptr) return;  // an empty list is only counted
    for (auto it = enumerations_.begin(); it != enumerations_.end(); ++it) {
      if (!it->empty() && &it->front() == devices) {
        enumerations_.erase(it);
        --unfreedEnumerations;
        return;
      }
    }
  }
  hid_device* OpenPath(const char* path) override {
    std::lock_guard lock(mutex_);
    for (Node& node : nodes_) {
      if (node.path == path) {
        ++openHandles;
        return reinterpret_cast<hid_device*>(&node);
      }
    }
    return nullptr;
  }
  void Close(hid_device*) override {
    std::lock_guard lock(mutex_);
    --openHandles;
  }
  hid_device_info* GetDeviceInfo(hid_device* device) override { return &NodeOf(device).info; }
  // Waits up to `milliseconds` for a report, as hidraw's poll does; a report pushed by the test through
  // Lock() is taken by the next call, one pushed through Push at once.
  int ReadTimeout(hid_device* device, unsigned char* data, std::size_t length, int milliseconds) override {
    std::unique_lock lock(mutex_);
    Node& node = NodeOf(device);
    node.readTimeouts.push_back(milliseconds);
    if (node.inputs.empty() && node.failReads == 0 && milliseconds > 0) {
      inputCame_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                          [&] { return !node.inputs.empty() || node.failReads > 0; });
    }
    if (node.failReads > 0) {
      --node.failReads;
      return -1;
    }
    if (node.inputs.empty()) return 0;
    const Bytes report = std::move(node.inputs.front());
    node.inputs.pop_front();
    const std::size_t n = std::min(length, report.size());
    std::memcpy(data, report.data(), n);
    return static_cast<int>(n);
  }
  int Write(hid_device* device, const unsigned char* data, std::size_t length) override {
    std::lock_guard lock(mutex_);
    Node& node = NodeOf(device);
    node.writes.emplace_back(data, data + length);
    if (node.responder) node.responder(node, node.writes.back());
    return static_cast<int>(length);
  }
  const wchar_t* Error(hid_device*) override { return L"stand-in failure"; }

 private:
  static Node& NodeOf(hid_device* device) { return *reinterpret_cast<Node*>(device); }

  std::mutex mutex_;
  std::condition_variable inputCame_;
  std::list<Node> nodes_;  // stable addresses: a handle is the address of its node
  std::list<std::list<hid_device_info>> enumerations_;
};

}  // namespace korva::device::test
