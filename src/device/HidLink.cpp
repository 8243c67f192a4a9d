#include "device/HidLink.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "device/ReportDescriptor.h"

namespace korva::device {

struct LinkCapabilityData {
  HidCapabilities caps;
  HidAttributes attributes;
  ReportTable input;
  ReportTable output;
  ReportTable feature;
};

namespace {

// Counts a transfer as pending for the lifetime of the guard.
class PendingGuard {
 public:
  explicit PendingGuard(std::atomic<int>& counter) : counter_(counter) { ++counter_; }
  ~PendingGuard() { --counter_; }
  PendingGuard(const PendingGuard&) = delete;
  PendingGuard& operator=(const PendingGuard&) = delete;

 private:
  std::atomic<int>& counter_;
};

std::uint16_t Count16(std::size_t n) {
  return static_cast<std::uint16_t>(std::min<std::size_t>(n, 0xFFFF));
}

ReportTable LoadTable(const ReportDescriptor& descriptor, ReportType type, int topLevel,
                      std::uint16_t& length, std::uint16_t& buttons, std::uint16_t& values) {
  ReportTable table;
  length = Count16(descriptor.ReportByteLength(type, topLevel));
  table.report.assign(length, 0);
  table.items = BuildReportItems(descriptor, type, topLevel);
  std::size_t buttonCount = 0;
  for (const ReportItem& item : table.items) buttonCount += item.isButton ? 1 : 0;
  buttons = Count16(buttonCount);
  values = Count16(table.items.size() - buttonCount);
  return table;
}

// The capabilities of the collection `wanted` names. When the caller named no collection
// (usage page and usage 0), the first top-level collection of the interface is taken.
std::optional<LinkCapabilityData> LoadCapabilities(const HidConnection& connection,
                                                   const HidInterfaceInfo& wanted) {
  const std::vector<std::uint8_t> raw = connection.ReportDescriptor();
  if (raw.empty()) return std::nullopt;
  const Result<ReportDescriptor> parsed = ParseReportDescriptor(raw);
  if (!parsed) return std::nullopt;
  const ReportDescriptor& d = parsed.value();
  int top = -1;
  if (wanted.usagePage == 0 && wanted.usage == 0) {
    const std::vector<int> tops = d.TopLevelCollections();
    if (!tops.empty()) top = tops.front();
  } else {
    top = d.FindTopLevel(wanted.usagePage, wanted.usage);
  }
  if (top < 0) return std::nullopt;

  LinkCapabilityData loaded;
  HidCapabilities& c = loaded.caps;
  c.usagePage = d.collections[static_cast<std::size_t>(top)].usagePage;
  c.usage = d.collections[static_cast<std::size_t>(top)].usage;
  loaded.input = LoadTable(d, ReportType::kInput, top, c.inputReportByteLength, c.numberInputButtonItems,
                           c.numberInputValueItems);
  loaded.output = LoadTable(d, ReportType::kOutput, top, c.outputReportByteLength, c.numberOutputButtonItems,
                            c.numberOutputValueItems);
  loaded.feature = LoadTable(d, ReportType::kFeature, top, c.featureReportByteLength,
                             c.numberFeatureButtonItems, c.numberFeatureValueItems);
  const HidInterfaceInfo info = connection.Info();
  loaded.attributes.vendorId = info.vendorId;
  loaded.attributes.productId = info.productId;
  return loaded;
}

}  // namespace

HidLink::HidLink(HidBackend& backend) : backend_(backend) {}

HidLink::~HidLink() {
  CloseLink(*this);
}

bool HidLink::IsOpen() const {
  std::lock_guard lock(mutex_);
  return connection_ != nullptr;
}

std::shared_ptr<HidConnection> HidLink::Connection() const {
  std::lock_guard lock(mutex_);
  return connection_;
}

std::shared_ptr<const LinkCapabilityData> HidLink::Snapshot() const {
  std::lock_guard lock(mutex_);
  return loaded_;
}

HidCapabilities HidLink::Capabilities() const {
  const auto loaded = Snapshot();
  return loaded ? loaded->caps : HidCapabilities{};
}

HidAttributes HidLink::Attributes() const {
  const auto loaded = Snapshot();
  return loaded ? loaded->attributes : HidAttributes{};
}

ReportTable HidLink::InputTable() const {
  const auto loaded = Snapshot();
  return loaded ? loaded->input : ReportTable{};
}

ReportTable HidLink::OutputTable() const {
  const auto loaded = Snapshot();
  return loaded ? loaded->output : ReportTable{};
}

ReportTable HidLink::FeatureTable() const {
  const auto loaded = Snapshot();
  return loaded ? loaded->feature : ReportTable{};
}

bool EnumerateHidPaths(HidLink& link) {
  link.pathList.clear();
  link.pathCursor = 0;
  if (link.Backend().Enumerate(link.pathList)) return true;
  link.pathList.clear();
  return false;
}

bool OpenLink(HidLink& link) {
  CloseLink(link);
  std::shared_ptr<HidConnection> connection = link.Backend().Open(link.devicePath, link.options);
  if (!connection) return false;
  std::optional<LinkCapabilityData> loaded = LoadCapabilities(*connection, link.devicePath);
  if (!loaded) {
    connection->Abort();
    return false;
  }
  std::lock_guard lock(link.mutex_);
  link.connection_ = std::move(connection);
  link.loaded_ = std::make_shared<const LinkCapabilityData>(std::move(*loaded));
  return true;
}

void CloseLink(HidLink& link) {
  std::shared_ptr<HidConnection> connection;
  std::shared_ptr<const LinkCapabilityData> loaded;
  {
    std::lock_guard lock(link.mutex_);
    connection = std::move(link.connection_);
    loaded = std::move(link.loaded_);
    link.connection_.reset();
    link.loaded_.reset();
  }
  // Aborting unconditionally (not only while a transfer is pending) closes the window between a
  // transfer taking its reference and starting to wait: the abort is sticky on the connection.
  // A thread still inside Read or Write holds its own reference, so the connection outlives it.
  if (connection) connection->Abort();
}

bool IsPresent(HidBackend& backend, const std::string& path) {
  return !path.empty() && backend.IsPresent(path);
}

bool ReadReport(HidLink& link, std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& bytesRead) {
  bytesRead = 0;
  const std::shared_ptr<HidConnection> connection = link.Connection();
  if (!connection) return false;
  PendingGuard pending(link.readPending_);
  std::size_t n = 0;
  if (connection->Read(buffer, timeoutMs, n) != HidIoStatus::kOk) return false;
  bytesRead = std::min(n, buffer.size());
  return true;
}

bool WriteReport(HidLink& link, std::span<const std::uint8_t> report, std::size_t& bytesWritten) {
  bytesWritten = 0;
  const std::shared_ptr<HidConnection> connection = link.Connection();
  if (!connection) return false;
  PendingGuard pending(link.writePending_);
  std::size_t n = 0;
  if (connection->Write(report, kWriteTimeoutMs, n) != HidIoStatus::kOk) return false;
  bytesWritten = n;
  return n == report.size();
}

}  // namespace korva::device
