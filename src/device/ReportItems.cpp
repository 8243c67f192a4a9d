#include "device/ReportItems.h"

#include <algorithm>

namespace korva::device {
namespace {

// HID counts a field as a button when it is an array (it holds the index of an asserted usage)
// or a single bit; every other variable field holds a value.
bool IsButtonField(const ReportField& f) {
  return !f.IsVariable() || f.reportSize == 1;
}

void CopyLocation(const ReportField& f, ReportItem& item) {
  item.reportId = f.reportId;
  item.bitSize = f.reportSize;
  item.logicalMin = f.logicalMin;
  item.logicalMax = f.logicalMax;
  item.physicalMin = f.physicalMin;
  item.physicalMax = f.physicalMax;
}

ReportItem MakeButtonItem(const ReportField& f) {
  ReportItem item;
  item.isButton = true;
  CopyLocation(f, item);
  item.bitOffset = f.bitOffset;
  item.fieldCount = f.reportCount;
  item.isArray = !f.IsVariable();
  item.usages = f.usages;
  const std::uint32_t first = f.UsageAt(0);
  item.usagePage = UsagePageOf(first);
  item.usageMin = UsageIdOf(first);
  item.usageMax = UsageIdOf(first);
  for (const UsageSpan& span : f.usages) {
    if (UsagePageOf(span.first) != item.usagePage) continue;
    item.usageMin = std::min<std::uint32_t>(item.usageMin, UsageIdOf(span.first));
    item.usageMax = std::max<std::uint32_t>(item.usageMax, UsageIdOf(span.last));
  }
  // An array of n fields asserts at most n usages at once; a bitmap at most one per bit.
  item.maxUsageListLength = f.reportCount;
  item.usageList.assign(item.maxUsageListLength, 0);
  return item;
}

// One value item per declared usage, each reading the field of the same position; when there are
// more fields than usages, the last item stands for the first of the remaining fields.
void AddValueItems(const ReportField& f, std::vector<ReportItem>& out) {
  const std::uint32_t count = std::min(f.reportCount, f.UsageCount());
  for (std::uint32_t i = 0; i < count; ++i) {
    ReportItem item;
    CopyLocation(f, item);
    const std::uint32_t usage = f.UsageAt(i);
    item.usagePage = UsagePageOf(usage);
    item.usage = UsageIdOf(usage);
    item.bitOffset = f.bitOffset + i * f.reportSize;
    item.fieldCount = 1;
    out.push_back(std::move(item));
  }
}

// Reads `size` bits (1..32) at `bit` of the data after the report id byte, least significant first.
bool ExtractBits(std::span<const std::uint8_t> report, std::uint32_t bit, std::uint32_t size,
                 std::uint32_t& out) {
  const std::uint64_t end = static_cast<std::uint64_t>(bit) + size;
  if (size == 0 || size > 32 || (end + 7) / 8 + 1 > report.size()) return false;
  std::uint64_t value = 0;
  for (std::uint32_t i = 0; i < size; ++i) {
    const std::uint32_t b = bit + i;
    const std::uint8_t byte = report[1 + b / 8];
    value |= static_cast<std::uint64_t>((byte >> (b % 8)) & 1u) << i;
  }
  out = static_cast<std::uint32_t>(value);
  return true;
}

// The field read as a logical value: sign-extended when the logical range reaches below zero.
std::int64_t LogicalValue(std::uint32_t raw, std::uint32_t size, std::int32_t logicalMin) {
  if (logicalMin >= 0) return raw;
  if (size >= 32) return static_cast<std::int32_t>(raw);
  const std::uint32_t sign = 1u << (size - 1);
  return (raw & sign) != 0 ? static_cast<std::int64_t>(raw) - (std::int64_t{1} << size) : std::int64_t{raw};
}

bool UnpackButtons(ReportItem& item, std::span<const std::uint8_t> report) {
  std::vector<std::uint16_t> found;
  for (std::uint32_t i = 0; i < item.fieldCount; ++i) {
    std::uint32_t raw = 0;
    if (!ExtractBits(report, item.bitOffset + i * item.bitSize, item.bitSize, raw)) return false;
    std::uint32_t usage = 0;
    if (item.isArray) {
      const std::int64_t v = LogicalValue(raw, item.bitSize, item.logicalMin);
      if (v < item.logicalMin || v > item.logicalMax) continue;  // out of range: no control asserted
      usage = UsageAt(item.usages, static_cast<std::uint32_t>(v - item.logicalMin));
    } else {
      if (raw == 0) continue;
      usage = UsageAt(item.usages, i);
    }
    const std::uint16_t id = UsageIdOf(usage);
    // Usage 0 is "undefined" on every page; it stands for "nothing pressed" in an array.
    if (id == 0 || UsagePageOf(usage) != item.usagePage || id < item.usageMin || id > item.usageMax) continue;
    if (found.size() < item.maxUsageListLength) found.push_back(id);
  }
  std::fill(item.usageList.begin(), item.usageList.end(), 0);
  std::copy(found.begin(), found.end(), item.usageList.begin());
  return true;
}

std::int32_t Scale(const ReportItem& item, std::int64_t logical) {
  if (logical < item.logicalMin || logical > item.logicalMax) return 0;
  if (item.physicalMin == 0 && item.physicalMax == 0) return static_cast<std::int32_t>(logical);
  const std::int64_t logicalSpan = static_cast<std::int64_t>(item.logicalMax) - item.logicalMin;
  if (logicalSpan == 0) return item.physicalMin;
  const std::int64_t physicalSpan = static_cast<std::int64_t>(item.physicalMax) - item.physicalMin;
  return static_cast<std::int32_t>(item.physicalMin +
                                   (logical - item.logicalMin) * physicalSpan / logicalSpan);
}

}  // namespace

std::vector<ReportItem> BuildReportItems(const ReportDescriptor& descriptor, ReportType type, int topLevel) {
  std::vector<ReportItem> buttons;
  std::vector<ReportItem> values;
  for (const ReportField& f : descriptor.fields) {
    if (f.type != type || f.topLevel != topLevel || f.IsConstant() || f.reportCount == 0 ||
        f.reportSize == 0) {
      continue;
    }
    if (IsButtonField(f)) {
      buttons.push_back(MakeButtonItem(f));
    } else {
      AddValueItems(f, values);
    }
  }
  buttons.insert(buttons.end(), std::make_move_iterator(values.begin()),
                 std::make_move_iterator(values.end()));
  return buttons;
}

bool UnpackInputReport(std::span<ReportItem> items, std::span<const std::uint8_t> report) {
  if (report.empty()) return true;
  for (ReportItem& item : items) {
    if (item.reportId != report[0]) continue;
    if (item.isButton) {
      item.status = UnpackButtons(item, report) ? kUnpackSuccess : kUnpackReportTooShort;
      if (item.status != kUnpackSuccess) std::fill(item.usageList.begin(), item.usageList.end(), 0);
    } else {
      std::uint32_t raw = 0;
      if (!ExtractBits(report, item.bitOffset, item.bitSize, raw)) {
        item.status = kUnpackReportTooShort;
        return false;
      }
      item.status = kUnpackSuccess;
      item.value = raw;
      item.scaledValue = Scale(item, LogicalValue(raw, item.bitSize, item.logicalMin));
    }
    item.isSet = true;
  }
  return true;
}

}  // namespace korva::device
