#pragma once
// A HID report descriptor parser (Device Class Definition for HID 1.11, section 6.2.2): the
// collections, and every Input, Output and Feature main item with its report id, bit position,
// size, count, logical and physical range and usages. HidLink builds its report-item tables from
// this, in place of the capability queries an OS HID parser would answer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/Result.h"

namespace korva::device {

enum class ReportType : std::uint8_t { kInput, kOutput, kFeature };

// One usage (first == last) or a Usage Minimum..Maximum range. Usages are extended: the usage
// page in the upper 16 bits, the usage id in the lower 16 (HID 1.11, 6.2.2.8: a main item joins
// each 16-bit usage with the Usage Page in force when the main item is read).
struct UsageSpan {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
};

inline constexpr std::uint16_t UsagePageOf(std::uint32_t extendedUsage) {
  return static_cast<std::uint16_t>(extendedUsage >> 16);
}
inline constexpr std::uint16_t UsageIdOf(std::uint32_t extendedUsage) {
  return static_cast<std::uint16_t>(extendedUsage & 0xFFFFu);
}

// The usage of position `index` in declaration order of `usages`; positions past the last usage
// get the last one (HID 1.11, 6.2.2.8: the last usage applies to the remaining fields); 0 when
// there are none.
std::uint32_t UsageAt(std::span<const UsageSpan> usages, std::uint32_t index);

// Main item data bits (HID 1.11, 6.2.2.5).
inline constexpr std::uint32_t kMainConstant = 0x01;
inline constexpr std::uint32_t kMainVariable = 0x02;

// One Input, Output or Feature main item: reportCount fields of reportSize bits each.
struct ReportField {
  ReportType type = ReportType::kInput;
  std::uint8_t reportId = 0;    // 0 while the descriptor declares no Report ID
  std::uint32_t bitOffset = 0;  // of the first field, counted from the byte after the report id
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint32_t flags = 0;
  std::int32_t logicalMin = 0;
  std::int32_t logicalMax = 0;
  std::int32_t physicalMin = 0;
  std::int32_t physicalMax = 0;
  std::vector<UsageSpan> usages;  // in declaration order
  int collection = -1;            // innermost collection holding the item
  int topLevel = -1;              // its top-level collection

  bool IsConstant() const { return (flags & kMainConstant) != 0; }
  bool IsVariable() const { return (flags & kMainVariable) != 0; }
  // Number of usages the spans name (at least 1: an item without usages has usage 0).
  std::uint32_t UsageCount() const;
  std::uint32_t UsageAt(std::uint32_t index) const { return device::UsageAt(usages, index); }
};

struct HidCollection {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::uint8_t kind = 0;  // 0x00 physical, 0x01 application, 0x02 logical, ...
  int parent = -1;        // -1 for a top-level collection
};

struct ReportDescriptor {
  std::vector<HidCollection> collections;
  std::vector<ReportField> fields;
  bool usesReportIds = false;

  std::vector<int> TopLevelCollections() const;
  // Index of the top-level collection with this usage page and usage, or -1.
  int FindTopLevel(std::uint16_t usagePage, std::uint16_t usage) const;
  // Byte length of the longest report of `type` that belongs to top-level collection `topLevel`,
  // the report id byte included (it is always counted, 0 when the descriptor uses no ids);
  // 0 when the collection has no report of that type.
  std::size_t ReportByteLength(ReportType type, int topLevel) const;
  // Total bits of the report `reportId` of `type`, over all its main items.
  std::uint32_t ReportBits(ReportType type, std::uint8_t reportId) const;
};

// Largest report we accept: hidraw hands over at most 4096 bytes per report.
inline constexpr std::size_t kMaxReportBytes = 4096;

// The descriptor, or an error that names the byte where parsing stopped ("at byte N: what is wrong").
Result<ReportDescriptor> ParseReportDescriptor(std::span<const std::uint8_t> bytes);

}  // namespace korva::device
