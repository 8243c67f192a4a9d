// The mousepad in the session: its arrival, reload and flush against the simulated pad, and what a
// pad that fails or refuses leaves in the image and the light profile library.

#include "session/MousepadController.h"

#include <gtest/gtest.h>

#include "SessionFixture.h"
#include "device/CommandReport.h"
#include "session/SessionTexts.h"
#include "sim/SimFirmware.h"

namespace korva::session {
namespace {

class MousepadControllerTest : public test::SessionFixture {
 protected:
  void SetUp() override {
    padId = Attach(sim::SimDeviceKind::kMousepad, DeviceKind::kMousepad);
    ASSERT_GE(padId, 0);
    auto record = bus.Firmware(padId).Record(0);
    record[1] = 4;
    record[15] = 0x6B;
    bus.Firmware(padId).SetRecord(0, record);
  }

  MousepadController& Pad() { return session->Mousepad(); }
  std::vector<std::uint8_t> StoredPadRecord() {
    return Pad().LightStore().LoadProfile(Pad().LightStore().SelectedIndex()).payload;
  }

  int padId = -1;
};

TEST_F(MousepadControllerTest, TheArrivalReadIsTakenAndSavedIntoTheSelectedLightProfile) {
  device::Arrival arrival;
  arrival.kind = DeviceKind::kMousepad;
  Watchers().ReadDeviceOnArrival(arrival);
  Watchers().PostArrival(arrival);

  EXPECT_EQ(Pad().Lighting().mode, 4);
  EXPECT_EQ(session->PublishedLighting().Get(DeviceKind::kMousepad).mode, 4);
  const std::vector<std::uint8_t> stored = StoredPadRecord();
  ASSERT_EQ(stored.size(), 64u);
  EXPECT_EQ(stored[1], 4);
  EXPECT_EQ(stored[15], 0x6B) << "bytes 9..20 are kept in the profile";
}

TEST_F(MousepadControllerTest, AReadWhoseCommandsFailChangesNeitherTheImageNorTheProfile) {
  session->ReadAll(DeviceKind::kMousepad);
  const mousepad::MousepadImage before = Pad().Image();
  const std::vector<std::uint8_t> storedBefore = StoredPadRecord();
  auto record = bus.Firmware(padId).Record(0);
  record[1] = 2;
  bus.Firmware(padId).SetRecord(0, record);
  bus.AnswerStatus(padId, 0xFF, 3);  // begin, information, first record

  session->ReadAll(DeviceKind::kMousepad);
  EXPECT_EQ(Pad().Image(), before);
  EXPECT_EQ(StoredPadRecord(), storedBefore);
  EXPECT_FALSE(bus.Firmware(padId).TransferOpen());

  session->ReloadProfile(DeviceKind::kMousepad);  // its first read refused too
  bus.AnswerStatus(padId, 0xFF, 1);
  session->ReloadProfile(DeviceKind::kMousepad);
  EXPECT_EQ(Pad().Image(), before);
  EXPECT_EQ(StoredPadRecord(), storedBefore);
}

TEST_F(MousepadControllerTest, AFlushThePadRefusesIsRetriedAndReportedOnce) {
  session->ReadAll(DeviceKind::kMousepad);
  lighting::LightingSettings light = Pad().Lighting();
  light.red = 0x11;
  Pad().SetLighting(light);
  Pad().LightingEdited();
  ASSERT_TRUE(session->DeferredWritePending(DeviceKind::kMousepad));
  bus.AnswerStatus(padId, 0xFF, 1000);

  for (int tick = 0; tick < 40 && session->DeferredWritePending(DeviceKind::kMousepad); ++tick)
    session->FlushDeferredWrites();
  EXPECT_FALSE(session->DeferredWritePending(DeviceKind::kMousepad));
  EXPECT_EQ(host.shown, std::vector<std::string>{std::string(kTextWriteDropped)});
  EXPECT_EQ(StoredPadRecord()[6], 0x11) << "the change stays in the profile";

  // A pad that is gone ends the wait without a message.
  Pad().LightingEdited();
  session->Device(DeviceKind::kMousepad).connected = false;
  session->FlushDeferredWrites();
  EXPECT_FALSE(session->DeferredWritePending(DeviceKind::kMousepad));
  EXPECT_EQ(host.shown.size(), 1u);
}

TEST_F(MousepadControllerTest, AFlushWritesTheActiveSettingsWithBytesNineToTwentyUnchanged) {
  session->ReadAll(DeviceKind::kMousepad);
  lighting::LightingSettings light = Pad().Lighting();
  light.mode = 7;
  Pad().SetLighting(light);
  Pad().LightingEdited();
  bus.ClearRequests(padId);
  session->FlushDeferredWrites();
  EXPECT_FALSE(session->DeferredWritePending(DeviceKind::kMousepad));
  EXPECT_EQ(bus.Firmware(padId).Record(0)[1], 7);
  EXPECT_EQ(bus.Firmware(padId).Record(0)[15], 0x6B);
}

}  // namespace
}  // namespace korva::session
