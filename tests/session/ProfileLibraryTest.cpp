// The profile libraries as the pages use them: what selecting, importing and restoring a profile
// puts into the devices' images and sends to the (simulated) devices.

#include "session/ProfileLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "headset/AudioLibrary.h"
#include "mouse/MouseProfiles.h"
#include "profile/ProfileFile.h"
#include "mousepad/MousepadImage.h"
#include "session/DeviceSession.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"
#include "tests/profile/TempFolder.h"
#include "tests/sim/SimAttached.h"

namespace korva::session {
namespace {

using profile::StoreKind;

constexpr std::uint8_t kWriteBankCode = 0x09;

class ProfileLibraryTest : public testing::Test {
 protected:
  ProfileLibraryTest() {
    SessionOptions options(folders);
    options.defaultsFolder = profile::DefaultFilesFolder(SourceFolder());
    session = std::make_unique<DeviceSession>(bus, audio, options);
    session->Initialise();
    library = std::make_unique<ProfileLibrary>(*session);
  }

  static std::filesystem::path SourceFolder() {
    const char* dir = std::getenv("KORVA_SOURCE_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::current_path();
  }

  // Plugs a simulated device and opens it on the session's device, as its watcher does.
  int Attach(sim::SimDeviceKind simKind, DeviceKind kind) {
    const int id = bus.Plug(simKind);
    device::HidDevice& device = session->Device(kind);
    for (const device::HidInterfaceInfo& info : bus.Collections(id)) {
      if (info.usagePage != device::kVendorUsagePage || info.usage != device::kVendorUsage) continue;
      device.link.devicePath = info;
      device.link.options = {true, true, true, true};
      if (!device::OpenLink(device.link)) return -1;
      device.connected = true;
      return id;
    }
    return -1;
  }

  // A second profile holding `payload`, appended to the store (the selection stays where it is).
  int AddProfileWith(StoreKind kind, const std::vector<std::uint8_t>& payload) {
    profile::ProfileStore& store = library->Store(kind);
    const int selected = store.SelectedIndex();
    const profile::IndexResult added = store.AddProfile();
    EXPECT_TRUE(added.result.ok()) << added.result.error.ToString();
    EXPECT_TRUE(store.SetSelectedIndex(added.index).ok());
    EXPECT_TRUE(store.SaveProfile(payload).ok());
    EXPECT_TRUE(store.SetSelectedIndex(selected).ok());
    return added.index;
  }

  std::vector<std::uint8_t> DefaultPayload(StoreKind kind) {
    return library->Store(kind).ReadDefaultPayload().payload;
  }

  profile::testing::TempFolder home;
  profile::DataFolders folders{home.path()};
  sim::SimBus bus;
  headset::AudioLibrary audio;
  std::unique_ptr<DeviceSession> session;
  std::unique_ptr<ProfileLibrary> library;
};

// --- key profiles go to the device at once --------------------------------------------------

TEST_F(ProfileLibraryTest, SelectingAKeyProfileWritesBankZeroOnceWithoutATransferBracket) {
  struct Row {
    const char* name;
    StoreKind store;
    sim::SimDeviceKind sim;
    DeviceKind device;
    std::function<const std::uint8_t*(DeviceSession&)> bank0;
  };
  const Row rows[] = {
      {"keyboard", StoreKind::kKeyboardKey, sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard,
       [](DeviceSession& s) { return s.Keyboard().Image().banks[0].data(); }},
      {"mouse", StoreKind::kMouseKey, sim::SimDeviceKind::kMouse, DeviceKind::kMouse,
       [](DeviceSession& s) { return s.Mouse().Model().image().banks[0].bytes.data(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int id = Attach(row.sim, row.device);
    ASSERT_GE(id, 0);
    std::vector<std::uint8_t> payload(profile::kKeyBankPayloadSize);
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const int index = AddProfileWith(row.store, payload);
    bus.ClearRequests(id);

    const ProfileEffect effect = library->Select(row.store, index);
    ASSERT_TRUE(effect.result.ok()) << effect.result.error.ToString();
    EXPECT_TRUE(effect.applied);
    EXPECT_EQ(effect.device, row.device);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), row.bank0(*session)));

    // One pass over bank 0: consecutive chunks from its first address, nothing else.
    const std::size_t block = session->Device(row.device).blockSize;
    std::size_t next = 0;
    for (const sim::SimRequest& request : bus.Requests(id)) {
      const test::Sent sent = test::Decode(request);
      ASSERT_EQ(sent.code, kWriteBankCode) << sent;
      EXPECT_EQ(sent.address, next) << sent;
      next += sent.length;
    }
    EXPECT_EQ(next, block);
    const auto onDevice = bus.Firmware(id).Bank(0);
    EXPECT_TRUE(
        std::equal(onDevice.begin(), onDevice.begin() + static_cast<std::ptrdiff_t>(block), payload.begin()));
    EXPECT_EQ(library->Store(row.store).SelectedIndex(), index);
  }
}

TEST_F(ProfileLibraryTest, AKeyProfileForAnAbsentDeviceStaysInTheImage) {
  std::vector<std::uint8_t> payload(profile::kKeyBankPayloadSize, 0x21);
  const int index = AddProfileWith(StoreKind::kMouseKey, payload);
  const ProfileEffect effect = library->Select(StoreKind::kMouseKey, index);
  EXPECT_TRUE(effect.applied);
  EXPECT_EQ(session->Mouse().Model().image().banks[0].bytes[0], 0x21);
}

// --- light profiles ---------------------------------------------------------------------------

TEST_F(ProfileLibraryTest, AMouseLightProfileSendsOnlyItsWheelLinesToTheDesktop) {
  std::vector<std::uint8_t> payload = DefaultPayload(StoreKind::kMouseLight);
  ASSERT_EQ(payload.size(), profile::kMouseLightPayloadSize);
  payload[mouse::MouseProfileRecord::kPointerSpeed] = 8;
  payload[mouse::MouseProfileRecord::kWheelLines] = 0;  // read as 1
  payload[mouse::MouseActiveSettings::kLightingRed] = 0x5A;
  const int index = AddProfileWith(StoreKind::kMouseLight, payload);

  const ProfileEffect effect = library->Select(StoreKind::kMouseLight, index);
  ASSERT_TRUE(effect.applied);
  EXPECT_EQ(effect.wheelLines, 1);
  EXPECT_EQ(effect.pointerSpeed, std::nullopt);
  const mouse::MouseImage& image = session->Mouse().Model().image();
  EXPECT_EQ(image.pointerSpeed, 8);
  EXPECT_EQ(image.wheelLines, 1);
  EXPECT_EQ(image.active.bytes[mouse::MouseActiveSettings::kLightingRed], 0x5A);
  EXPECT_TRUE(session->DeferredWritePending(DeviceKind::kMouse)) << "the next flush sends the settings";
  EXPECT_EQ(session->PublishedLighting().Get(DeviceKind::kMouse).red, 0x5A) << "the lighting threads see it";
}

TEST_F(ProfileLibraryTest, RestoringTheMouseLightProfileSetsTheDesktopButKeepsTheSavedDesktopSettings) {
  std::vector<std::uint8_t> before = DefaultPayload(StoreKind::kMouseLight);
  before[mouse::MouseProfileRecord::kPointerSpeed] = 14;
  before[mouse::MouseProfileRecord::kWheelLines] = 6;
  before[mouse::MouseActiveSettings::kLightingRed] = 0x11;
  ASSERT_TRUE(library->Store(StoreKind::kMouseLight).SaveProfile(before).ok());
  ASSERT_TRUE(library->Select(StoreKind::kMouseLight, 0).applied);

  const ProfileEffect effect = library->Restore(StoreKind::kMouseLight);
  ASSERT_TRUE(effect.applied);
  EXPECT_TRUE(effect.message.empty());
  EXPECT_EQ(effect.pointerSpeed, kRestoredPointerSpeed);
  EXPECT_EQ(effect.wheelLines, kRestoredWheelLines);
  EXPECT_EQ(session->Mouse().Model().image().pointerSpeed, 10);
  EXPECT_EQ(session->Mouse().Model().image().wheelLines, 1);

  const std::vector<std::uint8_t> defaults = DefaultPayload(StoreKind::kMouseLight);
  const std::vector<std::uint8_t> saved = library->Store(StoreKind::kMouseLight).LoadProfile(0).payload;
  ASSERT_EQ(saved.size(), defaults.size());
  EXPECT_TRUE(std::equal(defaults.begin(), defaults.begin() + 23, saved.begin())) << "the default settings";
  EXPECT_EQ(saved[mouse::MouseProfileRecord::kPointerSpeed], 14) << "saved before the desktop changed";
  EXPECT_EQ(saved[mouse::MouseProfileRecord::kWheelLines], 6);
}

TEST_F(ProfileLibraryTest, AKeyboardLightProfileBecomesItsRecordAndColourSetsAndWaitsForTheFlush) {
  std::vector<std::uint8_t> payload(profile::kKeyboardLightPayloadSize, 0);
  payload[6] = 0x44;      // red of the settings record
  payload[64] = 3;        // custom set number
  payload.back() = 0x99;  // the last byte of the custom colour sets
  const int index = AddProfileWith(StoreKind::kKeyboardLight, payload);

  const ProfileEffect effect = library->Select(StoreKind::kKeyboardLight, index);
  ASSERT_TRUE(effect.applied);
  const keyboard::KeyboardImage& image = session->Keyboard().Image();
  EXPECT_EQ(image.active.bytes[6], 0x44);
  EXPECT_EQ(image.customSet, 3);
  EXPECT_EQ(image.customSets.back(), 0x99);
  EXPECT_TRUE(session->DeferredWritePending(DeviceKind::kKeyboard));
}

TEST_F(ProfileLibraryTest, AMousepadLightProfileBecomesItsLightingRecord) {
  std::vector<std::uint8_t> payload(profile::kMousepadLightPayloadSize, 0);
  const std::uint8_t record[8] = {4, 9, 2, 1, 0, 0x10, 0x20, 0x30};
  std::copy(std::begin(record), std::end(record), payload.begin() + 1);
  const int index = AddProfileWith(StoreKind::kMousepadLight, payload);

  ASSERT_TRUE(library->Select(StoreKind::kMousepadLight, index).applied);
  const lighting::LightingSettings expected{4, 9, 2, 1, 0, 0x10, 0x20, 0x30};
  EXPECT_EQ(session->Controller(DeviceKind::kMousepad).Lighting(), expected);
  EXPECT_EQ(session->PublishedLighting().Get(DeviceKind::kMousepad), expected);
}

TEST_F(ProfileLibraryTest, RestoreAllRestoresThePresentMousepadsSelectedLightProfile) {
  std::vector<std::uint8_t> previous(profile::kMousepadLightPayloadSize, 0x7E);
  const int index = AddProfileWith(StoreKind::kMousepadLight, previous);
  ASSERT_TRUE(library->Select(StoreKind::kMousepadLight, index).applied);
  ASSERT_GE(Attach(sim::SimDeviceKind::kMousepad, DeviceKind::kMousepad), 0);

  const RestoreReport report = session->RestoreAll();
  EXPECT_EQ(report.restored, 1);
  EXPECT_EQ(report.message, "message_text_restored");
  const std::vector<std::uint8_t> defaults = DefaultPayload(StoreKind::kMousepadLight);
  const std::vector<std::uint8_t> saved = library->Store(StoreKind::kMousepadLight).LoadProfile(index).payload;
  ASSERT_EQ(saved.size(), defaults.size());
  EXPECT_TRUE(std::equal(defaults.begin(), defaults.begin() + 56, saved.begin()));
  EXPECT_EQ(session->Controller(DeviceKind::kMousepad).Lighting(), mousepad::MousepadLighting(defaults));
  EXPECT_EQ(library->Store(StoreKind::kMousepadLight).LoadProfile(0).payload, DefaultPayload(StoreKind::kMousepadLight))
      << "only the selected profile";
}

// --- failures change nothing ------------------------------------------------------------------

TEST_F(ProfileLibraryTest, AProfileThatCannotBeLoadedChangesNothingAndSendsNothing) {
  const int id = Attach(sim::SimDeviceKind::kMouse, DeviceKind::kMouse);
  ASSERT_GE(id, 0);
  const int index = AddProfileWith(StoreKind::kMouseKey, std::vector<std::uint8_t>(512, 0x33));
  std::filesystem::path file =
      library->Store(StoreKind::kMouseKey).IndexPath().parent_path() /
      (library->Store(StoreKind::kMouseKey).Names()[static_cast<std::size_t>(index)] + ".pro");
  ASSERT_TRUE(std::filesystem::remove(file));
  const auto bankBefore = session->Mouse().Model().image().banks[0].bytes;
  bus.ClearRequests(id);

  const ProfileEffect effect = library->Select(StoreKind::kMouseKey, index);
  EXPECT_EQ(effect.result.status, profile::StoreStatus::kFileMissing);
  EXPECT_FALSE(effect.applied);
  EXPECT_TRUE(effect.message.empty()) << "a selection only traces it";
  EXPECT_EQ(session->Mouse().Model().image().banks[0].bytes, bankBefore);
  EXPECT_TRUE(bus.Requests(id).empty());
}

TEST_F(ProfileLibraryTest, ImportReplacesTheSelectedProfileAndPutsItIntoEffect) {
  const std::filesystem::path source = home.path() / "shared.pro";
  const std::vector<std::uint8_t> payload(profile::kKeyBankPayloadSize, 0x42);
  ASSERT_TRUE(profile::WriteProfileFile(source, profile::DeviceTag::kMouse, payload));

  const ProfileEffect effect = library->Import(StoreKind::kMouseKey, 0, source);
  ASSERT_TRUE(effect.result.ok()) << effect.result.error.ToString();
  EXPECT_TRUE(effect.applied);
  EXPECT_EQ(library->Store(StoreKind::kMouseKey).LoadProfile(0).payload, payload);
  EXPECT_EQ(session->Mouse().Model().image().banks[0].bytes[0], 0x42);

  // A file of another format is refused; the profile and the image keep what they had.
  const std::filesystem::path damaged = home.path() / "damaged.pro";
  std::vector<std::uint8_t> wrongMagic(16 + payload.size(), 0x11);
  ASSERT_TRUE(korva::WriteFileAtomically(damaged, wrongMagic));
  const ProfileEffect refused = library->Import(StoreKind::kMouseKey, 0, damaged);
  EXPECT_EQ(refused.result.TextId(), "message_text_9");
  EXPECT_FALSE(refused.applied);
  EXPECT_EQ(library->Store(StoreKind::kMouseKey).LoadProfile(0).payload, payload);
}

}  // namespace
}  // namespace korva::session
