// The mouse's light and key profile payloads, and the saves that follow a full read.

#include "mouse/MouseProfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SimMouse.h"

namespace korva::mouse {
namespace {

using test::MouseStores;
using test::SimMouse;

std::vector<std::uint8_t> SelectedPayload(const profile::ProfileStore& store) {
  profile::PayloadResult loaded = store.LoadProfile(store.SelectedIndex());
  EXPECT_TRUE(loaded.result.ok()) << loaded.result.error.ToString();
  return loaded.payload;
}

class MouseProfilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mouse.opened);
    ASSERT_TRUE(stores.ready) << "the mouse profile stores could not be initialised from data/";
  }

  SimMouse mouse;
  MouseStores stores;
};

TEST_F(MouseProfilesTest, FullReadSavesTheLightRecordAndBankZeroToTheSelectedProfiles) {
  mouse.firmware().SetActiveProfile(2);
  MouseImage image;
  image.pointerSpeed = 14;
  image.wheelLines = 6;

  const MouseReadAndSave outcome = ReadMouseAllAndSave(mouse.device, image, *stores.light, *stores.key);

  ASSERT_TRUE(outcome.read.ok());
  ASSERT_TRUE(outcome.saved);
  EXPECT_TRUE(outcome.light.ok()) << outcome.light.error.ToString();
  EXPECT_TRUE(outcome.key.ok()) << outcome.key.error.ToString();

  const std::vector<std::uint8_t> light = SelectedPayload(*stores.light);
  ASSERT_EQ(light.size(), 64u);
  const auto deviceRecord2 = mouse.firmware().Record(2);
  const auto deviceRecord0 = mouse.firmware().Record(0);
  EXPECT_EQ(light[0], 2) << "byte 0: the active profile number";
  EXPECT_TRUE(std::equal(deviceRecord2.begin() + 1, deviceRecord2.begin() + 23, light.begin() + 1))
      << "bytes 1..22: the active profile's settings";
  EXPECT_EQ(light[23], 14);
  EXPECT_EQ(light[24], 6);
  EXPECT_TRUE(std::equal(deviceRecord0.begin() + 25, deviceRecord0.begin() + 56, light.begin() + 25))
      << "bytes 25..55: carried from record slot 0";
  EXPECT_TRUE(std::all_of(light.begin() + 56, light.end(), [](std::uint8_t b) { return b == 0; }));

  const auto bank0 = mouse.firmware().Bank(0);
  EXPECT_EQ(SelectedPayload(*stores.key), std::vector<std::uint8_t>(bank0.begin(), bank0.end()));
}

struct FailedReadRow {
  const char* name;
  bool unplug;  // else the mouse refuses one request
  int atRequest;

  friend void PrintTo(const FailedReadRow& row, std::ostream* out) { *out << row.name; }
};

class MouseFailedReadSaveTest : public MouseProfilesTest,
                                public ::testing::WithParamInterface<FailedReadRow> {};

TEST_P(MouseFailedReadSaveTest, WritesNoProfileFile) {
  const FailedReadRow& row = GetParam();
  mouse.FaultAtRequest(row.atRequest, [this, &row] {
    if (row.unplug) {
      mouse.bus.Unplug(mouse.id);
    } else {
      mouse.bus.AnswerStatus(mouse.id, 0xFF, 1);
    }
  });
  const auto filesBefore = stores.Snapshot();
  MouseImage image;
  const MouseImage before = image;

  const MouseReadAndSave outcome = ReadMouseAllAndSave(mouse.device, image, *stores.light, *stores.key);

  EXPECT_FALSE(outcome.read.ok());
  EXPECT_FALSE(outcome.saved);
  EXPECT_EQ(image, before);
  EXPECT_EQ(stores.Snapshot(), filesBefore);
}

INSTANTIATE_TEST_SUITE_P(Faults, MouseFailedReadSaveTest,
                         ::testing::Values(FailedReadRow{"RefusedBankChunk", false, 20},
                                           FailedReadRow{"RefusedActiveNumber", false, 68},
                                           FailedReadRow{"UnpluggedAtRecord3", true, 46}),
                         [](const ::testing::TestParamInfo<FailedReadRow>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(MouseProfilesTest, ArrivalCarriesTheLoadedDesktopSettingsIntoTheSavedProfile) {
  MouseImage earlier;
  earlier.pointerSpeed = 7;
  earlier.wheelLines = 9;
  ASSERT_TRUE(SaveMouseLightProfile(earlier, *stores.light).ok());

  MouseImage fresh;
  ASSERT_TRUE(LoadMouseLightProfile(fresh, *stores.light, stores.light->SelectedIndex()).ok());
  ASSERT_TRUE(ReadMouseAllAndSave(mouse.device, fresh, *stores.light, *stores.key).saved);

  const std::vector<std::uint8_t> light = SelectedPayload(*stores.light);
  ASSERT_EQ(light.size(), 64u);
  EXPECT_EQ(light[23], 7);
  EXPECT_EQ(light[24], 9);
}

TEST_F(MouseProfilesTest, LoadingAMissingProfileLeavesTheImage) {
  MouseImage image;
  image.pointerSpeed = 4;
  const MouseImage before = image;
  EXPECT_FALSE(LoadMouseLightProfile(image, *stores.light, 3).ok());
  EXPECT_FALSE(LoadMouseKeyProfile(image, *stores.key, -1).ok());
  EXPECT_EQ(image, before);
}

TEST(MouseLightPayloadTest, RoundTripsTheSettingsAndDesktopValues) {
  MouseImage image;
  for (std::size_t i = 1; i < image.active.bytes.size(); ++i)
    image.active.bytes[i] = static_cast<std::uint8_t>(i * 3);
  image.active.bytes[0] = 4;
  image.pointerSpeed = 18;
  image.wheelLines = 2;
  image.records[0].bytes[40] = 0x77;  // carried, not interpreted

  const auto payload = StoreLightRecord(image);
  MouseImage loaded;
  ASSERT_TRUE(ApplyLightPayload(loaded, payload));

  EXPECT_EQ(loaded.active, image.active);
  EXPECT_EQ(loaded.pointerSpeed, 18);
  EXPECT_EQ(loaded.wheelLines, 2);
  EXPECT_EQ(loaded.records[0], image.records[0]);
  EXPECT_EQ(loaded.records[0].bytes[40], 0x77);
}

struct StoredValuesRow {
  const char* name;
  std::uint8_t active, speed, lines;
  int expectedActive, expectedSpeed, expectedLines;

  friend void PrintTo(const StoredValuesRow& row, std::ostream* out) { *out << row.name; }
};

class MouseLightPayloadValuesTest : public ::testing::TestWithParam<StoredValuesRow> {};

TEST_P(MouseLightPayloadValuesTest, ChecksWhatTheFileHolds) {
  const StoredValuesRow& row = GetParam();
  std::vector<std::uint8_t> payload(64, 0);
  payload[0] = row.active;
  payload[23] = row.speed;
  payload[24] = row.lines;
  MouseImage image;
  image.active.bytes[0] = 2;  // the number in use before the load

  ASSERT_TRUE(ApplyLightPayload(image, payload));

  EXPECT_EQ(image.active.ActiveProfile(), row.expectedActive);
  EXPECT_EQ(image.pointerSpeed, row.expectedSpeed);
  EXPECT_EQ(image.wheelLines, row.expectedLines);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MouseLightPayloadValuesTest,
    ::testing::Values(StoredValuesRow{"InRange", 3, 12, 5, 3, 12, 5},
                      StoredValuesRow{"ZeroDesktopValuesReadAsOne", 0, 0, 0, 0, 1, 1},
                      StoredValuesRow{"ActiveNumberOutsideTheProfilesKeepsThePrevious", 5, 10, 3, 2, 10, 3},
                      StoredValuesRow{"ActiveNumber255KeepsThePrevious", 255, 10, 3, 2, 10, 3},
                      StoredValuesRow{"DesktopValuesAboveTheirRanges", 1, 21, 11, 1, 20, 10},
                      StoredValuesRow{"DesktopValuesAtTheTop", 1, 255, 255, 1, 20, 10}),
    [](const ::testing::TestParamInfo<StoredValuesRow>& info) { return std::string(info.param.name); });

TEST(MouseLightPayloadTest, RefusesAPayloadOfAnotherSize) {
  MouseImage image;
  const MouseImage before = image;
  EXPECT_FALSE(ApplyLightPayload(image, std::vector<std::uint8_t>(56, 1)));
  EXPECT_FALSE(ApplyKeyPayload(image, std::vector<std::uint8_t>(511, 1)));
  EXPECT_EQ(image, before);
  EXPECT_TRUE(ApplyKeyPayload(image, std::vector<std::uint8_t>(512, 9)));
  EXPECT_EQ(image.banks[0].bytes[511], 9);
}

}  // namespace
}  // namespace korva::mouse
