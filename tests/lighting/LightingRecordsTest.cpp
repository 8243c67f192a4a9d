#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "lighting/LightingRecords.h"

namespace korva::lighting {
namespace {

TEST(LightingSettingsTest, BytesAreModeBrightnessSpeedDirectionMulticolourRedGreenBlue) {
  const std::array<std::uint8_t, 8> bytes = {3, 14, 7, 1, 1, 0x12, 0x34, 0x56};
  const LightingSettings record = LightingSettings::FromBytes(bytes);
  EXPECT_EQ(record.mode, 3);
  EXPECT_EQ(record.brightness, 14);
  EXPECT_EQ(record.speed, 7);
  EXPECT_EQ(record.direction, 1);
  EXPECT_EQ(record.multicolour, 1);
  EXPECT_EQ(record.red, 0x12);
  EXPECT_EQ(record.green, 0x34);
  EXPECT_EQ(record.blue, 0x56);
  EXPECT_EQ(record.ToBytes(), bytes);
}

TEST(LightingSettingsTest, CopyToWritesOnlyTheEightBytesOfTheRecordInsideAnImage) {
  // The mouse keeps its record at bytes 1..8 of its 23-byte active settings.
  std::array<std::uint8_t, 23> image{};
  image.fill(0xEE);
  const LightingSettings record{1, 2, 3, 4, 5, 6, 7, 8};
  record.CopyTo(std::span<std::uint8_t, 8>(image.data() + 1, 8));
  EXPECT_EQ(image[0], 0xEE);
  for (std::uint8_t i = 0; i < 8; ++i) EXPECT_EQ(image[1u + i], i + 1) << "byte " << int(i + 1);
  EXPECT_EQ(image[9], 0xEE);
  EXPECT_EQ(LightingSettings::FromBytes(std::span<const std::uint8_t, 8>(image.data() + 1, 8)), record);
}

TEST(LightingRecordsTest, EachDeviceAndTheSynchronisedRecordAreKeptApart) {
  LightingRecords records;
  for (int i = 0; i < 4; ++i)
    records.Set(*DeviceKindFromIndex(i), LightingSettings{static_cast<std::uint8_t>(i + 1)});
  records.SetSynchronised(LightingSettings{9});
  for (int i = 0; i < 4; ++i) EXPECT_EQ(records.Get(*DeviceKindFromIndex(i)).mode, i + 1);
  EXPECT_EQ(records.GetSynchronised().mode, 9);
  const LightingRecords::Snapshot all = records.Read();
  EXPECT_EQ(all.devices[2].mode, 3);
  EXPECT_EQ(all.synchronised.mode, 9);
}

TEST(LightingRecordsTest, ANumberThatIsNoDeviceHasNoRecord) {
  EXPECT_FALSE(DeviceKindFromIndex(-1));
  EXPECT_FALSE(DeviceKindFromIndex(4));
  EXPECT_EQ(DeviceKindFromIndex(3), DeviceKind::kHeadset);

  LightingRecords records;
  records.Set(static_cast<DeviceKind>(7), LightingSettings{5, 5, 5});
  EXPECT_EQ(records.Get(static_cast<DeviceKind>(7)), LightingSettings{});
  const LightingRecords::Snapshot all = records.Read();
  for (const LightingSettings& r : all.devices) EXPECT_EQ(r, LightingSettings{});
}

TEST(LightingRecordsTest, AReaderSeesAWriteWholeOrNotAtAll) {
  LightingRecords records;
  LightingRecords::Snapshot before;
  for (std::size_t i = 0; i < 4; ++i) before.devices[i] = LightingSettings{static_cast<std::uint8_t>(i)};
  LightingRecords::Snapshot after;
  after.devices.fill(LightingSettings{9, 9, 9, 9, 9, 9, 9, 9});
  after.synchronised = after.devices[0];
  records.Write(before);

  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done.load()) {
      const auto seen = records.Read();
      const bool whole = (seen.devices == before.devices && seen.synchronised == before.synchronised) ||
                         (seen.devices == after.devices && seen.synchronised == after.synchronised);
      if (!whole) torn.fetch_add(1);
    }
  });
  for (int i = 0; i < 2000; ++i) records.Write(i % 2 ? after : before);
  done = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace korva::lighting
