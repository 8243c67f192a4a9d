#include "device/hidapi/HidapiBackend.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string_view>

#include "common/Log.h"
#include "common/Result.h"
#include "device/ReportDescriptor.h"
#include "device/hidapi/HidapiCalls.h"
#include "device/hidapi/HidrawNodeWatch.h"

namespace korva::device {
namespace {

using Clock = std::chrono::steady_clock;

// A waiting read looks at the abort flag this often.
constexpr int kReadSliceMs = 50;
// hidraw hands over descriptors of at most HID_MAX_DESCRIPTOR_SIZE bytes.
constexpr std::size_t kMaxDescriptorBytes = 4096;

// hid_error's text for a trace; what is not ASCII shows as '?'.
std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text != nullptr && *text != L'\0'; ++text) {
    out.push_back(*text > 0 && *text < 0x80 ? static_cast<char>(*text) : '?');
  }
  return out;
}

struct HidDeviceCloser {
  HidapiCalls* calls = nullptr;
  void operator()(hid_device* device) const { calls->Close(device); }
};

class HidapiConnection final : public HidConnection {
 public:
  HidapiConnection(HidapiCalls& calls, hid_device* device, HidInterfaceInfo info,
                   std::vector<std::uint8_t> descriptor)
      : calls_(calls),
        device_(device, HidDeviceCloser{&calls}),
        info_(std::move(info)),
        descriptor_(std::move(descriptor)) {
    const Result<device::ReportDescriptor> parsed = ParseReportDescriptor(descriptor_);
    numbered_ = !parsed || parsed->usesReportIds;
  }

  // hidapi 0.13 has no write time-out and does not hand out the hidraw file descriptor: hid_write
  // blocks in write(2) until the kernel has sent the report or given up on it by its own USB time-out,
  // so `timeoutMs` cannot be honoured on this backend.
  HidIoStatus Write(std::span<const std::uint8_t> report, int /*timeoutMs*/, std::size_t& written) override {
    written = 0;
    if (aborted_) return HidIoStatus::kAborted;
    if (report.empty()) return HidIoStatus::kFailed;
    std::lock_guard lock(mutex_);
    // hidraw takes the report id first in every case, 0 for a device without numbered reports.
    const int n = calls_.Write(device_.get(), report.data(), report.size());
    if (n < 0) return FailedLocked("write");
    written = static_cast<std::size_t>(n);
    return HidIoStatus::kOk;
  }

  HidIoStatus Read(std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& read) override {
    read = 0;
    if (buffer.size() < 2) return HidIoStatus::kFailed;
    // hidraw leaves out the report id of a device without numbered reports; our reports always
    // start with it, so put the 0 in front.
    const std::size_t skip = numbered_ ? 0 : 1;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    // Always at least one hid_read_timeout: with 0 ms it polls without waiting and still takes a
    // report that is already queued, which is what draining stale answers relies on.
    for (;;) {
      if (aborted_) return HidIoStatus::kAborted;
      const long long left = std::max<long long>(
          std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count(), 0);
      const int slice = static_cast<int>(std::min<long long>(left, kReadSliceMs));
      std::lock_guard lock(mutex_);
      const int n = calls_.ReadTimeout(device_.get(), buffer.data() + skip, buffer.size() - skip, slice);
      if (n < 0) return FailedLocked("read");
      if (n > 0) {
        if (skip != 0) buffer[0] = 0;
        read = static_cast<std::size_t>(n) + skip;
        return HidIoStatus::kOk;
      }
      if (slice == left) return HidIoStatus::kTimeout;
    }
  }

  void Abort() override { aborted_ = true; }
  std::vector<std::uint8_t> ReportDescriptor() const override { return descriptor_; }
  HidInterfaceInfo Info() const override { return info_; }

 private:
  HidIoStatus FailedLocked(std::string_view what) {
    Trace("hidapi: " + std::string(what) + " on " + info_.path +
          " failed: " + Narrow(calls_.Error(device_.get())));
    return HidIoStatus::kFailed;
  }

  HidapiCalls& calls_;
  // hidapi keeps per-device error state that is not thread-safe: one call at a time on the handle.
  // Reads hold it for one slice only, so a write waits at most that long.
  std::mutex mutex_;
  std::unique_ptr<hid_device, HidDeviceCloser> device_;
  const HidInterfaceInfo info_;
  const std::vector<std::uint8_t> descriptor_;
  bool numbered_ = true;
  std::atomic<bool> aborted_{false};
};

bool SameCollection(const HidInterfaceInfo& a, const HidInterfaceInfo& b) {
  return a.path == b.path && a.usagePage == b.usagePage && a.usage == b.usage;
}

void AddUnique(std::vector<HidInterfaceInfo>& out, HidInterfaceInfo info) {
  if (std::none_of(out.begin(), out.end(),
                   [&](const HidInterfaceInfo& o) { return SameCollection(o, info); })) {
    out.push_back(std::move(info));
  }
}

HidInterfaceInfo FromHidapi(const hid_device_info& d) {
  HidInterfaceInfo info;
  info.path = d.path != nullptr ? d.path : "";
  info.vendorId = d.vendor_id;
  info.productId = d.product_id;
  info.usagePage = d.usage_page;
  info.usage = d.usage;
  info.interfaceNumber = d.interface_number;
  return info;
}

}  // namespace

std::vector<std::uint8_t> ReadHidrawReportDescriptor(const std::string& devicePath,
                                                     const std::string& sysfsRoot) {
  const std::string node = std::filesystem::path(devicePath).filename().string();
  if (node.rfind("hidraw", 0) != 0) return {};
  // The sysfs attribute claims 4096 bytes whatever the descriptor's length: read to its end.
  std::ifstream in(std::filesystem::path(sysfsRoot) / node / "device" / "report_descriptor",
                   std::ios::binary);
  if (!in) return {};
  std::vector<std::uint8_t> bytes(kMaxDescriptorBytes);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

HidapiBackend::HidapiBackend() : HidapiBackend(SystemHidapi(), kHidrawSysfsRoot) {}

HidapiBackend::HidapiBackend(HidapiCalls& calls, std::string sysfsRoot, std::string nodeFolder)
    : calls_(calls),
      sysfsRoot_(std::move(sysfsRoot)),
      nodeFolder_(std::move(nodeFolder)),
      initialised_(calls_.Init() == 0) {}

std::unique_ptr<HidChangeSignal> HidapiBackend::WatchChanges() {
  auto watch = std::make_unique<HidrawNodeWatch>(nodeFolder_);
  if (!watch->Valid()) return nullptr;
  return watch;
}

HidapiBackend::~HidapiBackend() {
  if (initialised_) calls_.Exit();
}

bool HidapiBackend::Enumerate(std::vector<HidInterfaceInfo>& out) {
  out.clear();
  if (!initialised_) return false;
  // hid_enumerate gives no way to tell "nothing present" from a failure; both read as an empty bus.
  hid_device_info* const first = calls_.Enumerate(0, 0);
  std::vector<HidInterfaceInfo> listed;
  for (const hid_device_info* d = first; d != nullptr; d = d->next) listed.push_back(FromHidapi(*d));
  calls_.FreeEnumeration(first);

  std::vector<std::string> paths;
  for (const HidInterfaceInfo& info : listed) {
    if (std::find(paths.begin(), paths.end(), info.path) == paths.end()) paths.push_back(info.path);
  }
  for (const std::string& path : paths) {
    const auto firstOfPath =
        std::find_if(listed.begin(), listed.end(), [&](const HidInterfaceInfo& i) { return i.path == path; });
    const Result<ReportDescriptor> parsed =
        ParseReportDescriptor(ReadHidrawReportDescriptor(path, sysfsRoot_));
    const std::vector<int> tops = parsed ? parsed->TopLevelCollections() : std::vector<int>{};
    if (tops.empty()) {
      for (const HidInterfaceInfo& info : listed) {
        if (info.path == path) AddUnique(out, info);
      }
      continue;
    }
    for (int top : tops) {
      HidInterfaceInfo info = *firstOfPath;
      info.usagePage = parsed->collections[static_cast<std::size_t>(top)].usagePage;
      info.usage = parsed->collections[static_cast<std::size_t>(top)].usage;
      AddUnique(out, std::move(info));
    }
  }
  return true;
}

bool HidapiBackend::IsPresent(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

std::unique_ptr<HidConnection> HidapiBackend::Open(const HidInterfaceInfo& collection,
                                                   const HidOpenOptions& /*options*/) {
  if (!initialised_ || collection.path.empty()) return nullptr;
  hid_device* device = calls_.OpenPath(collection.path.c_str());
  if (device == nullptr) return nullptr;
  HidInterfaceInfo info = collection;
  if (const hid_device_info* d = calls_.GetDeviceInfo(device); d != nullptr) {
    info.vendorId = d->vendor_id;
    info.productId = d->product_id;
    info.interfaceNumber = d->interface_number;
  }
  return std::make_unique<HidapiConnection>(calls_, device, std::move(info),
                                            ReadHidrawReportDescriptor(collection.path, sysfsRoot_));
}

}  // namespace korva::device
