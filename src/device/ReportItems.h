#pragma once
// The report-item tables of an open link and the unpacking of an input report into usages.
// Button items come first (one per array or one-bit main item), then value items (one per usage
// of the other variable main items); constant (padding) items give none.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "device/ReportDescriptor.h"

namespace korva::device {

// Unpack status of an item. The success value is the one the HID parser of the original platform
// uses, so a trace of the item table reads the same.
inline constexpr std::uint32_t kUnpackSuccess = 0x00110000;
inline constexpr std::uint32_t kUnpackReportTooShort = 0xC0110003;

struct ReportItem {
  bool isButton = false;
  std::uint16_t usagePage = 0;
  std::uint32_t status = kUnpackSuccess;  // of the last unpack
  std::uint32_t reportId = 0;
  bool isSet = false;  // an input report with this report id was unpacked into the item

  // Button items: the usages in [usageMin, usageMax] of usagePage that the last report asserted,
  // in report order, followed by zeros up to maxUsageListLength.
  std::uint32_t usageMin = 0;
  std::uint32_t usageMax = 0;
  std::uint32_t maxUsageListLength = 0;
  std::vector<std::uint16_t> usageList;

  // Value items: the raw field and its value scaled to the physical range (the logical value
  // when no physical range is declared).
  std::uint16_t usage = 0;
  std::uint32_t value = 0;
  std::int32_t scaledValue = 0;

  // Where the item's fields lie in the report (bits counted from the byte after the report id).
  std::uint32_t bitOffset = 0;
  std::uint32_t bitSize = 0;
  std::uint32_t fieldCount = 0;
  bool isArray = false;
  std::int32_t logicalMin = 0;
  std::int32_t logicalMax = 0;
  std::int32_t physicalMin = 0;
  std::int32_t physicalMax = 0;
  std::vector<UsageSpan> usages;  // button items: the usages their fields name
};

// Items of the reports of `type` that belong to top-level collection `topLevel`.
std::vector<ReportItem> BuildReportItems(const ReportDescriptor& descriptor, ReportType type, int topLevel);

// For every item whose report id equals report[0], unpacks its usages or value and marks it set.
// Items of other report ids are left unchanged. False when a value item does not fit in the
// report (the remaining items are then left as they were).
bool UnpackInputReport(std::span<ReportItem> items, std::span<const std::uint8_t> report);

}  // namespace korva::device
