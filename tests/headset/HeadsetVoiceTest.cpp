#include "headset/HeadsetVoice.h"

#include <gtest/gtest.h>

#include <memory>

#include "HeadsetTestFolder.h"
#include "VolumesOnlyChip.h"
#include "sim/headset/SimulatedHeadsetChip.h"

namespace korva::headset {
namespace {

using sim::SimHeadsetAudioState;
using sim::SimulatedHeadsetChip;
using testing::HeadsetFolder;
using testing::ReadText;
using testing::WriteText;

class HeadsetVoiceTest : public ::testing::Test {
 protected:
  HeadsetVoiceTest() {
    EXPECT_EQ(audio.Bind(chip), kAudioBindOk);
    folder.Write({"alpha", "beta"}, 0);
  }

  HeadsetVoiceSettings Saved(int index) {
    HeadsetProfileResult loaded = folder.profiles().Load(index);
    EXPECT_TRUE(loaded.result.ok());
    return loaded.profile.voice.value_or(HeadsetVoiceSettings{});
  }

  std::shared_ptr<SimulatedHeadsetChip> chip = std::make_shared<SimulatedHeadsetChip>();
  AudioLibrary audio;
  HeadsetFolder folder;
  HeadsetVoice voice{audio, folder.profiles()};
};

TEST_F(HeadsetVoiceTest, SelectingAProfileSendsEverySettingInOrderAndStoresTheSelection) {
  ASSERT_TRUE(voice.SelectProfile(1).ok());
  EXPECT_EQ(folder.IndexValue("PROFILESELECT", "select"), "1");
  // The test default selects scene 1, whose "eqinfo" entry has 3D and sound field on, mode 2.
  const std::vector<std::string> expected = {
      "SetSpeakerChannelVolume(60, 50)",
      "SetSpeakerMasterVolume(70)",
      "SetMicVolume(40)",
      "SetVirtual7ch1(...)",
      "SetVirtual7ch1_OnOff(0)",
      "SetSoundField(2)",
      "SetSoundField_OnOff(1)",
      "Config3D_ById(0)",
      "Set3D_OnOff_ById(1, 0)",
      "SetEncOnOff(0)",
  };
  EXPECT_EQ(chip->CallLog(), expected);
  const SimHeadsetAudioState state = chip->AudioState();
  EXPECT_FLOAT_EQ(state.virtual71.distances[2], static_cast<float>(30 * 0.017));
  EXPECT_FLOAT_EQ(state.virtual71.angles[1], static_cast<float>(5 * 0.0628));
  EXPECT_EQ(voice.Light().mode, 3);
  EXPECT_EQ(voice.Light().red, 200);
}

TEST_F(HeadsetVoiceTest, AProfileWithoutVoiceInfoKeepsTheVoiceAndLoadsTheLight) {
  ASSERT_TRUE(voice.SelectProfile(0).ok());
  const HeadsetVoiceSettings before = voice.Settings();
  WriteText(folder.File("beta"), R"({"LightInfo":{"SelectItem":1,"Blue":77}})");
  ASSERT_TRUE(voice.SelectProfile(1).ok());
  EXPECT_EQ(voice.Settings(), before);
  EXPECT_EQ(voice.Light().mode, 1);
  EXPECT_EQ(voice.Light().blue, 77);
}

TEST_F(HeadsetVoiceTest, AProfileThatDoesNotReadAppliesNothingOfIt) {
  ASSERT_TRUE(voice.SelectProfile(0).ok());
  const HeadsetVoiceSettings before = voice.Settings();
  const lighting::LightingSettings lightBefore = voice.Light();
  // The light reads, the voice does not: neither is taken.
  WriteText(folder.File("beta"), R"({"LightInfo":{"Blue":1},"VoiceInfo":{"master":5,"distance":"far"}})");
  EXPECT_EQ(voice.SelectProfile(1).status, profile::StoreStatus::kFileInvalid);
  EXPECT_EQ(voice.Settings(), before);
  EXPECT_EQ(voice.Light(), lightBefore);
  EXPECT_EQ(chip->AudioState().masterVolume, before.master);
}

TEST_F(HeadsetVoiceTest, TheAngleSliderChangesOnlyTheSelectedSpeakersAngle) {
  ASSERT_TRUE(voice.SelectProfile(0).ok());
  voice.SelectSpeaker(2);
  const int distanceBefore = voice.Settings().distances[2];
  voice.MoveSpeaker(SpeakerSlider::kAngle, distanceBefore, 100);

  EXPECT_EQ(voice.Settings().angles[2], 100);
  EXPECT_EQ(voice.Settings().distances[2], distanceBefore);
  EXPECT_FLOAT_EQ(chip->AudioState().virtual71.angles[2], 6.28f);
  const HeadsetVoiceSettings saved = Saved(0);
  EXPECT_EQ(saved.angles[2], 100);
  EXPECT_EQ(saved.speaker, 2);
}

TEST_F(HeadsetVoiceTest, SceneButtonsSendTheirPresetAndLeaveTheProfilesScenes) {
  ASSERT_TRUE(voice.SelectProfile(0).ok());
  const auto scenesBefore = voice.Settings().scenes;
  chip->ClearLogs();
  const SceneButton* button = voice.SelectScene(5);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->bands, (std::array<int, 8>{3, 3, 4, 3, 3, 3, 4, 3}));
  const SimHeadsetAudioState state = chip->AudioState();
  EXPECT_TRUE(state.threeDOn);
  EXPECT_FALSE(state.soundFieldOn);
  EXPECT_EQ(state.pwmConfig, 1);
  EXPECT_EQ(chip->CallLog().front(), "PWM_SetConfig_ById(1, 0)");
  const HeadsetVoiceSettings saved = Saved(0);
  EXPECT_EQ(saved.scene, 5);
  EXPECT_EQ(saved.scenes, scenesBefore);

  EXPECT_EQ(voice.SelectScene(6), nullptr);
  EXPECT_EQ(voice.Settings().scene, 5);
}

TEST_F(HeadsetVoiceTest, SliderValuesAreLimitedSentAndSaved) {
  ASSERT_TRUE(voice.SelectProfile(1).ok());
  voice.SetMaster(500);
  voice.SetChannels(-4, 30);
  voice.SetMic(55);
  const SimHeadsetAudioState state = chip->AudioState();
  EXPECT_EQ(state.masterVolume, 100);
  EXPECT_EQ(state.leftVolume, 0);
  EXPECT_EQ(state.rightVolume, 30);
  EXPECT_EQ(state.micVolume, 55);
  const HeadsetVoiceSettings saved = Saved(1);
  EXPECT_EQ(saved.master, 100);
  EXPECT_EQ(saved.left, 0);
  EXPECT_EQ(saved.right, 30);
  EXPECT_EQ(saved.mic, 55);
  EXPECT_EQ(Saved(0).master, 70) << "the other profile is untouched";
}

TEST_F(HeadsetVoiceTest, VirtualSurroundIsSentButSavedOnlyWithTheNextVoiceSave) {
  ASSERT_TRUE(voice.SelectProfile(0).ok());
  voice.SetVirtual(true);
  EXPECT_TRUE(chip->AudioState().virtual71On);
  EXPECT_EQ(Saved(0).virtualSurround, 0);
  voice.SetMic(10);
  EXPECT_EQ(Saved(0).virtualSurround, 1);
}

TEST_F(HeadsetVoiceTest, RestoreButtonsTakeTheDefaultFile) {
  WriteText(folder.File("alpha"), R"({"LightInfo":{"Red":1},"VoiceInfo":{"master":1}})");
  ASSERT_TRUE(voice.SelectProfile(0).ok());

  ASSERT_TRUE(voice.RecoverVoice().ok());
  EXPECT_EQ(voice.Settings().master, 70);
  EXPECT_EQ(voice.Light().red, 1) << "recover leaves the lighting";
  EXPECT_EQ(chip->AudioState().masterVolume, 70);
  EXPECT_EQ(Saved(0).master, 70);

  ASSERT_TRUE(voice.RestoreAll().ok());
  EXPECT_EQ(voice.Light().red, 200);
  EXPECT_EQ(folder.profiles().Load(0).profile.light.red, 200);
}

TEST(HeadsetVoiceUnapplied, NamesTheSettingsTheBackendDoesNotTakeAndStillStoresThem) {
  HeadsetFolder folder;
  folder.Write({"alpha"}, 0);
  AudioLibrary audio;
  ASSERT_EQ(audio.Bind(std::make_shared<testing::VolumesOnlyChip>()), kAudioBindOk);
  HeadsetVoice voice(audio, folder.profiles());
  ASSERT_TRUE(voice.SelectProfile(0).ok());
  EXPECT_EQ(voice.Unapplied(), kUnappliedSurround | kUnappliedSoundField | kUnapplied3D | kUnappliedEnc);

  voice.SelectScene(3);
  EXPECT_EQ(voice.Settings().scene, 3);
  EXPECT_EQ(folder.profiles().Load(0).profile.voice->scene, 3);
}

}  // namespace
}  // namespace korva::headset
