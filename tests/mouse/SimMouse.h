#pragma once
// A simulated mouse on the simulated bus, opened the way the mouse watcher opens it, with the
// requests it received decoded for assertions, and a hook that injects a fault at the n-th request
// written (so a fault lands in the middle of a transfer, whatever its timing). Also a temporary
// data folder with the two mouse profile stores initialised from the shipped defaults.

#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "device/CommandExchange.h"
#include "device/HidBackend.h"
#include "device/HidDevice.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"

namespace korva::mouse::test {

// One request as the mouse received it.
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

class SimMouse {
 public:
  SimMouse() {
    for (const device::HidInterfaceInfo& info : bus.Collections(id)) {
      if (info.usagePage == device::kVendorUsagePage && info.usage == device::kVendorUsage) {
        device.link.devicePath = info;
      }
    }
    device.identity = device::kMouseIdentity;
    device.link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
    opened = device::OpenLink(device.link);
    device.connected = opened;
  }
  ~SimMouse() { device::CloseLink(device.link); }
  SimMouse(const SimMouse&) = delete;
  SimMouse& operator=(const SimMouse&) = delete;

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
  const int id = bus.Plug(sim::SimDeviceKind::kMouse);
  device::HidDevice device{backend};
  bool opened = false;
};

// The requests of a full read: begin, info, default block, five times record and bank, active number, end.
inline std::vector<Sent> FullReadSequence() {
  std::vector<Sent> expected{Request(0x01, 0, 0), Request(0x03, 0x21, 0)};
  const auto block = [&expected](std::uint8_t code, std::uint16_t base) {
    for (std::uint16_t offset = 0; offset < 512; offset += 56) {
      expected.push_back(Request(code, static_cast<std::uint8_t>(offset + 56 < 512 ? 56 : 512 - offset),
                                 static_cast<std::uint16_t>(base + offset)));
    }
  };
  block(0x07, 0);
  for (std::uint16_t n = 0; n < 5; ++n) {
    expected.push_back(Request(0x05, 56, static_cast<std::uint16_t>(n * 64)));
    block(0x08, static_cast<std::uint16_t>(n * 126));
  }
  expected.push_back(Request(0x05, 1, 0));
  expected.push_back(Request(0x02, 0, 0));
  return expected;
}

// A fresh data folder with the mouse's light and key stores initialised from the shipped defaults.
class MouseStores {
 public:
  MouseStores() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korva-mouse-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    // The shipped default files: in $KORVA_SOURCE_DIR when set, else in the tree this test was built from.
    const char* source = std::getenv("KORVA_SOURCE_DIR");
    const std::filesystem::path defaults =
        std::filesystem::path(source != nullptr && *source != '\0' ? source : KORVA_MOUSE_TEST_SOURCE_DIR) /
        "data";
    light = std::make_unique<profile::ProfileStore>(profile::StoreKind::kMouseLight,
                                                    profile::DataFolders(folder_), defaults);
    key = std::make_unique<profile::ProfileStore>(profile::StoreKind::kMouseKey,
                                                  profile::DataFolders(folder_), defaults);
    ready = !folder_.empty() && light->Initialise().result.ok() && key->Initialise().result.ok();
  }
  ~MouseStores() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  MouseStores(const MouseStores&) = delete;
  MouseStores& operator=(const MouseStores&) = delete;

  // Every file of the data folder with its bytes, to see that nothing was written.
  std::map<std::string, std::vector<std::uint8_t>> Snapshot() const {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_)) {
      if (!entry.is_regular_file()) continue;
      std::vector<std::uint8_t> bytes;
      korva::ReadWholeFile(entry.path(), bytes);
      files[entry.path().string()] = std::move(bytes);
    }
    return files;
  }

  std::unique_ptr<profile::ProfileStore> light;
  std::unique_ptr<profile::ProfileStore> key;
  bool ready = false;

 private:
  std::filesystem::path folder_;
};

}  // namespace korva::mouse::test
