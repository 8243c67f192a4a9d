// The keyboard lighting page built from the shipped skin inside a window, routed as the main window
// routes it, over the session's keyboard controller and a simulated keyboard: what each control
// changes in the working settings, the custom sets, the light profile file and on the keyboard.

#include "keyboard/page/KeyboardLightPage.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "session/KeyboardController.h"
#include "tests/session/SessionFixture.h"
#include "tests/sim/SimAttached.h"
#include "tests/ui/ShippedSkinWindow.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::keyboard {
namespace {

using korva::test::Request;
using korva::test::Sent;
using ui::Control;
using ui::SendNotify;

class KeyboardLightPageTest : public session::test::SessionFixture {
 protected:
  void SetUp() override {
    ASSERT_NE(korva::test::SharedShippedSkin(), nullptr);
    ASSERT_TRUE(folder.isValid());
    keyboardId = Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard);
    ASSERT_GE(keyboardId, 0);
    ASSERT_TRUE(Keyboard().ReadAll().changed);

    const QString file = folder.filePath(QStringLiteral("window.xml"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(R"(<Window size="1100,700"><HorizontalLayout><kb_Deng_UI/></HorizontalLayout></Window>)");
    out.close();
    window = std::make_unique<korva::test::ShippedPageWindow>(*korva::test::SharedShippedSkin());
    auto error = window->Build(file, window.get());
    ASSERT_FALSE(error) << error->ToString();
    router = std::make_unique<ui::NotifyRouter>(*window, *session);
    notifier = std::make_unique<korva::test::RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());

    KeyboardLightPage::Hooks hooks;
    hooks.modeSelected = [this](std::uint8_t mode, std::uint8_t) { selected.push_back(mode); };
    hooks.rippleAt = [this](std::uint8_t key) { ripples.push_back(key); };
    hooks.customColoursChanged = [this](std::span<const std::uint8_t> sets, std::uint8_t set) {
      previewSets.assign(sets.begin(), sets.end());
      previewSet = set;
    };
    page = std::make_unique<KeyboardLightPage>(*window, Keyboard(), std::move(hooks));
    ASSERT_TRUE(page->RegisterRoutes(*router));
    page->Refresh();
    bus.ClearRequests(keyboardId);
  }
  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  session::KeyboardController& Keyboard() { return session->Keyboard(); }
  KeyboardImage& Image() { return Keyboard().Image(); }
  std::array<std::uint8_t, 21>& Bytes() { return Image().active.bytes; }
  Control Find(const char* name) const { return window->FindControl(QString::fromLatin1(name)); }
  void SelectMode(int mode) { Find("kb_deng_combo_modeSelect").SelectItem(mode, SendNotify::Yes); }
  void Click(const char* name) { window->SendNotify(Find(name), QStringLiteral("click")); }
  std::vector<std::uint8_t> SavedLight() {
    return Keyboard().LightStore().LoadProfile(Keyboard().LightStore().SelectedIndex()).payload;
  }
  std::vector<Sent> Requests() const {
    std::vector<Sent> sent;
    for (const sim::SimRequest& request : bus.Requests(keyboardId)) sent.push_back(korva::test::Decode(request));
    return sent;
  }
  // The deferred write runs now (as the timer's next tick would).
  void Flush() { Keyboard().FlushDeferredWrite(); }

  QTemporaryDir folder;
  int keyboardId = -1;
  std::unique_ptr<korva::test::ShippedPageWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<korva::test::RoutingNotifier> notifier;
  std::unique_ptr<KeyboardLightPage> page;
  std::vector<std::uint8_t> selected;
  std::vector<std::uint8_t> ripples;
  std::vector<std::uint8_t> previewSets;
  int previewSet = -1;
};

TEST_F(KeyboardLightPageTest, ModesEnableTheirSectionsAndTheClickRippleKeepsTheSpeedSectionAsItWas) {
  struct Case {
    std::vector<int> modes;
    bool direction, colour, multicolour, speed, sameMode;
  };
  const Case cases[] = {
      {{3}, false, true, false, false, true},
      {{3, 9}, false, true, true, false, false},
      {{0, 9}, false, true, true, true, false},
      {{1}, false, false, false, true, true},
  };
  for (const Case& c : cases) {
    for (int mode : c.modes) SelectMode(mode);
    const std::string at = "after modes ending in " + std::to_string(c.modes.back());
    EXPECT_EQ(Find("kb_deng_fx_layout").IsEnabled(), c.direction) << at;
    EXPECT_EQ(Find("kb_deng_color_layout").IsEnabled(), c.colour) << at;
    EXPECT_EQ(Find("kb_deng_7colorselect_layout").IsEnabled(), c.multicolour) << at;
    EXPECT_EQ(Find("kb_deng_speed_layout").IsEnabled(), c.speed) << at;
    EXPECT_EQ(Find("kb_deng_same_mode").IsEnabled(), c.sameMode) << at;
    EXPECT_EQ(Bytes()[kModeByte], c.modes.back()) << at;
    EXPECT_EQ(SavedLight().at(kModeByte), c.modes.back()) << at << ": saved";
  }
  // The combo tells only a change of its item: choosing mode 3 again starts nothing over.
  EXPECT_EQ(selected, (std::vector<std::uint8_t>{3, 9, 0, 9, 1})) << "each choice starts the preview over";
}

TEST_F(KeyboardLightPageTest, TheCustomModeShowsItsLayoutsAndThePaintColourWhichASwatchChangesAlone) {
  Image().paintColour = {0x12, 0x34, 0x56};
  Bytes()[kMulticolourByte] = 1;
  SelectMode(kCustomColoursMode);
  for (const char* name : {"kb_deng_custom_tool_layout", "kb_deng_custom_select_layout", "kb_deng_custom_color_layout"})
    EXPECT_TRUE(Find(name).IsVisible()) << name;
  for (const char* name : {"kb_deng_fx_layout", "kb_deng_7colorselect_layout", "kb_deng_color_display_layout"})
    EXPECT_FALSE(Find(name).IsVisible()) << name;
  EXPECT_EQ(Find("kb_deng_Color_Pallet").SelectColor(), 0xFF123456u);
  EXPECT_EQ(Find("kb_Deng_edit_G").Text(), QStringLiteral("52"));
  Flush();
  ASSERT_FALSE(Keyboard().DeferredWritePending());
  const auto record = Image().active;

  Click("kb_Deng_color_btn_0");  // red
  EXPECT_EQ(Image().paintColour, (std::array<std::uint8_t, 3>{0xFF, 0, 0}));
  EXPECT_EQ(Find("kb_Deng_custom_colordp_btn").BkColor(), 0xFFFF0000u);
  EXPECT_EQ(Image().active, record) << "bytes 5..8 unchanged";
  EXPECT_FALSE(Keyboard().DeferredWritePending());
  EXPECT_EQ(SavedLight().at(65), 0xFF) << "the paint colour is saved";

  SelectMode(2);
  EXPECT_FALSE(Find("kb_deng_custom_tool_layout").IsVisible());
  EXPECT_TRUE(Find("kb_deng_color_display_layout").IsVisible());
}

TEST_F(KeyboardLightPageTest, ASwatchInAColourModeEndsTheMulticolour) {
  SelectMode(2);
  Find("kb_Deng_7color_check").Select(true, SendNotify::Yes);
  ASSERT_EQ(Bytes()[kMulticolourByte], 1);
  Click("kb_Deng_color_btn_0");
  EXPECT_EQ(Bytes()[kMulticolourByte], 0);
  EXPECT_FALSE(Find("kb_Deng_7color_check").IsSelected());
  EXPECT_EQ(Bytes()[kRedByte], 0xFF);
  EXPECT_EQ(Bytes()[kRedByte + 1], 0);
  EXPECT_EQ(Find("kb_Deng_colordp_btn").BkColor(), 0xFFFF0000u);
  EXPECT_TRUE(Keyboard().DeferredWritePending());
  EXPECT_EQ(SavedLight().at(kMulticolourByte), 0);
}

TEST_F(KeyboardLightPageTest, ATypedComponentIsBoundedAndSavedWithTheNextSavingChange) {
  SelectMode(0);
  Bytes()[kRedByte + 1] = 17;
  Keyboard().SaveLightProfile();
  struct Case {
    const char* typed;
    const char* shown;
    std::uint8_t stored;
  };
  for (const Case& c : {Case{"300", "255", 255}, Case{"-1", "0", 0}, Case{"42", "42", 42}}) {
    Find("kb_Deng_edit_G").SetText(QString::fromLatin1(c.typed), SendNotify::Yes);
    EXPECT_EQ(Find("kb_Deng_edit_G").Text(), QString::fromLatin1(c.shown)) << c.typed;
    EXPECT_EQ(Bytes()[kRedByte + 1], c.stored) << c.typed;
    EXPECT_EQ(SavedLight().at(kRedByte + 1), 17) << c.typed << ": the file keeps the old green";
  }
  Find("kb_Deng_FXR_check").Select(true, SendNotify::Yes);
  EXPECT_EQ(SavedLight().at(kRedByte + 1), 42) << "saved with the next saving change";
  EXPECT_EQ(SavedLight().at(kDirectionByte), 0);
}

TEST_F(KeyboardLightPageTest, PreviewKeyClicksPaintInTheCustomModeAndRippleInTheClickMode) {
  Image().paintColour = {9, 8, 7};
  for (int mode = 0; mode < kKeyboardLightModeCount; ++mode) {
    SelectMode(mode);
    ripples.clear();
    const auto sets = Image().customSets;
    Click("kb_dkey_0");
    std::size_t changed = 0;
    for (std::size_t i = 0; i < sets.size(); ++i) changed += sets[i] != Image().customSets[i];
    EXPECT_EQ(changed, mode == kCustomColoursMode ? 3u : 0u) << "mode " << mode;
    EXPECT_EQ(ripples, mode == kClickRippleMode ? std::vector<std::uint8_t>{0} : std::vector<std::uint8_t>{})
        << "mode " << mode;
  }
  SelectMode(kCustomColoursMode);
  EXPECT_EQ(previewSets, std::vector<std::uint8_t>(Image().customSets.begin(), Image().customSets.end()))
      << "the preview has the painted set";
}

TEST_F(KeyboardLightPageTest, ClearAndFillWorkOnTheSelectedSetAndAreSaved) {
  SelectMode(kCustomColoursMode);
  Find("kb_deng_combo_curtom_count").SelectItem(4, SendNotify::Yes);
  EXPECT_EQ(Image().customSet, 4);
  EXPECT_EQ(previewSet, 4);
  Click("kb_Deng_color_btn_2");
  Find("kb_Deng_all_kill_check").Select(true, SendNotify::Yes);
  Find("kb_Deng_all_bright_check").Select(true, SendNotify::Yes);
  EXPECT_TRUE(Find("kb_Deng_all_bright_check").IsSelected());
  EXPECT_FALSE(Find("kb_Deng_all_kill_check").IsSelected());
  const std::vector<std::uint8_t> saved = SavedLight();
  ASSERT_EQ(saved.size(), kKeyboardLightPayloadSize);
  EXPECT_EQ(saved[64], 4);
  const std::size_t set4 = 68 + 4 * kCustomSetSize;
  for (std::size_t led = 0; led < kKeyPictureCount; ++led)
    ASSERT_EQ(saved[set4 + led * 3 + 1], Image().paintColour[1]) << "entry " << led;
}

TEST_F(KeyboardLightPageTest, BrightnessAndSpeedGoToTheKeyboardAtOnceAndTheRecordWithTheFlush) {
  Find("kb_deng_light_slider").SetValue(5, SendNotify::Yes);
  Find("kb_deng_speed_slider").SetValue(0, SendNotify::Yes);
  EXPECT_EQ(Bytes()[kBrightnessByte], 5);
  EXPECT_EQ(Bytes()[kSpeedByte], 14);
  EXPECT_TRUE(session->Device(DeviceKind::kKeyboard).streamEnabled);
  Flush();
  Sent brightness = Request(0x06, 1, 2);
  brightness.payload[0] = 5;
  Sent speed = Request(0x06, 1, 3);
  speed.payload[0] = 14;
  Sent record = Request(0x06, 56, 0);
  std::copy(Bytes().begin(), Bytes().end(), record.payload.begin());
  EXPECT_EQ(Requests(), (std::vector<Sent>{brightness, speed, record}));
  EXPECT_EQ(bus.Firmware(keyboardId).Record(0)[kSpeedByte], 14);
  EXPECT_FALSE(Keyboard().DeferredWritePending());
  const std::vector<std::uint8_t> saved = SavedLight();
  EXPECT_EQ(saved.at(kBrightnessByte), 5);
  EXPECT_EQ(saved.at(kSpeedByte), 14);
}

TEST_F(KeyboardLightPageTest, ARefreshShowsStoredValuesOutsideTheirRangesAsTheNearestValidOnes) {
  Bytes()[kModeByte] = 77;
  Bytes()[kBrightnessByte] = 200;
  Bytes()[kSpeedByte] = 30;
  Bytes()[kDirectionByte] = 1;
  Image().customSet = 12;
  page->Refresh();
  EXPECT_EQ(Find("kb_deng_combo_modeSelect").CurSel(), 9);
  EXPECT_EQ(Find("kb_deng_light_slider").Value(), 14);
  EXPECT_EQ(Find("kb_deng_speed_slider").Value(), 0);
  EXPECT_TRUE(Find("kb_Deng_FXL_check").IsSelected());
  EXPECT_FALSE(Find("kb_Deng_FXR_check").IsSelected());
  EXPECT_EQ(Find("kb_deng_combo_curtom_count").CurSel(), 4);
  EXPECT_EQ(previewSet, 4);
  EXPECT_TRUE(Requests().empty()) << "showing sends nothing";
}

}  // namespace
}  // namespace korva::keyboard
