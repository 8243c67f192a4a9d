// The device session over the simulated bus and headset chip: what it answers the watchers (stored
// selections, headset presence), what an arrival and the reload messages do to the mouse's image
// and profile files, the lighting records kept in the images, and "Restore all defaults".

#include "session/DeviceSession.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "headset/AudioLibrary.h"
#include "mouse/MouseProfiles.h"
#include "profile/IniFile.h"
#include "keyboard/KeyboardTransfer.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "session/SessionTexts.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "tests/profile/TempFolder.h"
#include "tests/session/SessionFixture.h"

namespace korva::session {
namespace {

using device::StoredSelection;

class DeviceSessionTest : public test::SessionFixture {};

// --- what the watchers are told ---------------------------------------------------------------

TEST_F(DeviceSessionTest, StoredSelectionsComeFromEachDevicesIndexAndAnUnknownOneReadsZero) {
  // The mouse's libraries exist after Initialise: one profile each, selected.
  EXPECT_EQ(Watchers().ReadStoredSelection(DeviceKind::kMouse, StoredSelection::kLight), 0);
  ASSERT_TRUE(session->Mouse().LightStore().AddProfile().result.ok());
  ASSERT_TRUE(session->Mouse().LightStore().SetSelectedIndex(1).ok());
  EXPECT_EQ(Watchers().ReadStoredSelection(DeviceKind::kMouse, StoredSelection::kLight), 1);
  EXPECT_EQ(Watchers().ReadStoredSelection(DeviceKind::kMouse, StoredSelection::kKey), 0);

  // A select that names no profile of the list reads 0, as the combo shows it.
  ASSERT_TRUE(profile::WriteIniInt(folders.GetDeviceFolder(DeviceKind::kKeyboard) / "kbProfile.ini",
                                   "PROFILEDENGSELECT", "select", 4));
  EXPECT_EQ(Watchers().ReadStoredSelection(DeviceKind::kKeyboard, StoredSelection::kLight), 0);
  // No index at all: 0.
  EXPECT_EQ(Watchers().ReadStoredSelection(DeviceKind::kMousepad, StoredSelection::kLight), 0);
  // Past the end of a list, or negative: the first profile, as the saves take it.
  const std::filesystem::path mouseIndex = folders.GetDeviceFolder(DeviceKind::kMouse) / "msProfile.ini";
  ASSERT_TRUE(profile::WriteIniInt(mouseIndex, "PROFILEDENGSELECT", "select", 5));
  ASSERT_TRUE(profile::WriteIniInt(mouseIndex, "PROFILESELECT", "select", -1));
  EXPECT_EQ(Watchers().ReadStoredSelection(DeviceKind::kMouse, StoredSelection::kLight), 0);
  EXPECT_EQ(Watchers().ReadStoredSelection(DeviceKind::kMouse, StoredSelection::kKey), 0);

  // The headset's profiles have an index of their own.
  ASSERT_TRUE(profile::WriteIniInt(folders.GetDeviceFolder(DeviceKind::kHeadset) / "hsProfile.ini",
                                   "PROFILESELECT", "select", 4));
  EXPECT_EQ(Watchers().ReadStoredSelection(DeviceKind::kHeadset, StoredSelection::kKey), 4);
}

TEST_F(DeviceSessionTest, OnlyThePresentHeadsetOfItsOwnIdentityThroughABoundLibraryIsPresent) {
  EXPECT_FALSE(Watchers().HeadsetPresent());
  chip->SetPresent(true);
  EXPECT_TRUE(Watchers().HeadsetPresent());
  chip->SetIdentity(0x0C76, 0x1631);
  EXPECT_FALSE(Watchers().HeadsetPresent()) << "another product of the same maker";
  chip->SetIdentity(device::kHeadsetVendorId, device::kHeadsetProductId);
  audio.Release();
  EXPECT_FALSE(Watchers().HeadsetPresent()) << "an unbound library finds nothing";
}

TEST_F(DeviceSessionTest, AMouseArrivalReadsIntoAFreshImageThatTheUiThreadThenTakesOver) {
  ASSERT_TRUE(AttachMouse());
  bus.Firmware(mouseId).SetActiveProfile(2);
  device::Arrival arrival;
  arrival.kind = DeviceKind::kMouse;
  arrival.profileDengSelect = 0;

  Watchers().ReadDeviceOnArrival(arrival);
  EXPECT_EQ(session->Mouse().Model().image().active.ActiveProfile(), 0) << "the UI thread's image is untouched";
  EXPECT_FALSE(session->InEffect(DeviceKind::kMouse));
  Watchers().PostArrival(arrival);

  EXPECT_EQ(session->Mouse().Model().image().active.ActiveProfile(), 2);
  EXPECT_TRUE(session->InEffect(DeviceKind::kMouse));
  EXPECT_EQ(host.events, (std::vector<std::string>{"arrived mouse"}));
  Watchers().PostRemoval(DeviceKind::kMouse);
  EXPECT_FALSE(session->InEffect(DeviceKind::kMouse));
}

TEST_F(DeviceSessionTest, TheWatchersReportsReachTheWindowInOrder) {
  Watchers().PostShowTab(DeviceKind::kMousepad);
  Watchers().PostSameModeVisible(DeviceKind::kMousepad, true);
  Watchers().PostRemoval(DeviceKind::kMousepad);
  Watchers().TriggerClickReaction();
  Watchers().PostWake();
  EXPECT_EQ(host.events, (std::vector<std::string>{"tab mousepad", "same mode mousepad", "removed mousepad", "click"}));
  EXPECT_EQ(host.messages, std::vector<WindowMessage>{WindowMessage::WakeMessage});
}

// --- the mouse's reads ------------------------------------------------------------------------

// The device's state replaces the stored profiles on every full read, not only on arrival; a read
// that fails changes neither the image nor the files.
TEST_F(DeviceSessionTest, AReloadSavesTheMousesStateIntoItsProfilesUnlessTheReadFails) {
  ASSERT_TRUE(AttachMouse());
  auto record = bus.Firmware(mouseId).Record(0);
  record[mouse::MouseActiveSettings::kStageOffsets[0]] = 61;
  bus.Firmware(mouseId).SetRecord(0, record);

  session->ReadAll(DeviceKind::kMouse);

  EXPECT_EQ(session->Mouse().Model().image().active.Stage(1), 61);
  std::vector<std::uint8_t> stored = StoredLightRecord();
  ASSERT_EQ(stored.size(), 64u);
  EXPECT_EQ(stored[mouse::MouseActiveSettings::kStageOffsets[0]], 61);
  EXPECT_EQ(host.events, (std::vector<std::string>{"changed mouse"}));

  record[mouse::MouseActiveSettings::kStageOffsets[0]] = 62;
  bus.Firmware(mouseId).SetRecord(0, record);
  bus.DropAnswers(mouseId, 1000);
  session->ReadAll(DeviceKind::kMouse);
  EXPECT_EQ(session->Mouse().Model().image().active.Stage(1), 61);
  EXPECT_EQ(StoredLightRecord(), stored);
}

// --- the keyboard ------------------------------------------------------------------------------

TEST_F(DeviceSessionTest, AKeyboardArrivalTakesItsImageAndItsKeyProfileFollowsTheDevice) {
  const int id = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(id, 0);
  auto bank = bus.Firmware(id).Bank(0);
  bank[0] = 0x30;  // Esc made a media key on the keyboard itself
  bus.Firmware(id).SetBank(0, bank);
  device::Arrival arrival;
  arrival.kind = DeviceKind::kKeyboard;
  arrival.keyboardModel = 1;

  Watchers().ReadDeviceOnArrival(arrival);
  Watchers().PostArrival(arrival);

  EXPECT_EQ(session->KeyboardModel(), 1);
  const keyboard::KeyboardImage& image = session->Keyboard().Image();
  EXPECT_EQ(image.KeyCount(), 126u);
  EXPECT_EQ(image.banks[0][0], 0x30);
  KeyboardController& keyboard = session->Keyboard();
  const profile::PayloadResult stored = keyboard.KeyStore().LoadProfile(keyboard.KeyStore().SelectedIndex());
  ASSERT_TRUE(stored.result.ok());
  EXPECT_EQ(stored.payload[0], 0x30) << "the key profile was saved from the read";
  EXPECT_TRUE(host.shown.empty());
}

// WM_KB_DEFAULTS: the keyboard's factory key block becomes "kbkeydefault.pro" in the keyboard's
// data folder (never the read-only program folder), and the key library's restore reads it there.
TEST_F(DeviceSessionTest, TheKeyboardsFactoryBlockBecomesTheKeyLibrarysDefault) {
  const int id = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(id, 0);
  session->ReadAll(DeviceKind::kKeyboard);
  auto block = bus.Firmware(id).DefaultBlock();
  block[0] = 0x14;
  bus.Firmware(id).SetDefaultBlock(block);

  session->ReadKeyboardDefaults();

  const std::filesystem::path file = folders.GetDeviceFolder(DeviceKind::kKeyboard) / "kbkeydefault.pro";
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  EXPECT_EQ(session->Keyboard().KeyStore().DefaultFilePath(), file);
  const profile::PayloadResult defaults = session->Keyboard().KeyStore().ReadDefaultPayload();
  ASSERT_TRUE(defaults.result.ok());
  EXPECT_EQ(defaults.payload[0], 0x14);
  EXPECT_EQ(session->Keyboard().Image().defaultBlock[0], 0x14);
}

TEST_F(DeviceSessionTest, AKeyboardWithTooManyKeysIsRefusedWithItsOwnMessage) {
  const int id = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(id, 0);
  auto info = bus.Firmware(id).Info();
  info[5] = 171;
  bus.Firmware(id).SetInfo(info);
  device::Arrival arrival;
  arrival.kind = DeviceKind::kKeyboard;
  Watchers().ReadDeviceOnArrival(arrival);
  Watchers().PostArrival(arrival);
  EXPECT_EQ(host.shown, std::vector<std::string>{std::string(keyboard::kTextTooManyKeys)});
  EXPECT_EQ(session->Keyboard().Image(), keyboard::KeyboardImage{});
  EXPECT_FALSE(session->InEffect(DeviceKind::kKeyboard));
}

TEST_F(DeviceSessionTest, AKeyboardUploadThatIsNotTakenIsReported) {
  const int id = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
  ASSERT_GE(id, 0);
  session->ReadAll(DeviceKind::kKeyboard);
  session->UploadKeyboard();
  EXPECT_TRUE(host.shown.empty());
  bus.AnswerStatus(id, 0xFF, 1000);
  session->UploadKeyboard();
  EXPECT_EQ(host.shown, std::vector<std::string>{std::string(kTextUploadFailed)});
  EXPECT_FALSE(bus.Firmware(id).TransferOpen());
}

// --- lighting records -------------------------------------------------------------------------

TEST_F(DeviceSessionTest, LightingRecordsLiveInTheImagesAndAreHandedToTheThreadsWhole) {
  lighting::LightingSnapshot records;
  for (DeviceKind kind : kAllDeviceKinds)
    records.devices[IndexOf(kind)] = {static_cast<std::uint8_t>(IndexOf(kind) + 1), 7, 3, 1, 0, 10, 20, 30};
  records.synchronised = {9, 9, 9, 9, 9, 9, 9, 9};

  session->Write(records);

  const auto& active = session->Mouse().Model().image().active.bytes;
  EXPECT_EQ(active[mouse::MouseActiveSettings::kLightingMode], 2) << "the mouse's record is bytes 1..8 of its settings";
  EXPECT_EQ(active[mouse::MouseActiveSettings::kLightingRed], 10);
  const lighting::LightingSnapshot read = session->Read();
  const lighting::LightingSnapshot published = session->PublishedLighting().Read();
  for (DeviceKind kind : kAllDeviceKinds) {
    EXPECT_EQ(read.devices[IndexOf(kind)], records.devices[IndexOf(kind)]) << DeviceKindName(kind);
    EXPECT_EQ(published.devices[IndexOf(kind)], records.devices[IndexOf(kind)]) << DeviceKindName(kind);
  }
  EXPECT_EQ(read.synchronised, records.synchronised);
  EXPECT_EQ(published.synchronised, records.synchronised);
}

// --- restore all defaults ---------------------------------------------------------------------

TEST_F(DeviceSessionTest, RestoreAllRestoresOnlyConnectedDevicesAndSaysWhatHappened) {
  EXPECT_EQ(session->RestoreAll().message, kTextNoDevice);
  EXPECT_TRUE(host.events.empty());

  ASSERT_TRUE(AttachMouse());
  const RestoreReport report = session->RestoreAll();
  EXPECT_EQ(report.restored, 1);
  EXPECT_EQ(report.message, kTextRestored);
  EXPECT_EQ(host.events, (std::vector<std::string>{"changed mouse"}));

  // A default file that cannot be read is reported, and the rest is left as it was.
  std::filesystem::remove_all(home.path() / "defaults");
  SessionOptions options(folders);
  options.defaultsFolder = home.path() / "defaults";
  DeviceSession broken(bus, audio, options);
  broken.Device(DeviceKind::kMouse).connected = true;
  EXPECT_EQ(broken.RestoreAll().message, kTextFileMissing);
}

}  // namespace
}  // namespace korva::session
