// The report descriptor parser and the unpacking of input reports into usages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/ReportDescriptor.h"
#include "device/ReportItems.h"
#include "tests/device/Descriptors.h"
#include "tests/device/RowName.h"

namespace korva::device {
namespace {

using test::PrintTo;

using test::kBootKeyboard;
using test::kBootMouse;
using test::kVendorAndConsumer;
using Bytes = std::vector<std::uint8_t>;

ReportDescriptor Parse(const Bytes& bytes) {
  const Result<ReportDescriptor> result = ParseReportDescriptor(bytes);
  if (!result) {
    ADD_FAILURE() << result.error().ToString();
    return {};
  }
  return result.value();
}

TEST(ReportDescriptor, VendorAndConsumerCollectionsShareOneInterface) {
  const ReportDescriptor d = Parse(kVendorAndConsumer);
  ASSERT_EQ(d.TopLevelCollections().size(), 2u);
  EXPECT_TRUE(d.usesReportIds);
  const int vendor = d.FindTopLevel(0xFF1C, 0x0092);
  const int consumer = d.FindTopLevel(0x000C, 0x0001);
  ASSERT_GE(vendor, 0);
  ASSERT_GE(consumer, 0);
  EXPECT_EQ(d.FindTopLevel(0x0001, 0x0006), -1);
  // Report id byte + 63 data bytes; the consumer report is id + one 16-bit usage.
  EXPECT_EQ(d.ReportByteLength(ReportType::kInput, vendor), 64u);
  EXPECT_EQ(d.ReportByteLength(ReportType::kOutput, vendor), 64u);
  EXPECT_EQ(d.ReportByteLength(ReportType::kFeature, vendor), 0u);
  EXPECT_EQ(d.ReportByteLength(ReportType::kInput, consumer), 3u);
  EXPECT_EQ(d.ReportByteLength(ReportType::kOutput, consumer), 0u);
}

TEST(ReportDescriptor, BootKeyboardWithoutReportIds) {
  const ReportDescriptor d = Parse(kBootKeyboard);
  EXPECT_FALSE(d.usesReportIds);
  ASSERT_EQ(d.collections.size(), 1u);
  EXPECT_EQ(d.ReportByteLength(ReportType::kInput, 0), 9u);   // id byte (0) + 8 bytes
  EXPECT_EQ(d.ReportByteLength(ReportType::kOutput, 0), 2u);  // id byte + 5 LED bits + 3 padding
  ASSERT_EQ(d.fields.size(), 5u);
  const ReportField& keys = d.fields[4];
  EXPECT_EQ(keys.bitOffset, 16u);
  EXPECT_EQ(keys.reportCount, 6u);
  EXPECT_FALSE(keys.IsVariable());
  // "Logical Maximum (255)" written in one byte reads as -1 signed; with minimum 0 it means 255.
  EXPECT_EQ(keys.logicalMax, 255);
  EXPECT_EQ(keys.UsageAt(4), 0x00070004u);
}

TEST(ReportDescriptor, NestedCollectionsBelongToTheirTopLevel) {
  const ReportDescriptor d = Parse(kBootMouse);
  ASSERT_EQ(d.collections.size(), 2u);
  EXPECT_EQ(d.collections[1].parent, 0);
  EXPECT_EQ(d.TopLevelCollections(), std::vector<int>{0});
  for (const ReportField& f : d.fields) {
    EXPECT_EQ(f.topLevel, 0);
    EXPECT_EQ(f.collection, 1);
  }
  // Three usages for three fields; positions past the list repeat the last usage.
  const ReportField& axes = d.fields[2];
  EXPECT_EQ(axes.UsageAt(1), 0x00010031u);
  EXPECT_EQ(axes.UsageAt(7), 0x00010038u);
  EXPECT_EQ(axes.logicalMin, -127);
}

TEST(ReportDescriptor, ExtendedUsagesPushAndPop) {
  const Bytes bytes = {
      0x0B, 0x01, 0x00, 0x0C, 0x00,  // Usage (0x000C:0x0001), 32-bit
      0xA1, 0x01,                    // Collection (Application)
      0x85, 0x07,                    //   Report ID (7)
      0x75, 0x04,                    //   Report Size (4)
      0xA4,                          //   Push
      0x75, 0x10,                    //   Report Size (16)
      0x95, 0x01,                    //   Report Count (1)
      0x09, 0xE9,                    //   Usage (0xE9): no Usage Page yet, so page 0
      0xB1, 0x02,                    //   Feature (Data, Variable)
      0xB4,                          //   Pop: Report Size 4, Report Count 0 again
      0x95, 0x02,                    //   Report Count (2)
      0x81, 0x03,                    //   Input (Constant, Variable)
      0xC0,                          // End Collection
  };
  const ReportDescriptor d = Parse(bytes);
  ASSERT_EQ(d.collections.size(), 1u);
  EXPECT_EQ(d.collections[0].usagePage, 0x000C);
  EXPECT_EQ(d.collections[0].usage, 0x0001);
  ASSERT_EQ(d.fields.size(), 2u);
  EXPECT_EQ(d.fields[0].reportSize, 16u);
  EXPECT_EQ(d.fields[0].UsageAt(0), 0x000000E9u);
  EXPECT_EQ(d.fields[1].reportSize, 4u);
  EXPECT_EQ(d.fields[1].reportCount, 2u);
  EXPECT_EQ(d.ReportByteLength(ReportType::kFeature, 0), 3u);
  EXPECT_EQ(d.ReportByteLength(ReportType::kInput, 0), 2u);
}

struct BadDescriptor {
  const char* name;
  Bytes bytes;
  const char* error;  // part of the message
  std::size_t at;     // byte the message names
};

class ReportDescriptorErrors : public testing::TestWithParam<BadDescriptor> {};

TEST_P(ReportDescriptorErrors, AreRefusedWithWhatAndWhere) {
  const BadDescriptor& row = GetParam();
  const Result<ReportDescriptor> result = ParseReportDescriptor(row.bytes);
  ASSERT_FALSE(result);
  const Error& error = result.error();
  EXPECT_NE(error.message.find(row.error), std::string::npos) << error.message;
  EXPECT_TRUE(error.hasOffset);
  EXPECT_EQ(error.offset, row.at);
  EXPECT_EQ(error.ToString().rfind("at byte " + std::to_string(row.at) + ": ", 0), 0u) << error.ToString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReportDescriptorErrors,
    testing::Values(
        BadDescriptor{"ItemCutShort", {0x05, 0x01, 0x26, 0xFF}, "cut short", 2},
        BadDescriptor{"LongItemCutShort", {0xFE, 0x05, 0x10, 0x01}, "long item is cut short", 0},
        BadDescriptor{"EndWithoutCollection", {0xC0}, "End Collection without Collection", 0},
        BadDescriptor{"CollectionNotClosed", {0x09, 0x01, 0xA1, 0x01, 0x81, 0x02}, "opened at byte 2", 6},
        BadDescriptor{"ReportIdZero", {0x85, 0x00}, "Report ID outside 1..255", 0},
        BadDescriptor{"ReportSizeOver32", {0x75, 0x21}, "Report Size above 32 bits", 0},
        BadDescriptor{"PopWithoutPush", {0x75, 0x08, 0xB4}, "Pop without Push", 2},
        BadDescriptor{"UsageMinimumAlone", {0x19, 0x01, 0x81, 0x02}, "in pairs", 2},
        BadDescriptor{
            "UsageMinimumAboveMaximum", {0x19, 0x05, 0x29, 0x01, 0x81, 0x02}, "above Usage Maximum", 4},
        BadDescriptor{"MainItemBeforeFirstReportId",
                      {0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01, 0x81, 0x02},
                      "before the first Report ID",
                      10},
        BadDescriptor{"ReportLongerThanHidrawTakes",
                      {0x75, 0x08, 0x96, 0x00, 0x10, 0x81, 0x02, 0x95, 0x01, 0x81, 0x02},
                      "longer than 4096 bytes",
                      9},
        BadDescriptor{
            "ReportCountBeyondAnyReport", {0x97, 0x00, 0x00, 0x01, 0x00}, "Report Count too large", 0},
        BadDescriptor{"UnknownMainItem", {0xD1, 0x00}, "unknown main item", 0},
        BadDescriptor{"ReservedItemType", {0x0C}, "reserved item type", 0}),
    [](const testing::TestParamInfo<BadDescriptor>& info) { return std::string(info.param.name); });

// --- report items and unpacking ---

std::vector<ReportItem> ItemsOf(const Bytes& descriptor, std::uint16_t page, std::uint16_t usage) {
  const ReportDescriptor d = Parse(descriptor);
  return BuildReportItems(d, ReportType::kInput, d.FindTopLevel(page, usage));
}

TEST(UnpackInputReport, ConsumerReportGivesItsUsageAsTheFirstUsageOfTheFirstItem) {
  std::vector<ReportItem> items = ItemsOf(kVendorAndConsumer, 0x000C, 0x0001);
  ASSERT_EQ(items.size(), 1u);
  ASSERT_TRUE(items[0].isButton);
  EXPECT_EQ(items[0].usagePage, 0x000C);
  EXPECT_EQ(items[0].reportId, 3u);
  EXPECT_EQ(items[0].maxUsageListLength, 1u);

  for (std::uint16_t usage : {0x0401, 0x0402, 0x0403}) {
    const Bytes report = {0x03, static_cast<std::uint8_t>(usage & 0xFF),
                          static_cast<std::uint8_t>(usage >> 8)};
    ASSERT_TRUE(UnpackInputReport(items, report));
    EXPECT_TRUE(items[0].isSet);
    EXPECT_EQ(items[0].status, kUnpackSuccess);
    EXPECT_EQ(items[0].usageList[0], usage);
  }
  // The release report asserts nothing.
  ASSERT_TRUE(UnpackInputReport(items, Bytes{0x03, 0x00, 0x00}));
  EXPECT_EQ(items[0].usageList[0], 0);
}

TEST(UnpackInputReport, ReportOfAnotherIdLeavesEveryItemUnchanged) {
  // On one hidraw node the consumer reader also sees the vendor collection's answers.
  std::vector<ReportItem> items = ItemsOf(kVendorAndConsumer, 0x000C, 0x0001);
  Bytes answer(64, 0x01);
  answer[0] = 0x04;
  EXPECT_TRUE(UnpackInputReport(items, answer));
  EXPECT_FALSE(items[0].isSet);
  EXPECT_EQ(items[0].usageList[0], 0);
  EXPECT_TRUE(UnpackInputReport(items, Bytes{}));
}

TEST(UnpackInputReport, BootKeyboardBitmapAndArray) {
  std::vector<ReportItem> items = ItemsOf(kBootKeyboard, 0x0001, 0x0006);
  ASSERT_EQ(items.size(), 2u);  // the constant byte gives no item
  // Left shift and right alt held; keys 'a' and 'c' pressed, 0 in the unused slots.
  const Bytes report = {0x00, 0x42, 0x00, 0x04, 0x00, 0x06, 0x00, 0x00, 0x00};
  ASSERT_TRUE(UnpackInputReport(items, report));
  EXPECT_EQ(items[0].usageMin, 0xE0u);
  EXPECT_EQ(items[0].usageMax, 0xE7u);
  EXPECT_EQ(items[0].usageList, (std::vector<std::uint16_t>{0xE1, 0xE6, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(items[1].usageList, (std::vector<std::uint16_t>{0x04, 0x06, 0, 0, 0, 0}));
}

TEST(UnpackInputReport, SignedValuesAndButtons) {
  std::vector<ReportItem> items = ItemsOf(kBootMouse, 0x0001, 0x0002);
  ASSERT_EQ(items.size(), 4u);  // buttons, then X, Y, wheel
  EXPECT_TRUE(items[0].isButton);
  EXPECT_EQ(items[1].usage, 0x30);
  EXPECT_EQ(items[3].usage, 0x38);
  const Bytes report = {0x00, 0x05, 0xFF, 0x10, 0x81};
  ASSERT_TRUE(UnpackInputReport(items, report));
  EXPECT_EQ(items[0].usageList, (std::vector<std::uint16_t>{1, 3, 0}));
  EXPECT_EQ(items[1].value, 0xFFu);
  EXPECT_EQ(items[1].scaledValue, -1);
  EXPECT_EQ(items[2].scaledValue, 16);
  EXPECT_EQ(items[3].scaledValue, -127);
}

TEST(UnpackInputReport, ReportTooShortForAValueFails) {
  std::vector<ReportItem> items = ItemsOf(kBootMouse, 0x0001, 0x0002);
  // Buttons and X fit; Y does not, and the wheel after it is left alone.
  EXPECT_FALSE(UnpackInputReport(items, Bytes{0x00, 0x01, 0x02}));
  EXPECT_TRUE(items[1].isSet);
  EXPECT_EQ(items[1].value, 0x02u);
  EXPECT_EQ(items[2].status, kUnpackReportTooShort);
  EXPECT_FALSE(items[2].isSet);
  EXPECT_FALSE(items[3].isSet);
}

TEST(UnpackInputReport, ValueScaledToThePhysicalRange) {
  const Bytes descriptor = {
      0x05, 0x01, 0x09, 0x04, 0xA1, 0x01,  // Generic Desktop, Joystick, Collection (Application)
      0x09, 0x32,                          //   Usage (Z)
      0x15, 0x00, 0x26, 0xFF, 0x00,        //   Logical 0..255
      0x35, 0x00, 0x46, 0xE8, 0x03,        //   Physical 0..1000
      0x75, 0x08, 0x95, 0x01, 0x81, 0x02,  //   8 bits, 1 field, Input (Data, Variable)
      0xC0,
  };
  std::vector<ReportItem> items = ItemsOf(descriptor, 0x0001, 0x0004);
  ASSERT_EQ(items.size(), 1u);
  ASSERT_TRUE(UnpackInputReport(items, Bytes{0x00, 0xFF}));
  EXPECT_EQ(items[0].scaledValue, 1000);
  ASSERT_TRUE(UnpackInputReport(items, Bytes{0x00, 0x80}));
  EXPECT_EQ(items[0].scaledValue, 501);
}

}  // namespace
}  // namespace korva::device
