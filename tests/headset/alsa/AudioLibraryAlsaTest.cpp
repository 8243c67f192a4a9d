#include "headset/alsa/AudioLibraryAlsa.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>

#include "headset/AudioLibrary.h"

namespace korva::headset {
namespace {

TEST(AlsaUsbId, ParsesTheProcFormatOnly) {
  struct Row {
    const char* text;
    std::optional<std::pair<std::uint16_t, std::uint16_t>> ids;
  };
  const Row rows[] = {
      {"0c76:1630\n", std::pair<std::uint16_t, std::uint16_t>{0x0C76, 0x1630}},
      {"0C76:1630", std::pair<std::uint16_t, std::uint16_t>{0x0C76, 0x1630}},
      {"046d:0a38\r\n", std::pair<std::uint16_t, std::uint16_t>{0x046D, 0x0A38}},
      {"", std::nullopt},
      {"0c761630", std::nullopt},
      {"c76:1630", std::nullopt},
      {"0c76:16300", std::nullopt},
      {"0x76:1630", std::nullopt},
      {"0c76:", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseUsbId(row.text), row.ids) << '"' << row.text << '"';
}

TEST(AlsaVolumes, PercentagesScaleToTheElementRange) {
  EXPECT_EQ(ScaleToRange(0, -6000, 0), -6000);
  EXPECT_EQ(ScaleToRange(100, -6000, 0), 0);
  EXPECT_EQ(ScaleToRange(50, 0, 151), 76);
  EXPECT_EQ(ScaleToRange(250, 0, 151), 151) << "above 100 counts as 100";
  EXPECT_EQ(ScaleToRange(-4, 0, 151), 0);
  EXPECT_EQ(ScaleToRange(50, 7, 7), 7) << "an element without range";
  EXPECT_EQ(ChannelPercents(50, 100, 20), (std::pair<int, int>{50, 10}));
  EXPECT_EQ(ChannelPercents(100, 30, 70), (std::pair<int, int>{30, 70}));
  EXPECT_EQ(ChannelPercents(0, 100, 100), (std::pair<int, int>{0, 0}));
}

// A /proc/asound look-alike: card folders with and without a USB id.
class FakeProcAsound : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() /
           ("korva-asound-" + std::to_string(std::random_device{}()) + "-" + std::to_string(::getpid()));
    nodes = root.string() + "-dev";
    std::filesystem::create_directories(root);
    std::filesystem::create_directories(nodes);
  }
  void TearDown() override {
    std::filesystem::remove_all(root);
    std::filesystem::remove_all(nodes);
  }

  // A card's /proc entry, then (as udev does) its device node.
  void AddCard(const std::string& name, const char* usbid) {
    std::filesystem::create_directories(root / name);
    if (usbid) std::ofstream(root / name / "usbid") << usbid;
    std::ofstream(nodes / ("control" + name));
  }

  std::filesystem::path root;
  std::filesystem::path nodes;  // beside root: each test process has folders of its own
};

TEST_F(FakeProcAsound, ScanFindsUsbCardsInCardOrder) {
  AddCard("card0", nullptr);  // on-board sound: no USB id
  AddCard("card10", "0c76:1630\n");
  AddCard("card2", "046d:0a38\n");
  AddCard("card3", "garbage\n");
  AddCard("cards", "0c76:1630\n");
  AddCard("card1x", "0c76:1630\n");
  EXPECT_EQ(ScanUsbAudioCards(root), (std::vector<UsbAudioCard>{{2, 0x046D, 0x0A38}, {10, 0x0C76, 0x1630}}));
  EXPECT_TRUE(ScanUsbAudioCards(root / "missing").empty());
}

TEST_F(FakeProcAsound, QueryListsOnlyTheHeadsetSoItIsTheFirstEntry) {
  AddCard("card1", "046d:0a38\n");
  AudioLibrary library;
  ASSERT_EQ(library.Bind(std::make_shared<AlsaHeadsetChip>(root, nodes)), kAudioBindOk);
  PresentDeviceList list;
  ASSERT_EQ(library.Search_Present_Device(list), kAudioOk);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(library.SetSpeakerMasterVolume(50), kAudioNoDevice) << "no headset card: nothing to set";

  AddCard("card4", "0c76:1630\n");
  ASSERT_EQ(library.Search_Present_Device(list), kAudioOk);
  EXPECT_TRUE(ReportsHeadset(list));
  EXPECT_EQ(list.count, 1);

  const std::uint8_t byte = 1;
  EXPECT_EQ(library.Write_I2C_ById(0x11, 0x20, {&byte, 1}, 1, 1000, 0), kAudioFailed)
      << "the LED controllers are not reachable through ALSA";
  EXPECT_EQ(library.SetEncOnOff(1), kAudioFailed);
}

// The query scans /proc/asound only after the device nodes changed: a card whose node has not
// appeared is not seen yet, and a card that went is gone at the next query.
TEST_F(FakeProcAsound, TheQueryScansAgainOnlyWhenTheDeviceNodesChange) {
  AlsaHeadsetChip chip(root, nodes);
  PresentDeviceList list;
  ASSERT_EQ(chip.SearchPresentDevice(list), kAudioOk);
  EXPECT_EQ(list.count, 0);

  std::filesystem::create_directories(root / "card3");
  std::ofstream(root / "card3" / "usbid") << "0c76:1630\n";
  list = {};
  chip.SearchPresentDevice(list);
  EXPECT_EQ(list.count, 0) << "no node yet: the last scan stands";

  std::ofstream(nodes / "controlC3");
  list = {};
  chip.SearchPresentDevice(list);
  EXPECT_EQ(list.count, 1);

  std::filesystem::remove_all(root / "card3");
  std::filesystem::remove(nodes / "controlC3");
  list = {};
  chip.SearchPresentDevice(list);
  EXPECT_EQ(list.count, 0);
}

// The presence signal is readable exactly while a change of the nodes waits for the next query.
bool Signalled(const AlsaHeadsetChip& chip) {
  pollfd polled{chip.PresenceSignal(), POLLIN, 0};
  return ::poll(&polled, 1, 0) == 1;
}

TEST_F(FakeProcAsound, ANodeChangeSignalsUntilTheNextQuery) {
  AlsaHeadsetChip chip(root, nodes);
  ASSERT_GE(chip.PresenceSignal(), 0);
  PresentDeviceList list;
  chip.SearchPresentDevice(list);
  EXPECT_FALSE(Signalled(chip));

  std::ofstream(nodes / "controlC3");
  EXPECT_TRUE(Signalled(chip));
  chip.SearchPresentDevice(list);
  EXPECT_FALSE(Signalled(chip)) << "the query has seen the change";
}

// No sound card yet: udev creates the nodes folder with the first one, so its parent is watched
// for it, and the folder's creation is the sign to scan.
TEST_F(FakeProcAsound, WithoutTheNodesFolderItsCreationIsTheSign) {
  AlsaHeadsetChip chip(root, nodes / "snd");
  PresentDeviceList list;
  chip.SearchPresentDevice(list);
  EXPECT_EQ(list.count, 0);
  EXPECT_FALSE(Signalled(chip));

  std::filesystem::create_directories(root / "card1");
  std::ofstream(root / "card1" / "usbid") << "0c76:1630\n";
  std::filesystem::create_directories(nodes / "snd");
  EXPECT_TRUE(Signalled(chip));
  list = {};
  chip.SearchPresentDevice(list);
  EXPECT_EQ(list.count, 1);
  EXPECT_FALSE(Signalled(chip));

  // From now on the folder itself is watched.
  std::filesystem::remove_all(root / "card1");
  std::ofstream(nodes / "snd" / "controlC1");
  EXPECT_TRUE(Signalled(chip));
  list = {};
  chip.SearchPresentDevice(list);
  EXPECT_EQ(list.count, 0);
}

}  // namespace
}  // namespace korva::headset
