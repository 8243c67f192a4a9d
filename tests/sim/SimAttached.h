#pragma once
// A simulated device on the simulated bus, opened the way its watcher opens it, with the requests it
// received decoded for assertions, and a hook that injects a fault at the n-th request written (so a
// fault lands in the middle of a transfer, whatever its timing). The device cores' tests share it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "device/CommandExchange.h"
#include "device/HidBackend.h"
#include "device/HidDevice.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"

namespace korva::test {

// One request as the device received it.
struct Sent {
  std::uint8_t code = 0;
  std::uint8_t length = 0;
  std::uint16_t address = 0;
  std::array<std::uint8_t, 56> payload{};

  friend bool operator==(const Sent& a, const Sent& b) {
    return a.code == b.code && a.length == b.length && a.address == b.address;
  }
};

inline std::ostream& operator<<(std::ostream& out, const Sent& s) {
  return out << "{code " << int{s.code} << ", length " << int{s.length} << ", address " << s.address << "}";
}

inline Sent Request(std::uint8_t code, std::uint8_t length, std::uint16_t address) {
  return {code, length, address, {}};
}

inline Sent Decode(const sim::SimRequest& request) {
  Sent sent{request.bytes[3],
            request.bytes[4],
            static_cast<std::uint16_t>(request.bytes[5] | (request.bytes[6] << 8)),
            {}};
  std::copy_n(request.bytes.begin() + 8, sent.payload.size(), sent.payload.begin());
  return sent;
}

// The backend seam with a hook before every write, counted from 1.
class HookedBackend final : public device::HidBackend {
 public:
  explicit HookedBackend(device::HidBackend& inner) : inner_(inner) {}

  std::function<void(int)> beforeWrite;
  int writes() const { return writes_; }

  bool Enumerate(std::vector<device::HidInterfaceInfo>& out) override { return inner_.Enumerate(out); }
  bool IsPresent(const std::string& path) override { return inner_.IsPresent(path); }
  std::unique_ptr<device::HidConnection> Open(const device::HidInterfaceInfo& collection,
                                              const device::HidOpenOptions& options) override {
    std::unique_ptr<device::HidConnection> connection = inner_.Open(collection, options);
    if (!connection) return nullptr;
    return std::make_unique<Connection>(std::move(connection), *this);
  }

 private:
  class Connection final : public device::HidConnection {
   public:
    Connection(std::unique_ptr<device::HidConnection> inner, HookedBackend& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    device::HidIoStatus Write(std::span<const std::uint8_t> report, int timeoutMs,
                              std::size_t& written) override {
      if (owner_.beforeWrite) owner_.beforeWrite(++owner_.writes_);
      return inner_->Write(report, timeoutMs, written);
    }
    device::HidIoStatus Read(std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& read) override {
      return inner_->Read(buffer, timeoutMs, read);
    }
    void Abort() override { inner_->Abort(); }
    std::vector<std::uint8_t> ReportDescriptor() const override { return inner_->ReportDescriptor(); }
    device::HidInterfaceInfo Info() const override { return inner_->Info(); }

   private:
    std::unique_ptr<device::HidConnection> inner_;
    HookedBackend& owner_;
  };

  device::HidBackend& inner_;
  int writes_ = 0;
};

class SimAttachedDevice {
 public:
  SimAttachedDevice(sim::SimDeviceKind kind, device::HidIdentity identity) : id(bus.Plug(kind)) {
    for (const device::HidInterfaceInfo& info : bus.Collections(id)) {
      if (info.usagePage == device::kVendorUsagePage && info.usage == device::kVendorUsage) {
        device.link.devicePath = info;
      }
    }
    device.identity = identity;
    device.link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
    opened = device::OpenLink(device.link);
    device.connected = opened;
  }
  ~SimAttachedDevice() { device::CloseLink(device.link); }
  SimAttachedDevice(const SimAttachedDevice&) = delete;
  SimAttachedDevice& operator=(const SimAttachedDevice&) = delete;

  sim::SimFirmware& firmware() { return bus.Firmware(id); }
  std::vector<Sent> Requests() const {
    std::vector<Sent> sent;
    for (const sim::SimRequest& request : bus.Requests(id)) sent.push_back(Decode(request));
    return sent;
  }
  void ClearRequests() { bus.ClearRequests(id); }
  // Runs `fault` just before the n-th request from now is written.
  void FaultAtRequest(int n, std::function<void()> fault) {
    backend.beforeWrite = [target = backend.writes() + n, fault = std::move(fault)](int write) {
      if (write == target) fault();
    };
  }

  sim::SimBus bus;
  HookedBackend backend{bus};
  const int id;
  device::HidDevice device{backend};
  bool opened = false;
};

}  // namespace korva::test
