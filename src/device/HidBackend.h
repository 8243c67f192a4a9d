#pragma once
// The transport seam under HidLink: one interface, several backends (hidapi/hidraw for the
// devices on the USB bus, the simulated bus in sim/ for tests, benchmarks and the demo mode).
// Everything above this seam -- framing, retries, watchers -- is shared by all backends.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace korva::device {

// One HID top-level collection as enumeration reports it. Several collections of one USB
// interface may share a path (on Linux one hidraw node serves the whole interface).
struct HidInterfaceInfo {
  std::string path;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  int interfaceNumber = -1;
};

// How many input reports an open node keeps for its reader before it drops new ones (hidraw's
// buffer per open file).
inline constexpr std::size_t kHidReportBuffer = 64;

struct HidOpenOptions {
  bool wantRead = false;
  bool wantWrite = false;
  bool overlapped = false;
  bool shareReadOnly = false;
};

enum class HidIoStatus {
  kOk,       // the report was transferred
  kTimeout,  // nothing within the time-out
  kAborted,  // Abort() was called while waiting
  kFailed,   // the device is gone or the OS refused the transfer
};

// An open interface. Read and Write may block up to their time-out; Abort may be called from any
// thread and makes a waiting (or the next) Read or Write return kAborted at once.
class HidConnection {
 public:
  virtual ~HidConnection() = default;

  // `report` starts with the report id (0 for devices without numbered reports).
  virtual HidIoStatus Write(std::span<const std::uint8_t> report, int timeoutMs, std::size_t& written) = 0;
  // Fills `buffer` with one input report, starting with its report id.
  virtual HidIoStatus Read(std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& read) = 0;
  virtual void Abort() = 0;

  // The raw HID report descriptor of the interface (empty when the backend cannot supply it).
  virtual std::vector<std::uint8_t> ReportDescriptor() const = 0;
  virtual HidInterfaceInfo Info() const = 0;
};

// One waiter's sign that collections may have come or gone: its descriptor is readable (poll) after
// a change, until Take.
class HidChangeSignal {
 public:
  virtual ~HidChangeSignal() = default;
  virtual int Fd() const = 0;
  // Clears the sign; true when a change that concerns HID collections came since the last Take.
  virtual bool Take() = 0;
};

class HidBackend {
 public:
  virtual ~HidBackend() = default;

  // A sign of its own for one waiter (each watcher and reader asks for one), so a thread with no
  // device can sleep until one may have come; nullptr when the backend cannot tell, and the waiter
  // looks again at its pace.
  virtual std::unique_ptr<HidChangeSignal> WatchChanges() { return nullptr; }

  // Every present collection, in a stable order. False when the OS enumeration failed.
  virtual bool Enumerate(std::vector<HidInterfaceInfo>& out) = 0;
  virtual bool IsPresent(const std::string& path) = 0;
  // `collection` tells which collection of the path the caller wants (usage page and usage).
  virtual std::unique_ptr<HidConnection> Open(const HidInterfaceInfo& collection,
                                              const HidOpenOptions& options) = 0;
};

}  // namespace korva::device
