// The headset voice page built from the shipped skin inside a window, routed as the main window
// routes it, over a simulated headset chip (or one without the chip's effects) and a temporary
// headset data folder.

#include "headset/page/HeadsetVoicePage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "lighting/LightingRecords.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "tests/headset/HeadsetTestFolder.h"
#include "tests/headset/VolumesOnlyChip.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "tests/ui/ShippedSkinWindow.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::headset {
namespace {

using testing::ReadText;
using testing::WriteText;
using ui::Control;
using ui::SendNotify;

class HeadsetVoicePageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    korva::test::EnsureQtApplication();
    auto opened = ui::Skin::Open(ui::Skin::SourceSkinFolder());
    ASSERT_TRUE(opened) << opened.error().ToString();
    skin_ = opened.value().release();
    ui::RegisterStandardControls(skin_->Factory());
    auto error = skin_->LoadLanguage(QStringLiteral("lan_en.xml"));
    ASSERT_FALSE(error) << error->ToString();
  }
  static void TearDownTestSuite() {
    delete skin_;
    skin_ = nullptr;
  }

  // Builds the page over `chip` and runs its "windowinit".
  void Open(std::shared_ptr<AudioChip> chip) {
    ASSERT_EQ(audio.Bind(std::move(chip)), kAudioBindOk);
    ASSERT_TRUE(windowFolder.isValid());
    const QString file = windowFolder.filePath(QStringLiteral("window.xml"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(R"(<Window size="1000,600"><HS_VOICE_UI/></Window>)");
    out.close();
    window = std::make_unique<korva::test::ShippedPageWindow>(*skin_);
    auto error = window->Build(file, window.get());
    ASSERT_FALSE(error) << error->ToString();
    router = std::make_unique<ui::NotifyRouter>(*window, records);
    notifier = std::make_unique<korva::test::RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());
    HeadsetVoicePage::Hooks hooks;
    hooks.showMessage = [this](const QString& textId) {
      boxes.append(textId);
      return answer;
    };
    hooks.chooseFile = [this](bool) { return chosenFile; };
    hooks.lightChanged = [this](const lighting::LightingSettings& light) { shownLight = light; };
    page = std::make_unique<HeadsetVoicePage>(*window, audio, profile::DataFolders(folder.home()),
                                              folder.defaults(), std::move(hooks));
    ASSERT_TRUE(page->RegisterRoutes(*router));
    page->InitPage();
  }

  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  Control Find(const char* name) const { return window->FindControl(QString::fromLatin1(name)); }
  void Click(const char* name) { window->SendNotify(Find(name), QStringLiteral("click")); }
  QStringList Items() const {
    QStringList items;
    const Control combo = Find("head_device_profile_combo");
    for (int i = 0; i < combo.ItemCount(); ++i) items.append(combo.ItemText(i) + "|" + combo.ItemUserData(i));
    return items;
  }
  std::filesystem::path ProfileFile(const std::string& name) const { return folder.File(name); }

  static ui::Skin* skin_;
  testing::HeadsetFolder folder;  // the data and defaults folders, with the test's default profile
  QTemporaryDir windowFolder;
  AudioLibrary audio;
  lighting::LightingRecords records;
  QStringList boxes;
  int answer = 1;
  QString chosenFile;
  lighting::LightingSettings shownLight{};
  std::unique_ptr<korva::test::ShippedPageWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<korva::test::RoutingNotifier> notifier;
  std::unique_ptr<HeadsetVoicePage> page;  // last: goes first
};
ui::Skin* HeadsetVoicePageTest::skin_ = nullptr;

TEST_F(HeadsetVoicePageTest, SelectingAProfileShowsItsVoiceSettingsAndLight) {
  auto chip = std::make_shared<sim::SimulatedHeadsetChip>();
  Open(chip);
  EXPECT_EQ(Items(), QStringList{"profile1|profile1"});
  Find("head_device_profile_combo").SelectItem(0, SendNotify::Yes);

  // The test default: master 70, left 60, right 50, mic 40, speaker 2 (distance 30, angle 60),
  // scene 1 whose own bands start with 9, lighting mode 3 with red 200.
  EXPECT_EQ(Find("hs_voice_profile_name_edit").Text(), QStringLiteral("profile1"));
  EXPECT_EQ(Find("hs_master_slider").Value(), 70);
  EXPECT_EQ(Find("hs_left_slider").Value(), 60);
  EXPECT_EQ(Find("hs_right_slider").Value(), 50);
  EXPECT_EQ(Find("hs_mic_vol_slider").Value(), 40);
  EXPECT_TRUE(Find("hs_slien_check_2").IsSelected());
  EXPECT_EQ(Find("hs_LB_slider").Value(), 30);
  EXPECT_EQ(Find("hs_ANGLE_slider").Value(), 60);
  EXPECT_TRUE(Find("hs_scenes_btn_1").IsSelected());
  EXPECT_EQ(Find("HZ_Slider_0").Value(), 9);
  EXPECT_EQ(chip->AudioState().soundFieldMode, 2) << "the profile's own scene, not the button's preset";
  EXPECT_EQ(shownLight.mode, 3);
  EXPECT_EQ(shownLight.red, 200);
  EXPECT_FALSE(Find("hs_voice_unapplied_layout").IsVisible());

  // Another speaker shows its own distance and angle.
  Find("hs_slien_check_0").Select(true, SendNotify::Yes);
  EXPECT_EQ(Find("hs_LB_slider").Value(), 1);
  EXPECT_EQ(Find("hs_ANGLE_slider").Value(), 4);
}

TEST_F(HeadsetVoicePageTest, ALightingCopiedFromAnotherDeviceIsSavedInTheSelectedProfile) {
  Open(std::make_shared<sim::SimulatedHeadsetChip>());
  Find("head_device_profile_combo").SelectItem(0, SendNotify::Yes);
  const HeadsetVoiceSettings voice = page->Voice().Settings();
  page->LightingCopied({2, 7, 3, 0, 1, 10, 20, 30});
  const HeadsetProfileResult saved = page->Profiles().Load(0);
  ASSERT_TRUE(saved.result.ok());
  EXPECT_EQ(saved.profile.light, (lighting::LightingSettings{2, 7, 3, 0, 1, 10, 20, 30}));
  EXPECT_EQ(*saved.profile.voice, voice);
}

TEST_F(HeadsetVoicePageTest, TheProfilePanelAddsRenamesAndDeletesWithItsMessages) {
  Open(std::make_shared<sim::SimulatedHeadsetChip>());
  Find("head_device_profile_combo").SelectItem(0, SendNotify::Yes);

  Click("hs_pro_voice_add_btn");
  EXPECT_EQ(Items(), (QStringList{"profile1|profile1", "profile2|profile2"}));
  EXPECT_EQ(Find("head_device_profile_combo").CurSel(), 1);
  EXPECT_EQ(Find("hs_voice_profile_name_edit").Text(), QStringLiteral("profile2"));

  Find("hs_voice_profile_name_edit").SetText(QStringLiteral("PROFILE1"));
  Click("hs_voice_profile_edit_save_btn");
  EXPECT_EQ(boxes, QStringList{"message_text_15"});
  Find("hs_voice_profile_name_edit").SetText(QStringLiteral("quiet"));
  Click("hs_voice_profile_edit_save_btn");
  EXPECT_EQ(Items(), (QStringList{"profile1|profile1", "quiet|quiet"}));
  EXPECT_EQ(Find("head_device_profile_combo").CurSel(), 1);
  EXPECT_TRUE(std::filesystem::exists(ProfileFile("quiet")));
  EXPECT_FALSE(std::filesystem::exists(ProfileFile("profile2")));

  boxes.clear();
  answer = 0;  // "no" to the question
  Click("hs_pro_voice_sub_btn");
  EXPECT_EQ(boxes, QStringList{"message_text_12"});
  EXPECT_EQ(Items().size(), 2);
  answer = 1;
  Click("hs_pro_voice_sub_btn");
  EXPECT_EQ(Items(), QStringList{"profile1|profile1"});
  EXPECT_EQ(Find("head_device_profile_combo").CurSel(), 0);

  boxes.clear();
  Click("hs_pro_voice_sub_btn");
  EXPECT_EQ(boxes, QStringList{"message_text_11"}) << "no question for the last profile";
  EXPECT_EQ(Items(), QStringList{"profile1|profile1"});
}

TEST_F(HeadsetVoicePageTest, AnImportIsCheckedFirstAndThenReloaded) {
  auto chip = std::make_shared<sim::SimulatedHeadsetChip>();
  Open(chip);
  Find("head_device_profile_combo").SelectItem(0, SendNotify::Yes);
  const std::string before = ReadText(ProfileFile("profile1"));

  chosenFile = QString::fromStdString((folder.defaults() / "chosen.json").string());
  WriteText(folder.defaults() / "chosen.json", R"({"VoiceInfo":{"master":"loud"}})");
  Click("hs_pro_voice_import_btn");
  EXPECT_EQ(boxes, QStringList{"message_text_9"});
  EXPECT_EQ(ReadText(ProfileFile("profile1")), before);

  WriteText(folder.defaults() / "chosen.json", R"({"VoiceInfo":{"master":33}})");
  Click("hs_pro_voice_import_btn");
  EXPECT_EQ(Find("hs_master_slider").Value(), 33);
  EXPECT_EQ(chip->AudioState().masterVolume, 33);
}

// korvactl, through the running program, changes the library and chooses a profile.
TEST_F(HeadsetVoicePageTest, ProfilesChangedOrChosenOutsideThePage) {
  auto chip = std::make_shared<sim::SimulatedHeadsetChip>();
  Open(chip);
  Find("head_device_profile_combo").SelectItem(0, SendNotify::Yes);
  const profile::IndexResult added = page->Profiles().Add();
  ASSERT_TRUE(added.result.ok());
  HeadsetProfileResult second = page->Profiles().Load(added.index);
  ASSERT_TRUE(second.result.ok() && second.profile.voice);
  second.profile.voice->master = 25;
  second.profile.light.mode = 1;
  ASSERT_TRUE(page->Profiles().SaveVoiceInfo(added.index, *second.profile.voice).ok());
  ASSERT_TRUE(page->Profiles().SaveLightInfo(added.index, second.profile.light).ok());

  // A new list keeps the profile in effect selected.
  page->ReloadProfiles();
  EXPECT_EQ(Items(), (QStringList{"profile1|profile1", "profile2|profile2"}));
  EXPECT_EQ(Find("head_device_profile_combo").CurSel(), 0);
  EXPECT_EQ(page->Voice().Selected(), 0);

  // A choice is loaded, shown and sent as one on the list is.
  page->ChooseProfile(added.index);
  EXPECT_EQ(Find("head_device_profile_combo").CurSel(), added.index);
  EXPECT_EQ(Find("hs_voice_profile_name_edit").Text(), QStringLiteral("profile2"));
  EXPECT_EQ(Find("hs_master_slider").Value(), 25);
  EXPECT_EQ(chip->AudioState().masterVolume, 25);
  EXPECT_EQ(shownLight.mode, 1);
  EXPECT_EQ(page->Profiles().SelectedIndex(), added.index);
}

TEST_F(HeadsetVoicePageTest, SettingsTheHeadsetDoesNotApplyAreListedAndStillStored) {
  Open(std::make_shared<testing::VolumesOnlyChip>());
  Find("head_device_profile_combo").SelectItem(0, SendNotify::Yes);

  EXPECT_TRUE(Find("hs_voice_unapplied_layout").IsVisible());
  for (const char* shown :
       {"hs_unapplied_surround", "hs_unapplied_soundfield", "hs_unapplied_3d", "hs_unapplied_enc"})
    EXPECT_TRUE(Find(shown).IsVisible()) << shown;
  for (const char* hidden : {"hs_unapplied_volume", "hs_unapplied_mic"})
    EXPECT_FALSE(Find(hidden).IsVisible()) << hidden;

  Find("hs_virtual_check").Select(true, SendNotify::Yes);
  Find("hs_scenes_btn_4").Select(true, SendNotify::Yes);
  EXPECT_EQ(Find("HZ_Slider_1").Value(), 0);
  EXPECT_EQ(Find("HZ_Slider_0").Value(), 5);
  EXPECT_TRUE(Find("hs_virtual_check").IsSelected());
  const HeadsetProfileResult saved = page->Profiles().Load(0);
  ASSERT_TRUE(saved.result.ok());
  EXPECT_EQ(saved.profile.voice->scene, 4);
  EXPECT_EQ(saved.profile.voice->virtualSurround, 1);
}

}  // namespace
}  // namespace korva::headset
