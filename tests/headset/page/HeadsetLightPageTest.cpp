// The headset lighting page built from the shipped skin inside a window, routed as the main window
// routes it; the hooks record what the page hands on.

#include "headset/page/HeadsetLightPage.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "lighting/LightingRecords.h"
#include "tests/ui/ShippedSkinWindow.h"
#include "ui/routing/NotifyRouter.h"
#include "ui/routing/PresetColourTable.h"

namespace korva::headset {
namespace {

using lighting::LightingSettings;
using ui::Control;
using ui::SendNotify;

class HeadsetLightPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    korva::test::EnsureQtApplication();
    std::string error;
    skin_ = korva::test::OpenShippedSkin(QStringLiteral("lan_en.xml"), error).release();
    ASSERT_NE(skin_, nullptr) << error;
  }
  static void TearDownTestSuite() {
    delete skin_;
    skin_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(windowFolder.isValid());
    window = std::make_unique<korva::test::ShippedPageWindow>(*skin_);
    const std::optional<std::string> error =
        korva::test::BuildShippedPage(*window, QDir(windowFolder.path()), "HS_DENG_UI");
    ASSERT_FALSE(error) << *error;
    router = std::make_unique<ui::NotifyRouter>(*window, records);
    notifier = std::make_unique<korva::test::RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());
    HeadsetLightPage::Hooks hooks;
    hooks.changed = [this](const LightingSettings& record) { changes.push_back(record); };
    hooks.modeSelected = [this](std::uint8_t mode, std::uint8_t) { modes.push_back(mode); };
    page = std::make_unique<HeadsetLightPage>(*window, std::move(hooks));
    ASSERT_TRUE(page->RegisterRoutes(*router));
  }
  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  Control Find(const char* name) const { return window->FindControl(QString::fromLatin1(name)); }
  void Send(const char* name, const char* type) { window->SendNotify(Find(name), QString::fromLatin1(type)); }
  void Type(const char* edit, const char* text) { Find(edit).SetText(QString::fromLatin1(text), SendNotify::Yes); }

  static inline ui::Skin* skin_ = nullptr;
  QTemporaryDir windowFolder;
  lighting::LightingRecords records;
  std::unique_ptr<korva::test::ShippedPageWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<korva::test::RoutingNotifier> notifier;
  std::unique_ptr<HeadsetLightPage> page;
  std::vector<LightingSettings> changes;
  std::vector<int> modes;
};

TEST_F(HeadsetLightPageTest, EveryControlOfThePageIsThere) {
  for (const char* name :
       {"hs_deng_combo_modeSelect", "hs_deng_light_slider", "hs_deng_speed_slider", "hs_Deng_FXL_check",
        "hs_Deng_FXR_check", "hs_Deng_7color_check", "hs_Deng_basecolor_check", "hs_deng_Color_Pallet",
        "hs_Deng_colordp_btn", "hs_Deng_edit_R", "hs_Deng_edit_G", "hs_Deng_edit_B", "hs_deng_same_mode",
        "hs_deng_light_layout", "hs_deng_speed_layout", "hs_deng_7colorselect_layout", "hs_deng_color_layout",
        "hs_deng_fx_layout", "hs_Deng_color_btn_0", "hs_Deng_color_btn_29", "head_dkey_0", "head_dkey_12"})
    EXPECT_TRUE(Find(name).IsValid()) << name;
}

// A selected mode enables its sections, leaves the synchronised lighting and is handed on.
TEST_F(HeadsetLightPageTest, AModeEnablesItsSections) {
  struct Case {
    int mode;
    bool light, speed, multicolour, colour, direction;
  };
  const Case cases[] = {{0, true, true, true, true, true},
                        {1, true, true, false, false, false},
                        {2, true, true, true, true, false},
                        {3, true, false, false, true, false}};
  page->Show({3, 0, 0, 0, 0, 0, 0, 0});  // every case below is a change of the selection
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    ASSERT_TRUE(Find("hs_deng_combo_modeSelect").SelectItem(c.mode, SendNotify::Yes));
    EXPECT_EQ(page->Record().mode, c.mode);
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes.back(), c.mode);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back().mode, c.mode);
    EXPECT_EQ(Find("hs_deng_light_layout").IsEnabled(), c.light);
    EXPECT_EQ(Find("hs_deng_speed_layout").IsEnabled(), c.speed);
    EXPECT_EQ(Find("hs_deng_7colorselect_layout").IsEnabled(), c.multicolour);
    EXPECT_EQ(Find("hs_deng_color_layout").IsEnabled(), c.colour);
    EXPECT_EQ(Find("hs_deng_fx_layout").IsEnabled(), c.direction);
  }
}

TEST_F(HeadsetLightPageTest, SlidersStoreBrightnessAndTheReversedSpeed) {
  Find("hs_deng_light_slider").SetValue(9, SendNotify::Yes);
  Find("hs_deng_speed_slider").SetValue(3, SendNotify::Yes);
  EXPECT_EQ(page->Record().brightness, 9);
  EXPECT_EQ(page->Record().speed, 11);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes.back(), page->Record());
}

TEST_F(HeadsetLightPageTest, TheDirectionPairIsOneChoiceAndFxlTwiceStaysLeft) {
  Send("hs_Deng_FXR_check", "selectchanged");
  EXPECT_EQ(page->Record().direction, 0);
  EXPECT_TRUE(Find("hs_Deng_FXR_check").IsSelected());
  EXPECT_FALSE(Find("hs_Deng_FXL_check").IsSelected());
  for (int n = 0; n < 2; ++n) {
    Send("hs_Deng_FXL_check", "selectchanged");
    EXPECT_EQ(page->Record().direction, 1);
    EXPECT_TRUE(Find("hs_Deng_FXL_check").IsSelected());
    EXPECT_FALSE(Find("hs_Deng_FXR_check").IsSelected());
  }
  EXPECT_EQ(changes.size(), 3u);
}

TEST_F(HeadsetLightPageTest, TypingAboveTheRangeStores255AndEndsMulticolour) {
  page->Show({2, 14, 0, 0, 1, 0x10, 0x20, 0x30});
  Find("hs_Deng_basecolor_check").Select(true);
  Type("hs_Deng_edit_G", "300");
  EXPECT_EQ(Find("hs_Deng_edit_G").Text(), QStringLiteral("255"));
  EXPECT_EQ(page->Record(), (LightingSettings{2, 14, 0, 0, 0, 0x10, 255, 0x30}));
  EXPECT_EQ(Find("hs_Deng_colordp_btn").BkColor(), 0xFF10FF30u);
  EXPECT_EQ(Find("hs_deng_Color_Pallet").SelectColor(), 0xFF10FF30u);
  EXPECT_FALSE(Find("hs_Deng_basecolor_check").IsSelected());
  EXPECT_FALSE(Find("hs_Deng_7color_check").IsSelected());
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), page->Record());
}

TEST_F(HeadsetLightPageTest, ASwatchOrThePaletteStoresItsColour) {
  page->Show({3, 14, 0, 0, 1, 0, 0, 0});
  Send("hs_Deng_color_btn_3", "click");
  const std::uint32_t preset = ui::PresetColourTable[3];
  EXPECT_EQ(Find("hs_Deng_colordp_btn").BkColor(), preset);
  EXPECT_EQ(Find("hs_Deng_edit_R").Text(), QString::number((preset >> 16) & 0xFF));
  EXPECT_EQ(Find("hs_Deng_edit_B").Text(), QString::number(preset & 0xFF));
  EXPECT_FALSE(Find("hs_Deng_7color_check").IsSelected());
  EXPECT_EQ(page->Record(), (LightingSettings{3, 14, 0, 0, 0, 0x7E, 0x00, 0xFF}));
  Find("hs_deng_Color_Pallet").SetSelectColor(0xFF123456, SendNotify::Yes);
  EXPECT_EQ(page->Record(), (LightingSettings{3, 14, 0, 0, 0, 0x12, 0x34, 0x56}));
  EXPECT_EQ(Find("hs_Deng_edit_G").Text(), QStringLiteral("52"));
}

TEST_F(HeadsetLightPageTest, MulticolourFollowsItsBox) {
  Find("hs_Deng_7color_check").Select(true, SendNotify::Yes);
  EXPECT_EQ(page->Record().multicolour, 1);
  Find("hs_Deng_7color_check").Select(false, SendNotify::Yes);
  EXPECT_EQ(page->Record().multicolour, 0);
}

// A record from a profile is shown on every control; nothing is stored or handed on.
TEST_F(HeadsetLightPageTest, ShowingARecordStoresNothing) {
  page->Show({0, 9, 4, 0, 1, 1, 2, 3});
  EXPECT_EQ(Find("hs_deng_combo_modeSelect").CurSel(), 0);
  EXPECT_TRUE(Find("hs_deng_fx_layout").IsEnabled());
  EXPECT_EQ(Find("hs_deng_light_slider").Value(), 9);
  EXPECT_EQ(Find("hs_deng_speed_slider").Value(), 10);
  EXPECT_TRUE(Find("hs_Deng_7color_check").IsSelected());
  EXPECT_TRUE(Find("hs_Deng_FXR_check").IsSelected());
  EXPECT_FALSE(Find("hs_Deng_FXL_check").IsSelected());
  EXPECT_EQ(Find("hs_Deng_colordp_btn").BkColor(), 0xFF010203u);
  EXPECT_EQ(Find("hs_deng_Color_Pallet").SelectColor(), 0xFF010203u);
  EXPECT_EQ(Find("hs_Deng_edit_B").Text(), QStringLiteral("3"));
  EXPECT_TRUE(changes.empty());
  EXPECT_TRUE(modes.empty());
  // A broken record shows no mode item and the nearest slider ends.
  page->Show({7, 99, 99, 1, 0, 0, 0, 0});
  EXPECT_EQ(Find("hs_deng_combo_modeSelect").CurSel(), -1);
  EXPECT_EQ(Find("hs_deng_light_slider").Value(), 14);
  EXPECT_EQ(Find("hs_deng_speed_slider").Value(), 0);
  EXPECT_TRUE(changes.empty());
}

}  // namespace
}  // namespace korva::headset
