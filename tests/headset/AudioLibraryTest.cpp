#include "headset/AudioLibrary.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sim/headset/SimulatedHeadsetChip.h"

namespace korva::headset {
namespace {

using sim::SimI2cWrite;
using sim::SimulatedHeadsetChip;

class AudioLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(library.Bind(chip), kAudioBindOk); }

  std::shared_ptr<SimulatedHeadsetChip> chip = std::make_shared<SimulatedHeadsetChip>();
  AudioLibrary library;
};

PresentDeviceList Garbage() {
  PresentDeviceList list;
  std::memset(static_cast<void*>(&list), 0xAB, sizeof list);
  return list;
}

bool IsZero(const PresentDeviceList& list) {
  const PresentDeviceList zero{};
  return std::memcmp(&list, &zero, sizeof list) == 0;
}

TEST(PresentDeviceListLayout, CountThenVendorIdsThenProductIdsLittleEndian) {
  PresentDeviceList list{};
  list.count = 0x0102;
  list.vendorIds[0] = 0x0C76;
  list.vendorIds[127] = 0x1122;
  list.productIds[0] = 0x1630;
  list.productIds[127] = 0x3344;
  std::array<std::uint8_t, 514> bytes{};
  std::memcpy(bytes.data(), &list, bytes.size());
  const std::vector<std::pair<std::size_t, std::uint8_t>> expected = {
      {0, 0x02},   {1, 0x01},   {2, 0x76},   {3, 0x0C},   {256, 0x22},
      {257, 0x11}, {258, 0x30}, {259, 0x16}, {512, 0x44}, {513, 0x33},
  };
  for (const auto& [offset, value] : expected) EXPECT_EQ(bytes[offset], value) << "offset " << offset;
}

TEST(PresentDeviceListLayout, HeadsetTestLooksAtTheFirstEntryOnly) {
  struct Row {
    const char* name;
    std::uint16_t count, vendor0, product0;
    bool headset;
  };
  const Row rows[] = {
      {"headset first", 1, 0x0C76, 0x1630, true},
      {"headset first of two", 2, 0x0C76, 0x1630, true},
      {"empty list with stale ids", 0, 0x0C76, 0x1630, false},
      {"other product", 1, 0x0C76, 0x1631, false},
      {"other vendor", 1, 0x0C77, 0x1630, false},
  };
  for (const Row& row : rows) {
    PresentDeviceList list{};
    list.count = row.count;
    list.vendorIds[0] = row.vendor0;
    list.productIds[0] = row.product0;
    EXPECT_EQ(ReportsHeadset(list), row.headset) << row.name;
  }
}

TEST_F(AudioLibraryTest, QueryListsThePresentHeadset) {
  PresentDeviceList list = Garbage();
  EXPECT_EQ(library.Search_Present_Device(list), kAudioOk);
  EXPECT_EQ(list.count, 1);
  EXPECT_EQ(list.vendorIds[0], kHeadsetVendorId);
  EXPECT_EQ(list.productIds[0], kHeadsetProductId);
  EXPECT_EQ(list.vendorIds[1], 0) << "the caller's old bytes must not survive";
  EXPECT_TRUE(ReportsHeadset(list));
}

TEST_F(AudioLibraryTest, QueryWithHeadsetAbsentListsNothing) {
  chip->SetPresent(false);
  PresentDeviceList list = Garbage();
  EXPECT_EQ(library.Search_Present_Device(list), kAudioOk);
  EXPECT_TRUE(IsZero(list));
  EXPECT_FALSE(ReportsHeadset(list));
}

TEST_F(AudioLibraryTest, UnboundLibraryReportsNoHeadsetAndNeverCallsTheChip) {
  library.Release();
  EXPECT_FALSE(library.IsBound());
  PresentDeviceList list = Garbage();
  EXPECT_EQ(library.Search_Present_Device(list), kAudioNoDevice);
  EXPECT_TRUE(IsZero(list));
  EXPECT_EQ(library.SetSpeakerMasterVolume(5), kAudioNoDevice);
  const std::uint8_t byte = 1;
  EXPECT_EQ(library.Write_I2C_ById(0x11, 0x20, {&byte, 1}, 1, 1000, 0), kAudioNoDevice);
  EXPECT_TRUE(chip->CallLog().empty());
  EXPECT_EQ(chip->I2cWriteCount(), 0u);
}

TEST_F(AudioLibraryTest, QueryAnswerWithTooManyDevicesIsRefused) {
  PresentDeviceList bad{};
  bad.count = kMaxPresentDevices + 1;
  bad.vendorIds[0] = kHeadsetVendorId;
  bad.productIds[0] = kHeadsetProductId;
  chip->InjectQueryAnswer(bad);
  PresentDeviceList list = Garbage();
  EXPECT_EQ(library.Search_Present_Device(list), kAudioFailed);
  EXPECT_TRUE(IsZero(list));
}

TEST_F(AudioLibraryTest, QueryKeepsOnlyTheCountedEntries) {
  PresentDeviceList answer = Garbage();
  answer.count = 2;
  chip->InjectQueryAnswer(answer);
  PresentDeviceList list{};
  ASSERT_EQ(library.Search_Present_Device(list), kAudioOk);
  EXPECT_EQ(list.count, 2);
  EXPECT_EQ(list.vendorIds[1], 0xABAB);
  EXPECT_EQ(list.vendorIds[2], 0);
  EXPECT_EQ(list.productIds[2], 0);
}

// One row per operation: the call, the call the chip must see, and the state it must then hold.
struct OperationRow {
  const char* name;
  std::function<int(AudioLibrary&)> call;
  std::string chipCall;
  std::function<bool(const sim::SimHeadsetAudioState&)> applied;
};

TEST_F(AudioLibraryTest, EachOperationReachesTheChipWithItsValues) {
  const OperationRow rows[] = {
      {"master", [](AudioLibrary& l) { return l.SetSpeakerMasterVolume(73); }, "SetSpeakerMasterVolume(73)",
       [](const auto& s) { return s.masterVolume == 73; }},
      {"channels keep left and right apart",
       [](AudioLibrary& l) { return l.SetSpeakerChannelVolume(10, 90); }, "SetSpeakerChannelVolume(10, 90)",
       [](const auto& s) { return s.leftVolume == 10 && s.rightVolume == 90; }},
      {"mic", [](AudioLibrary& l) { return l.SetMicVolume(42); }, "SetMicVolume(42)",
       [](const auto& s) { return s.micVolume == 42; }},
      {"virtual on", [](AudioLibrary& l) { return l.SetVirtual7ch1_OnOff(1); }, "SetVirtual7ch1_OnOff(1)",
       [](const auto& s) { return s.virtual71On; }},
      {"sound field on", [](AudioLibrary& l) { return l.SetSoundField_OnOff(1); }, "SetSoundField_OnOff(1)",
       [](const auto& s) { return s.soundFieldOn; }},
      {"enc on", [](AudioLibrary& l) { return l.SetEncOnOff(1); }, "SetEncOnOff(1)",
       [](const auto& s) { return s.encOn; }},
      {"sound field mode", [](AudioLibrary& l) { return l.SetSoundField(3); }, "SetSoundField(3)",
       [](const auto& s) { return s.soundFieldMode == 3; }},
      {"3D config", [](AudioLibrary& l) { return l.Config3D_ById(0); }, "Config3D_ById(0)",
       [](const auto& s) { return s.threeDConfigCount == 1; }},
      {"3D on", [](AudioLibrary& l) { return l.Set3D_OnOff_ById(1, 0); }, "Set3D_OnOff_ById(1, 0)",
       [](const auto& s) { return s.threeDOn; }},
      {"PWM", [](AudioLibrary& l) { return l.PWM_SetConfig_ById(1, 0); }, "PWM_SetConfig_ById(1, 0)",
       [](const auto& s) { return s.pwmConfig == 1; }},
  };
  for (const OperationRow& row : rows) {
    SCOPED_TRACE(row.name);
    auto rowChip = std::make_shared<SimulatedHeadsetChip>();
    AudioLibrary rowLibrary;
    ASSERT_EQ(rowLibrary.Bind(rowChip), kAudioBindOk);
    EXPECT_EQ(row.call(rowLibrary), kAudioOk);
    EXPECT_EQ(rowChip->CallLog(), std::vector<std::string>{row.chipCall});
    EXPECT_TRUE(row.applied(rowChip->AudioState()));
  }
}

TEST_F(AudioLibraryTest, SwitchesTurnOffAgain) {
  ASSERT_EQ(library.SetEncOnOff(1), kAudioOk);
  ASSERT_EQ(library.Set3D_OnOff_ById(1, 0), kAudioOk);
  EXPECT_EQ(library.SetEncOnOff(0), kAudioOk);
  EXPECT_EQ(library.Set3D_OnOff_ById(0, 0), kAudioOk);
  EXPECT_FALSE(chip->AudioState().encOn);
  EXPECT_FALSE(chip->AudioState().threeDOn);
}

TEST_F(AudioLibraryTest, Virtual71ParametersReachTheChipBitForBit) {
  Virtual71Parameters parameters{};
  for (int i = 0; i < 8; ++i) {
    parameters.distances[i] = static_cast<float>(i * 10 * 0.017);
    parameters.angles[i] = static_cast<float>(i * 25 * 0.0628);
  }
  ASSERT_EQ(library.SetVirtual7ch1(parameters), kAudioOk);
  const Virtual71Parameters held = chip->AudioState().virtual71;
  EXPECT_EQ(std::memcmp(&held, &parameters, sizeof parameters), 0);
}

TEST_F(AudioLibraryTest, BadArgumentsAreRefusedBeforeTheChip) {
  const std::uint8_t one[1] = {7};
  const std::array<std::uint8_t, 78> pairs{};
  const std::array<std::uint8_t, 257> tooLong{};
  Virtual71Parameters nanDistance{};
  nanDistance.distances[3] = std::numeric_limits<float>::quiet_NaN();
  Virtual71Parameters infAngle{};
  infAngle.angles[7] = std::numeric_limits<float>::infinity();
  Virtual71Parameters reservedSet{};
  reservedSet.reserved = 1;

  struct Row {
    const char* name;
    std::function<int(AudioLibrary&)> call;
  };
  const Row rows[] = {
      {"negative master", [](AudioLibrary& l) { return l.SetSpeakerMasterVolume(-1); }},
      {"master above 16 bits", [](AudioLibrary& l) { return l.SetSpeakerMasterVolume(kMaxAudioLevel + 1); }},
      {"negative right channel", [](AudioLibrary& l) { return l.SetSpeakerChannelVolume(5, -5); }},
      {"negative mic", [](AudioLibrary& l) { return l.SetMicVolume(-3); }},
      {"switch 2", [](AudioLibrary& l) { return l.SetVirtual7ch1_OnOff(2); }},
      {"switch -1", [](AudioLibrary& l) { return l.SetSoundField_OnOff(-1); }},
      {"enc switch 5", [](AudioLibrary& l) { return l.SetEncOnOff(5); }},
      {"3D switch 2", [](AudioLibrary& l) { return l.Set3D_OnOff_ById(2, 0); }},
      {"sound mode above a byte", [](AudioLibrary& l) { return l.SetSoundField(256); }},
      {"negative sound mode", [](AudioLibrary& l) { return l.SetSoundField(-1); }},
      {"device id 128", [](AudioLibrary& l) { return l.Config3D_ById(128); }},
      {"negative device id", [](AudioLibrary& l) { return l.PWM_SetConfig_ById(1, -1); }},
      {"negative PWM config", [](AudioLibrary& l) { return l.PWM_SetConfig_ById(-1, 0); }},
      {"NaN distance", [&](AudioLibrary& l) { return l.SetVirtual7ch1(nanDistance); }},
      {"infinite angle", [&](AudioLibrary& l) { return l.SetVirtual7ch1(infAngle); }},
      {"reserved word set", [&](AudioLibrary& l) { return l.SetVirtual7ch1(reservedSet); }},
      {"length above data", [&](AudioLibrary& l) { return l.Write_I2C_ById(0x11, 0x20, one, 2, 1000, 0); }},
      {"length zero", [&](AudioLibrary& l) { return l.Write_I2C_ById(0x11, 0x20, {}, 0, 1000, 0); }},
      {"past the last register",
       [&](AudioLibrary& l) {
         return l.Write_I2C_ById(0x11, 0xF0, {pairs.data(), 17}, 17, 1000, 0);
       }},
      {"register above a byte",
       [&](AudioLibrary& l) { return l.Write_I2C_ById(0x11, 0x100, one, 1, 1000, 0); }},
      {"8-bit address", [&](AudioLibrary& l) { return l.Write_I2C_ById(0x80, 0x20, one, 1, 1000, 0); }},
      {"zero time-out", [&](AudioLibrary& l) { return l.Write_I2C_ById(0x11, 0x20, one, 1, 0, 0); }},
      {"list length below data",
       [&](AudioLibrary& l) { return l.WriteI2C_ByMode_ById(0x11, 0xAA, 0, 2, pairs, 76, 1000, 0, 0); }},
      {"list of half an entry",
       [&](AudioLibrary& l) {
         return l.WriteI2C_ByMode_ById(0x11, 0xAA, 0, 2, {pairs.data(), 77}, 77, 1000, 0, 0);
       }},
      {"list entry size 0",
       [&](AudioLibrary& l) { return l.WriteI2C_ByMode_ById(0x11, 0xAA, 0, 0, pairs, 78, 1000, 0, 0); }},
      {"list longer than a transaction",
       [&](AudioLibrary& l) { return l.WriteI2C_ByMode_ById(0x11, 0xAA, 0, 1, tooLong, 257, 1000, 0, 0); }},
      {"list mode above a byte",
       [&](AudioLibrary& l) { return l.WriteI2C_ByMode_ById(0x11, 0x1AA, 0, 2, pairs, 78, 1000, 0, 0); }},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.call(library), kAudioBadArgument) << row.name;
  }
  EXPECT_TRUE(chip->CallLog().empty());
  EXPECT_EQ(chip->I2cWriteCount(), 0u);
}

TEST_F(AudioLibraryTest, LimitValuesAreAccepted) {
  EXPECT_EQ(library.SetSpeakerChannelVolume(0, kMaxAudioLevel), kAudioOk);
  EXPECT_EQ(library.SetSoundField(kMaxSoundFieldMode), kAudioOk);
  EXPECT_EQ(library.Config3D_ById(127), kAudioOk);
  const std::array<std::uint8_t, 16> sixteen{};
  EXPECT_EQ(library.Write_I2C_ById(0x11, 0xF0, sixteen, 16, 1000, 0), kAudioOk) << "0xF0..0xFF is in range";
}

TEST_F(AudioLibraryTest, SingleRegisterWritesAreRecordedPerController) {
  // The static-colour frame: registers 0x20..0x22 of 0x11, then of 0x22.
  const std::uint8_t rgb[3] = {247, 0x40, 0x01};
  for (int address : {0x11, 0x22}) {
    for (int i = 0; i < 3; ++i) {
      ASSERT_EQ(library.Write_I2C_ById(address, 0x20 + i, {&rgb[i], 1}, 1, 1000, 0), kAudioOk);
    }
  }
  const std::vector<SimI2cWrite> log = chip->I2cLog();
  ASSERT_EQ(log.size(), 6u);
  for (std::size_t n = 0; n < log.size(); ++n) {
    EXPECT_EQ(log[n].kind, SimI2cWrite::Kind::kRegisters);
    EXPECT_EQ(log[n].address, n < 3 ? 0x11 : 0x22) << n;
    EXPECT_EQ(log[n].reg, 0x20 + static_cast<int>(n % 3)) << n;
    EXPECT_EQ(log[n].data, std::vector<std::uint8_t>{rgb[n % 3]}) << n;
    EXPECT_EQ(log[n].timeoutMs, 1000);
  }
  for (int address : {0x11, 0x22}) {
    EXPECT_EQ(chip->I2cRegister(address, 0x20), 247);
    EXPECT_EQ(chip->I2cRegister(address, 0x22), 0x01);
    ASSERT_TRUE(chip->LastRegisterWrite(address));
    EXPECT_EQ(chip->LastRegisterWrite(address)->reg, 0x22);
    EXPECT_FALSE(chip->LastModeWrite(address));
  }
}

TEST_F(AudioLibraryTest, ListWritesOfRegisterValuePairsAreRecordedAndApplied) {
  // The wave frame: (0x30 + i, red i), (0x40 + i, green i), (0x50 + i, blue i) for 13 LEDs.
  std::vector<std::uint8_t> pairs;
  for (int channel = 0; channel < 3; ++channel) {
    for (int i = 0; i < 13; ++i) {
      pairs.push_back(static_cast<std::uint8_t>(0x30 + 0x10 * channel + i));
      pairs.push_back(static_cast<std::uint8_t>(channel * 13 + i));
    }
  }
  ASSERT_EQ(pairs.size(), 78u);
  for (int address : {0x11, 0x22}) {
    ASSERT_EQ(library.WriteI2C_ByMode_ById(address, 0xAA, 0, 2, pairs, 78, 1000, 0, 0), kAudioOk);
  }
  for (int address : {0x11, 0x22}) {
    SCOPED_TRACE(address);
    const auto last = chip->LastModeWrite(address);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->mode, 0xAA);
    EXPECT_EQ(last->modeParameter, 0);
    EXPECT_EQ(last->entrySize, 2);
    EXPECT_EQ(last->timeoutMs, 1000);
    EXPECT_EQ(last->data, pairs);
    EXPECT_EQ(chip->I2cRegister(address, 0x30), 0);
    EXPECT_EQ(chip->I2cRegister(address, 0x3C), 12);
    EXPECT_EQ(chip->I2cRegister(address, 0x40), 13);
    EXPECT_EQ(chip->I2cRegister(address, 0x5C), 38);
  }
  EXPECT_EQ(chip->I2cWriteCount(), 2u);
}

TEST_F(AudioLibraryTest, AbsentOrRefusingChipChangesNothing) {
  ASSERT_EQ(library.SetSpeakerMasterVolume(20), kAudioOk);
  chip->SetPresent(false);
  EXPECT_EQ(library.SetSpeakerMasterVolume(50), kAudioNoDevice);
  chip->SetPresent(true);
  chip->SetRefuseAll(true);
  EXPECT_EQ(library.SetSpeakerMasterVolume(60), kAudioFailed);
  const std::uint8_t byte = 9;
  EXPECT_EQ(library.Write_I2C_ById(0x11, 0x20, {&byte, 1}, 1, 1000, 0), kAudioFailed);
  PresentDeviceList list = Garbage();
  EXPECT_EQ(library.Search_Present_Device(list), kAudioFailed);
  EXPECT_TRUE(IsZero(list));
  EXPECT_EQ(chip->AudioState().masterVolume, 20);
  EXPECT_EQ(chip->I2cWriteCount(), 0u);
}

TEST(AudioLibraryBinding, LoadFailureGivesResultOneAndTheSystemText) {
  AudioLibrary library;
  EXPECT_EQ(library.Bind([] {
    return AudioChipLoad{nullptr, 2, "No such file or directory"};
  }),
            kAudioBindLoadFailed);
  EXPECT_FALSE(library.IsBound());
  EXPECT_EQ(library.BindFailureMessage(), "error 2: No such file or directory");
  EXPECT_EQ(library.Bind(std::shared_ptr<AudioChip>{}), kAudioBindLoadFailed);

  EXPECT_EQ(library.Bind(std::make_shared<SimulatedHeadsetChip>()), kAudioBindOk);
  EXPECT_TRUE(library.IsBound());
  EXPECT_EQ(library.BindFailureMessage(), "");
}

TEST(AudioLibraryBinding, RebindingReleasesThePreviousChip) {
  auto first = std::make_shared<SimulatedHeadsetChip>();
  auto second = std::make_shared<SimulatedHeadsetChip>();
  AudioLibrary library;
  ASSERT_EQ(library.Bind(first), kAudioBindOk);
  ASSERT_EQ(library.Bind(second), kAudioBindOk);
  EXPECT_EQ(first.use_count(), 1) << "the library must not keep the old chip";
  EXPECT_EQ(library.SetMicVolume(11), kAudioOk);
  EXPECT_TRUE(first->CallLog().empty());
  EXPECT_EQ(second->AudioState().micVolume, 11);

  // A failed bind also leaves the library unbound: the old chip is released first.
  ASSERT_EQ(library.Bind([] {
    return AudioChipLoad{nullptr, 126, "module not found"};
  }),
            kAudioBindLoadFailed);
  EXPECT_EQ(library.SetMicVolume(12), kAudioNoDevice);
  EXPECT_EQ(second->AudioState().micVolume, 11);
}

// The watcher, the UI thread and the lighting thread call at once while the binding changes.
TEST(AudioLibraryThreads, ConcurrentCallersAndRebindingStayConsistent) {
  auto chip = std::make_shared<SimulatedHeadsetChip>();
  AudioLibrary library;
  ASSERT_EQ(library.Bind(chip), kAudioBindOk);
  constexpr int kRounds = 400;
  std::atomic<int> acceptedWrites{0};
  std::atomic<int> badResults{0};

  std::thread watcher([&] {
    for (int i = 0; i < kRounds; ++i) {
      PresentDeviceList list;
      const int r = library.Search_Present_Device(list);
      if (r == kAudioOk ? !ReportsHeadset(list) : (r != kAudioNoDevice || !IsZero(list))) ++badResults;
    }
  });
  std::thread lighting([&] {
    const std::array<std::uint8_t, 78> pairs{};
    for (int i = 0; i < kRounds; ++i) {
      const int r = library.WriteI2C_ByMode_ById(0x11, 0xAA, 0, 2, pairs, 78, 1000, 0, 0);
      if (r == kAudioOk)
        ++acceptedWrites;
      else if (r != kAudioNoDevice)
        ++badResults;
    }
  });
  std::thread ui([&] {
    for (int i = 0; i < kRounds; ++i) {
      const int r = library.SetSpeakerChannelVolume(i % 100, 100 - i % 100);
      if (r != kAudioOk && r != kAudioNoDevice) ++badResults;
      if (i % 50 == 0) {
        library.Release();
        library.Bind(chip);
      }
    }
  });
  watcher.join();
  lighting.join();
  ui.join();

  EXPECT_EQ(badResults.load(), 0);
  EXPECT_EQ(chip->I2cWriteCount(), static_cast<std::uint64_t>(acceptedWrites.load()));
  const auto state = chip->AudioState();
  EXPECT_EQ(state.leftVolume + state.rightVolume, 100) << "left and right must come from one call";
}

TEST(SimulatedHeadsetChipWait, WaitReturnsOnceTheWritesArrive) {
  auto chip = std::make_shared<SimulatedHeadsetChip>();
  AudioLibrary library;
  ASSERT_EQ(library.Bind(chip), kAudioBindOk);
  std::thread writer([&] {
    const std::uint8_t byte = 1;
    for (int i = 0; i < 3; ++i) library.Write_I2C_ById(0x22, 0x20 + i, {&byte, 1}, 1, 1000, 0);
  });
  EXPECT_TRUE(chip->WaitForI2cWrites(3, std::chrono::seconds(10)));
  writer.join();
  EXPECT_FALSE(chip->WaitForI2cWrites(4, std::chrono::milliseconds(1)));
}

TEST(SimulatedHeadsetChipLog, LogsStayBounded) {
  SimulatedHeadsetChip chip;
  const std::uint8_t byte = 3;
  for (std::size_t i = 0; i < SimulatedHeadsetChip::kLogCapacity + 10; ++i) {
    ASSERT_EQ(chip.WriteI2c(0x11, 0x20, {&byte, 1}, 1000, 0), kAudioOk);
  }
  EXPECT_EQ(chip.I2cLog().size(), SimulatedHeadsetChip::kLogCapacity);
  EXPECT_EQ(chip.CallLog().size(), SimulatedHeadsetChip::kLogCapacity);
  EXPECT_EQ(chip.I2cWriteCount(), SimulatedHeadsetChip::kLogCapacity + 10);
}

}  // namespace
}  // namespace korva::headset
