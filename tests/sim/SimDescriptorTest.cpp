// The report descriptors of the simulated nodes, walked item by item with the HID 1.11 item rules
// (6.2.2.2 short items), independently of the host's parser.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "sim/SimBus.h"

namespace korva::sim {
namespace {

struct ReportBits {
  unsigned input = 0;
  unsigned output = 0;
};

struct Walk {
  bool wellFormed = true;
  int openCollections = 0;
  std::map<unsigned, ReportBits> reports;          // by report id (0: no report ids)
  std::map<unsigned, std::uint16_t> topUsagePage;  // report id -> usage page in force at its input item
  std::map<unsigned, long> logicalMax;             // report id -> logical maximum at its input item
  std::map<unsigned, long> usageMax;               // report id -> usage maximum at its input item
};

Walk WalkDescriptor(const std::vector<std::uint8_t>& bytes) {
  Walk walk;
  unsigned reportId = 0, reportSize = 0, reportCount = 0;
  std::uint16_t usagePage = 0;
  long logicalMax = 0, usageMax = 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::uint8_t prefix = bytes[i];
    const std::size_t size = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
    if (prefix == 0xFE || i + 1 + size > bytes.size()) {
      walk.wellFormed = false;  // long items are not used by these devices
      return walk;
    }
    unsigned long value = 0;
    for (std::size_t k = 0; k < size; ++k) value |= static_cast<unsigned long>(bytes[i + 1 + k]) << (8 * k);
    switch (prefix & 0xFC) {
      case 0x04:
        usagePage = static_cast<std::uint16_t>(value);
        break;
      case 0x24:
        logicalMax = static_cast<long>(value);
        break;
      case 0x28:
        usageMax = static_cast<long>(value);
        break;
      case 0x74:
        reportSize = static_cast<unsigned>(value);
        break;
      case 0x94:
        reportCount = static_cast<unsigned>(value);
        break;
      case 0x84:
        reportId = static_cast<unsigned>(value);
        break;
      case 0x80:  // Input
        walk.reports[reportId].input += reportSize * reportCount;
        walk.topUsagePage[reportId] = usagePage;
        walk.logicalMax[reportId] = logicalMax;
        walk.usageMax[reportId] = usageMax;
        break;
      case 0x90:
        walk.reports[reportId].output += reportSize * reportCount;
        break;
      case 0xA0:
        ++walk.openCollections;
        break;
      case 0xC0:
        --walk.openCollections;
        break;
      default:
        break;
    }
    i += 1 + size;
  }
  return walk;
}

TEST(SimDescriptors, EveryNodeHasAWellFormedDescriptorMatchingItsCollections) {
  SimBus bus;
  for (SimDeviceKind kind : {SimDeviceKind::kKeyboard, SimDeviceKind::kKeyboardModel1, SimDeviceKind::kMouse,
                             SimDeviceKind::kMousepad, SimDeviceKind::kForeign}) {
    const int id = bus.Plug(kind);
    for (const auto& collection : bus.Collections(id)) {
      auto connection = bus.Open(collection, {});
      ASSERT_NE(connection, nullptr) << collection.path;
      const Walk walk = WalkDescriptor(connection->ReportDescriptor());
      EXPECT_TRUE(walk.wellFormed) << collection.path;
      EXPECT_EQ(walk.openCollections, 0) << collection.path;
      if (collection.usagePage == kVendorUsagePage) {
        ASSERT_TRUE(walk.reports.contains(kVendorReportId));
        EXPECT_EQ(walk.reports.at(kVendorReportId).input, 63u * 8u);
        EXPECT_EQ(walk.reports.at(kVendorReportId).output, 63u * 8u);
        EXPECT_EQ(walk.topUsagePage.at(kVendorReportId), kVendorUsagePage);
      }
      if (collection.usagePage == kConsumerUsagePage) {
        ASSERT_TRUE(walk.reports.contains(kConsumerReportId));
        EXPECT_EQ(walk.reports.at(kConsumerReportId).input, 16u);
        EXPECT_EQ(walk.topUsagePage.at(kConsumerReportId), kConsumerUsagePage);
        EXPECT_GE(walk.logicalMax.at(kConsumerReportId), 0x0403);
        EXPECT_GE(walk.usageMax.at(kConsumerReportId), 0x0403);
      }
    }
  }
}

}  // namespace
}  // namespace korva::sim
