#include "device/hidapi/HidapiBackend.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "device/ReportDescriptor.h"

namespace korva::device {
namespace {

// A waiting read looks at the abort flag this often.
constexpr int kReadSliceMs = 50;
// hidraw hands over descriptors of at most HID_MAX_DESCRIPTOR_SIZE bytes.
constexpr std::size_t kMaxDescriptorBytes = 4096;

struct HidDeviceCloser {
  void operator()(hid_device* device) const { hid_close(device); }
};

class HidapiConnection final : public HidConnection {
 public:
  HidapiConnection(hid_device* device, HidInterfaceInfo info, std::vector<std::uint8_t> descriptor)
      : device_(device), info_(std::move(info)), descriptor_(std::move(descriptor)) {
    const DescriptorParseResult parsed = ParseReportDescriptor(descriptor_);
    numbered_ = !parsed || parsed.descriptor.usesReportIds;
  }

  HidIoStatus Write(std::span<const std::uint8_t> report, int /*timeoutMs*/, std::size_t& written) override {
    written = 0;
    if (aborted_) return HidIoStatus::kAborted;
    if (report.empty()) return HidIoStatus::kFailed;
    std::lock_guard lock(mutex_);
    // hidraw takes the report id first in every case, 0 for a device without numbered reports.
    const int n = hid_write(device_.get(), report.data(), report.size());
    if (n < 0) return HidIoStatus::kFailed;
    written = static_cast<std::size_t>(n);
    return HidIoStatus::kOk;
  }

  HidIoStatus Read(std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& read) override {
    read = 0;
    if (buffer.size() < 2) return HidIoStatus::kFailed;
    // hidraw leaves out the report id of a device without numbered reports; our reports always
    // start with it, so put the 0 in front.
    const std::size_t skip = numbered_ ? 0 : 1;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
      if (aborted_) return HidIoStatus::kAborted;
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      if (left <= 0) return HidIoStatus::kTimeout;
      const int slice = static_cast<int>(std::min<long long>(left, kReadSliceMs));
      int n = 0;
      {
        std::lock_guard lock(mutex_);
        n = hid_read_timeout(device_.get(), buffer.data() + skip, buffer.size() - skip, slice);
      }
      if (n < 0) return HidIoStatus::kFailed;
      if (n > 0) {
        if (skip != 0) buffer[0] = 0;
        read = static_cast<std::size_t>(n) + skip;
        return HidIoStatus::kOk;
      }
    }
  }

  void Abort() override { aborted_ = true; }
  std::vector<std::uint8_t> ReportDescriptor() const override { return descriptor_; }
  HidInterfaceInfo Info() const override { return info_; }

 private:
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

std::vector<std::uint8_t> ReadHidrawReportDescriptor(const std::string& devicePath) {
  const std::string node = std::filesystem::path(devicePath).filename().string();
  if (node.rfind("hidraw", 0) != 0) return {};
  // The sysfs attribute claims 4096 bytes whatever the descriptor's length: read to its end.
  std::ifstream in("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
  if (!in) return {};
  std::vector<std::uint8_t> bytes(kMaxDescriptorBytes);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

HidapiBackend::HidapiBackend() : initialised_(hid_init() == 0) {}

HidapiBackend::~HidapiBackend() {
  if (initialised_) hid_exit();
}

bool HidapiBackend::Enumerate(std::vector<HidInterfaceInfo>& out) {
  out.clear();
  if (!initialised_) return false;
  // hid_enumerate gives no way to tell "nothing present" from a failure; both read as an empty bus.
  hid_device_info* const first = hid_enumerate(0, 0);
  std::vector<HidInterfaceInfo> listed;
  for (const hid_device_info* d = first; d != nullptr; d = d->next) listed.push_back(FromHidapi(*d));
  hid_free_enumeration(first);

  std::vector<std::string> paths;
  for (const HidInterfaceInfo& info : listed) {
    if (std::find(paths.begin(), paths.end(), info.path) == paths.end()) paths.push_back(info.path);
  }
  for (const std::string& path : paths) {
    const auto firstOfPath =
        std::find_if(listed.begin(), listed.end(), [&](const HidInterfaceInfo& i) { return i.path == path; });
    const DescriptorParseResult parsed = ParseReportDescriptor(ReadHidrawReportDescriptor(path));
    const std::vector<int> tops = parsed ? parsed.descriptor.TopLevelCollections() : std::vector<int>{};
    if (tops.empty()) {
      for (const HidInterfaceInfo& info : listed) {
        if (info.path == path) AddUnique(out, info);
      }
      continue;
    }
    for (int top : tops) {
      HidInterfaceInfo info = *firstOfPath;
      info.usagePage = parsed.descriptor.collections[static_cast<std::size_t>(top)].usagePage;
      info.usage = parsed.descriptor.collections[static_cast<std::size_t>(top)].usage;
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
  hid_device* device = hid_open_path(collection.path.c_str());
  if (device == nullptr) return nullptr;
  HidInterfaceInfo info = collection;
  if (const hid_device_info* d = hid_get_device_info(device); d != nullptr) {
    info.vendorId = d->vendor_id;
    info.productId = d->product_id;
    info.interfaceNumber = d->interface_number;
  }
  return std::make_unique<HidapiConnection>(device, std::move(info),
                                            ReadHidrawReportDescriptor(collection.path));
}

}  // namespace korva::device
