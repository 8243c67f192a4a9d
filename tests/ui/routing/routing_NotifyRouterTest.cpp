// The router on the real main window skin: notifications raised as the user raises them (clicks,
// option selections, palette colours) reach the handlers and page changes the routing rules say.

#include <gtest/gtest.h>

#include <QApplication>
#include <array>
#include <memory>
#include <vector>

#include "RoutingTestSupport.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::ui {
namespace {

using test::Click;

class NotifyRouterTest : public testing::Test {
 protected:
  void SetUp() override {
    skin_ = test::OpenSourceSkin();
    ASSERT_TRUE(skin_);
    window_ = std::make_unique<test::MainWindow>(*skin_);
    ASSERT_TRUE(window_->built);
    router_ = std::make_unique<NotifyRouter>(*window_, records_);
    forward_ = std::make_unique<test::ForwardNotifier>(
        [this](const Notification& msg) { last_ = router_->Dispatch(msg); });
    window_->AddNotifier(forward_.get());
    auto& hooks = router_->Hooks();
    hooks.showMessage = [this](const QString& id) {
      messages_.append(id);
      return 0;
    };
    hooks.setCurrentDevicePage = [this](int page) { currentDevicePage_ = page; };
    hooks.removeInputHooks = [this] { ++hookRemovals_; };
  }

  Control C(const char* name) const { return window_->FindControl(QString::fromLatin1(name)); }
  // The user selects an option (raises "selectchanged" when it becomes selected).
  void Choose(const char* option) { C(option).Select(true, SendNotify::Yes); }
  NotifyRouter::Outcome Send(const char* type, const char* name, qint64 wParam = 0) {
    return router_->Dispatch(
        Notification{QString::fromLatin1(type), QString::fromLatin1(name), C(name), wParam, 0});
  }

  std::unique_ptr<Skin> skin_;
  std::unique_ptr<test::MainWindow> window_;
  lighting::LightingRecords records_;
  std::unique_ptr<NotifyRouter> router_;
  std::unique_ptr<test::ForwardNotifier> forward_;
  NotifyRouter::Outcome last_;
  QStringList messages_;
  int currentDevicePage_ = -1;
  int hookRemovals_ = 0;
};

// ---- colours -------------------------------------------------------------------------------

TEST_F(NotifyRouterTest, SwatchesAndPalettesGiveTheirColourToTheirFamilysHandler) {
  struct Received {
    QString family;
    quint32 argb;
    bool store;
  };
  std::vector<Received> received;
  for (const char* family : {"hs_Deng_color_btn_", "ms_DPI_color_btn_", "ms_Deng_color_btn_",
                             "mp_Deng_color_btn_", "kb_Deng_color_btn_"})
    ASSERT_TRUE(
        router_->BindColour(QString::fromLatin1(family), [&received, family](quint32 argb, bool store) {
          received.push_back({QString::fromLatin1(family), argb, store});
        }));

  struct Row {
    const char* control;
    bool palette;
    const char* family;
    quint32 argb;
  };
  const Row rows[] = {
      {"kb_Deng_color_btn_21", false, "kb_Deng_color_btn_", 0xFF000000},
      {"hs_Deng_color_btn_0", false, "hs_Deng_color_btn_", 0xFFFF0000},
      {"ms_DPI_color_btn_29", false, "ms_DPI_color_btn_", 0xFF4776A4},
      {"ms_Deng_color_btn_13", false, "ms_Deng_color_btn_", 0xFFFF0000},
      {"mp_Deng_color_btn_18", false, "mp_Deng_color_btn_", 0xFFFDFDFC},
      {"kb_deng_Color_Pallet", true, "kb_Deng_color_btn_", 0xFF123456},
      {"hs_deng_Color_Pallet", true, "hs_Deng_color_btn_", 0xFF00FF80},
      {"Pallet", true, "ms_DPI_color_btn_", 0xFF0199CB},
      {"ms_deng_Color_Pallet", true, "ms_Deng_color_btn_", 0xFFABCDEF},
      {"mp_deng_Color_Pallet", true, "mp_Deng_color_btn_", 0xFF102030},
  };
  for (const Row& row : rows) {
    received.clear();
    if (row.palette)
      C(row.control).SetSelectColor(row.argb, SendNotify::Yes);
    else
      Click(C(row.control));
    ASSERT_EQ(received.size(), 1u) << row.control;
    EXPECT_EQ(received[0].family.toStdString(), row.family) << row.control;
    EXPECT_EQ(received[0].argb, row.argb) << row.control;
    EXPECT_TRUE(received[0].store) << row.control;
  }
}

TEST_F(NotifyRouterTest, ASwatchNumberedBeyondThePresetTableReachesNoHandler) {
  int calls = 0;
  ASSERT_TRUE(router_->BindColour(u"kb_Deng_color_btn_", [&](quint32, bool) { ++calls; }));
  const auto outcome = Send("click", "kb_Deng_color_btn_30");
  EXPECT_EQ(outcome.route.area, RouteArea::kKeyboardLighting);
  EXPECT_FALSE(outcome.handled);
  EXPECT_EQ(calls, 0);
}

// ---- names and families ------------------------------------------------------------------------

TEST_F(NotifyRouterTest, AMouseButtonPictureReachesTheButtonHandlerWithItsNumberButTheSaveButtonDoesNot) {
  std::vector<int> edited;
  int saved = 0;
  ASSERT_TRUE(router_->BindFamily(u"click", u"ms_key_",
                                  [&](int index, const Notification&) { edited.push_back(index); }));
  ASSERT_TRUE(router_->Bind(u"click", u"ms_key_butt_keysave", [&](const Notification&) { ++saved; }));

  Click(C("ms_key_3"));
  EXPECT_EQ(edited, std::vector<int>{3});
  Click(C("ms_key_butt_keysave"));
  EXPECT_EQ(edited, std::vector<int>{3});
  EXPECT_EQ(saved, 1);
}

TEST_F(NotifyRouterTest, AKeyboardKeyClickOpensTheHiddenFunctionPanelBeforeItsHandler) {
  Control panel = C("kb_tab_function");
  panel.SetVisible(false);
  panel.SetEnabled(false);
  bool panelOpenInHandler = false;
  int key = -1;
  ASSERT_TRUE(router_->BindFamily(u"click", u"kb_key_", [&](int index, const Notification&) {
    key = index;
    panelOpenInHandler = panel.IsVisible() && panel.IsEnabled();
  }));
  Click(C("kb_key_5"));
  EXPECT_EQ(key, 5);
  EXPECT_TRUE(panelOpenInHandler);
}

TEST_F(NotifyRouterTest, ANameWithoutHandlerIsPassedOnUntilAPageBindsIt) {
  // Listed, but no page has bound it yet: recognised as the mouse settings', nothing runs.
  auto outcome = Send("valuechanged", "ms_DPI2_slider", 7);
  EXPECT_EQ(outcome.route.area, RouteArea::kMouseSettings);
  EXPECT_FALSE(outcome.handled);
  EXPECT_TRUE(outcome.passToBase);

  qint64 value = -1;
  ASSERT_TRUE(router_->Bind(u"valuechanged", u"MS_DPI2_SLIDER",
                            [&](const Notification& msg) { value = msg.wParam; }));
  C("ms_DPI2_slider").SetValue(5, SendNotify::Yes);
  EXPECT_TRUE(last_.handled);
  EXPECT_EQ(value, 5);

  // Removing the handler passes it on again.
  ASSERT_TRUE(router_->Bind(u"valuechanged", u"ms_DPI2_slider", nullptr));
  EXPECT_FALSE(Send("valuechanged", "ms_DPI2_slider", 3).handled);
}

TEST_F(NotifyRouterTest, BindingRefusesNamesTheRoutingDoesNotGiveToAPage) {
  const auto ignore = [](const Notification&) {};
  const auto ignoreIndex = [](int, const Notification&) {};
  EXPECT_FALSE(router_->Bind(u"click", u"ms_key_butt_keysav", ignore));               // misspelt
  EXPECT_FALSE(router_->Bind(u"movevaluechanged", u"kb_deng_light_slider", ignore));  // release only
  EXPECT_FALSE(router_->Bind(u"selectchanged", u"kb_tab", ignore));                   // the routing's own
  EXPECT_FALSE(router_->Bind(u"click", u"closebtn", ignore));                         // the window's
  EXPECT_FALSE(router_->Bind(u"click", u"ms_key_3", ignore));                         // a family member
  EXPECT_FALSE(router_->BindFamily(u"selectchanged", u"ms_key_", ignoreIndex));       // a click family
  EXPECT_FALSE(router_->BindFamily(u"click", u"kb_Deng_color_btn_", ignoreIndex));    // a colour family
  EXPECT_FALSE(router_->BindColour(u"ms_key_", [](quint32, bool) {}));
  EXPECT_TRUE(router_->BindFamily(u"selectchanged", u"hs_slien_check_", ignoreIndex));
  EXPECT_TRUE(router_->Bind(u"itemselect", u"ms_report_fct_combo", ignore));
}

TEST_F(NotifyRouterTest, WindowButtonsGoToTheWindowAndOnlyTheSkinButtonIsRoutedFurther) {
  QStringList pressed;
  router_->Hooks().windowButton = [&](const QString& name) { pressed.append(name); };
  struct Row {
    const char* name;
    bool passToBase;
  };
  for (const Row& row : {Row{"closebtn", false}, Row{"minbtn", false}, Row{"maxbtn", false},
                         Row{"restorebtn", false}, Row{"skinbtn", true}}) {
    const auto outcome = Send("click", row.name);
    EXPECT_TRUE(outcome.handled) << row.name;
    EXPECT_EQ(outcome.passToBase, row.passToBase) << row.name;
  }
  EXPECT_EQ(pressed, QStringList({"closebtn", "minbtn", "maxbtn", "restorebtn", "skinbtn"}));
}

TEST_F(NotifyRouterTest, WindowInitRunsTheStartUpHookAndOtherTypesPassOn) {
  int started = 0;
  router_->Hooks().windowInit = [&] { ++started; };
  EXPECT_TRUE(Send("windowinit", "root").handled);
  EXPECT_EQ(started, 1);
  EXPECT_EQ(Send("windowsize", "root").route.kind, RouteKind::kNone);
  EXPECT_EQ(Send("killfocus", "kb_Deng_edit_R").route.kind, RouteKind::kNone);
}

// ---- page switching -----------------------------------------------------------------------------

TEST_F(NotifyRouterTest, DeviceTabsSelectTheirPageAndTheCurrentDevicePageButSplitLeavesIt) {
  struct Row {
    const char* option;
    int page;
    int current;
  };
  for (const Row& row : {Row{"kb_tab", 0, 0}, Row{"ms_tab", 1, 1}, Row{"mp_tab", 2, 2}, Row{"hs_tab", 3, 3},
                         Row{"split_tab", 4, 3}}) {
    Choose(row.option);
    EXPECT_EQ(C("tab_switch").CurSel(), row.page) << row.option;
    EXPECT_EQ(currentDevicePage_, row.current) << row.option;
  }
  // From the mouse page too: the split page keeps the mouse as the current device page.
  Choose("ms_tab");
  Choose("split_tab");
  EXPECT_EQ(C("tab_switch").CurSel(), 4);
  EXPECT_EQ(currentDevicePage_, 1);
  EXPECT_EQ(hookRemovals_, 7);  // every page change removes the input hooks
}

struct PanelExpectation {
  const char* option;
  const char* tab;
  int page;
  // Profile panel of the device afterwards; nullptr device = not checked (no panel change).
  const char* device;
  bool enabled;
  int selectPage;  // -1: not checked
  bool lightEditVisible;
  bool keyEditVisible;
};

TEST_F(NotifyRouterTest, SubPagesSelectTheirPageAndShowTheirProfilePanel) {
  const PanelExpectation rows[] = {
      {"kb_macro_Op_tab", "kb_tab_switch", 1, "kb", false, -1, false, false},
      {"kb_key_Op_tab", "kb_tab_switch", 2, "kb", true, 1, false, true},
      {"kb_rich_Op_tab", "kb_tab_switch", 3, nullptr, true, -1, false, false},
      {"kb_deng_Op_tab", "kb_tab_switch", 0, "kb", true, 0, true, false},
      {"ms_deng_Op_tab", "ms_tab_switch", 0, "ms", true, 0, true, false},
      {"ms_macro_Op_tab", "ms_tab_switch", 1, "ms", false, -1, false, false},
      {"ms_key_Op_tab", "ms_tab_switch", 2, "ms", true, 1, false, true},
      {"ms_cursor_Op_tab", "ms_tab_switch", 4, "ms", false, -1, false, false},
      {"ms_rich_Op_tab", "ms_tab_switch", 3, "ms", true, 0, true, false},
      {"hs_voice_Op_tab", "hs_tab_switch", 1, nullptr, true, -1, false, false},
      {"hs_deng_Op_tab", "hs_tab_switch", 0, nullptr, true, -1, false, false},
  };
  for (const PanelExpectation& row : rows) {
    const std::string label = row.option;
    // The "more" part of the panel is open before: every sub-page change closes it.
    if (row.device) C((std::string(row.device) + "_profile_fun_spead_tab").c_str()).SetVisible(true);
    Choose(row.option);
    EXPECT_EQ(C(row.tab).CurSel(), row.page) << label;
    if (!row.device) continue;
    const std::string d = row.device;
    const auto c = [&](const char* suffix) { return C((d + suffix).c_str()); };
    EXPECT_FALSE(c("_profile_fun_spead_tab").IsVisible()) << label;
    for (const char* suffix : {"_profile_fun_spread_btn", "_profile_select_tab", "_profile_fun_spead_tab",
                               "_key_profile_edit", "_deng_profile_edit"})
      EXPECT_EQ(c(suffix).IsEnabled(), row.enabled) << label << suffix;
    if (row.selectPage < 0) continue;
    EXPECT_EQ(c("_profile_select_tab").CurSel(), row.selectPage) << label;
    EXPECT_EQ(c("_profile_fun_spead_tab").CurSel(), row.selectPage) << label;
    EXPECT_TRUE(c("_profile_select_tab").IsVisible()) << label;
    EXPECT_TRUE(c("_profile_fun_spread_btn").IsVisible()) << label;
    EXPECT_EQ(c("_deng_profile_edit").IsVisible(), row.lightEditVisible) << label;
    EXPECT_EQ(c("_key_profile_edit").IsVisible(), row.keyEditVisible) << label;
  }
}

TEST_F(NotifyRouterTest, EnteringTheKeyPageClosesTheFunctionPanelOnlyWhenComingFromAnotherPage) {
  for (const char* device : {"kb", "ms"}) {
    const std::string d = device;
    Control panel = C((d + "_tab_function").c_str());
    Choose((d + "_deng_Op_tab").c_str());
    panel.SetVisible(true);
    Choose((d + "_key_Op_tab").c_str());
    EXPECT_FALSE(panel.IsVisible()) << device;
    EXPECT_FALSE(panel.IsEnabled()) << device;

    // Already on the key page (the option raised again): a key's open editor stays open.
    panel.SetVisible(true);
    panel.SetEnabled(true);
    Send("selectchanged", (d + "_key_Op_tab").c_str(), 1);
    EXPECT_TRUE(panel.IsVisible()) << device;
    EXPECT_TRUE(panel.IsEnabled()) << device;
  }
}

TEST_F(NotifyRouterTest, LeavingTheMousePageWithUnsavedMacroEditsIsRefused) {
  Choose("ms_tab");
  Choose("ms_macro_Op_tab");
  C("ms_macro_tab_saveorcancel").SetVisible(true);
  const int removalsBefore = hookRemovals_;

  Choose("kb_tab");
  EXPECT_EQ(messages_, QStringList{"message_text_3"});
  EXPECT_TRUE(C("ms_tab").IsSelected());
  EXPECT_FALSE(C("kb_tab").IsSelected());
  EXPECT_TRUE(C("ms_macro_Op_tab").IsSelected());
  EXPECT_EQ(C("tab_switch").CurSel(), 1);
  EXPECT_EQ(C("ms_tab_switch").CurSel(), 1);
  EXPECT_EQ(currentDevicePage_, 1);
  EXPECT_EQ(hookRemovals_, removalsBefore);

  // The page's own options pass: the mouse tab and the macro option picked again while the editor
  // is open are no attempt to leave it.
  for (const char* own : {"ms_tab", "ms_macro_Op_tab"}) {
    Send("selectchanged", own);
    EXPECT_EQ(messages_.size(), 1) << own;
    EXPECT_EQ(C("tab_switch").CurSel(), 1) << own;
    EXPECT_EQ(C("ms_tab_switch").CurSel(), 1) << own;
  }

  // Another sub-page of the mouse is refused the same way.
  Choose("ms_deng_Op_tab");
  EXPECT_EQ(messages_.size(), 2);
  EXPECT_TRUE(C("ms_macro_Op_tab").IsSelected());
  EXPECT_EQ(C("ms_tab_switch").CurSel(), 1);

  // The editor's own options keep working: inserting a mouse event needs its panel.
  int shown = 0;
  ASSERT_TRUE(
      router_->Bind(u"selectchanged", u"ms_macro_btn_shubiao", [&](const Notification&) { ++shown; }));
  C("ms_macro_btn_shubiao").Select(!C("ms_macro_btn_shubiao").IsSelected(), SendNotify::Yes);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(messages_.size(), 2);

  // Saved (bar hidden): the page may change.
  C("ms_macro_tab_saveorcancel").SetVisible(false);
  Choose("kb_tab");
  EXPECT_EQ(C("tab_switch").CurSel(), 0);
  EXPECT_EQ(currentDevicePage_, 0);
}

TEST_F(NotifyRouterTest, LeavingTheKeyboardPageWithUnsavedMacroEditsIsRefused) {
  Choose("kb_tab");
  Choose("kb_macro_Op_tab");
  C("kb_macro_tab_saveorcancel").SetVisible(true);
  for (const char* option : {"hs_tab", "split_tab", "kb_key_Op_tab"}) {
    Choose(option);
    EXPECT_FALSE(C(option).IsSelected()) << option;
  }
  EXPECT_EQ(messages_, QStringList({"message_text_3", "message_text_3", "message_text_3"}));
  EXPECT_TRUE(C("kb_tab").IsSelected());
  EXPECT_TRUE(C("kb_macro_Op_tab").IsSelected());
  EXPECT_EQ(C("tab_switch").CurSel(), 0);
  EXPECT_EQ(C("kb_tab_switch").CurSel(), 1);
}

TEST_F(NotifyRouterTest, TheUnsavedMacroMessageIsShownInTheMessageBox) {
  router_->Hooks().showMessage = nullptr;  // the real box
  window_->show();
  Choose("ms_tab");
  Choose("ms_macro_Op_tab");
  C("ms_macro_tab_saveorcancel").SetVisible(true);

  test::MessageBoxAnswer answer(QStringLiteral("confirm_btn"));
  Choose("kb_tab");
  EXPECT_TRUE(answer.Answered());
  EXPECT_EQ(answer.ShownTextId(), QStringLiteral("message_text_3"));
  EXPECT_EQ(answer.ShownText(),
            QStringLiteral("The macro editor has unsaved changes. Save or cancel them first."));
  EXPECT_TRUE(C("ms_tab").IsSelected());
}

// ---- panels, pictures, same mode ---------------------------------------------------------------

TEST_F(NotifyRouterTest, ProfilePanelButtonsToggleTheirPanel) {
  struct Row {
    const char* button;
    const char* panel;
  };
  for (const Row& row : {Row{"kb_profile_fun_spread_btn", "kb_profile_fun_spead_tab"},
                         Row{"ms_profile_fun_spread_btn", "ms_profile_fun_spead_tab"},
                         Row{"mp_profile_fun_spread_btn", "mp_profile_fun_spead_tab"},
                         Row{"kb_pro_deng_edit_btn", "kb_deng_profile_edit"},
                         Row{"kb_pro_key_edit_btn", "kb_key_profile_edit"},
                         Row{"ms_pro_deng_edit_btn", "ms_deng_profile_edit"},
                         Row{"ms_pro_key_edit_btn", "ms_key_profile_edit"},
                         Row{"mp_pro_deng_edit_btn", "mp_deng_profile_edit"}}) {
    Control panel = C(row.panel);
    panel.SetVisible(false);
    Click(C(row.button));
    EXPECT_TRUE(panel.IsVisible()) << row.button;
    Click(C(row.button));
    EXPECT_FALSE(panel.IsVisible()) << row.button;
  }
}

TEST_F(NotifyRouterTest, MouseButtonsShowTheirHoveredPictureWhileThePointerIsOverThem) {
  const std::array<const char*, 7> pictures = {"left", "wheel",   "right",  "forward",
                                               "back", "dpi_add", "dpi_sub"};
  for (int i = 0; i < 7; ++i) {
    const std::string button = "ms_key_" + std::to_string(i);
    const QString picture = QString::fromLatin1(pictures[static_cast<std::size_t>(i)]);
    Control companion = C((button + "_0").c_str());
    EXPECT_TRUE(Send("msenter", button.c_str()).handled) << button;
    EXPECT_EQ(companion.BkImage(), QStringLiteral("file='ms/key_%1_down.png'").arg(picture)) << button;
    Send("msleave", button.c_str());
    EXPECT_EQ(companion.BkImage(), QStringLiteral("file='ms/key_%1_normal.png'").arg(picture)) << button;
  }
}

TEST_F(NotifyRouterTest, TheHeadsetSameModeBoxCopiesTheHeadsetLightingToEveryDevice) {
  using korva::DeviceKind;
  using lighting::LightingSettings;
  for (int i = 0; i < 4; ++i)
    records_.Set(static_cast<DeviceKind>(i),
                 LightingSettings{static_cast<std::uint8_t>(i), 5, 5, 0, 0, 1, 2, 3});
  const LightingSettings headset{2, 14, 3, 1, 1, 0x40, 0x50, 0x60};
  records_.Set(DeviceKind::kHeadset, headset);

  QStringList calls;
  std::array<bool, 4> syncFlags{};
  auto& hooks = router_->LightingHooks();
  const char* names[] = {"keyboard", "mouse", "mousepad", "headset"};
  for (std::size_t i = 0; i < 4; ++i) {
    hooks.refreshPage[i] = [&calls, name = names[i]] { calls.append(QStringLiteral("refresh ") + name); };
    hooks.saveProfile[i] = [&calls, name = names[i]] { calls.append(QStringLiteral("save ") + name); };
  }
  hooks.setAllSyncLighting = [&] { syncFlags.fill(true); };

  Click(C("hs_deng_same_mode"));

  for (int i = 0; i < 4; ++i) EXPECT_EQ(records_.Get(static_cast<DeviceKind>(i)), headset) << names[i];
  EXPECT_EQ(records_.GetSynchronised(), headset);
  EXPECT_EQ(calls, QStringList({"refresh mouse", "refresh mousepad", "refresh keyboard", "save keyboard",
                                "save mouse", "save mousepad"}));
  EXPECT_EQ(syncFlags, (std::array<bool, 4>{true, true, true, true}));
}

TEST_F(NotifyRouterTest, EachSameModeBoxCopiesFromItsOwnDevice) {
  using korva::DeviceKind;
  struct Row {
    const char* box;
    DeviceKind source;
  };
  for (const Row& row :
       {Row{"kb_deng_same_mode", DeviceKind::kKeyboard}, Row{"ms_deng_same_mode", DeviceKind::kMouse},
        Row{"mp_deng_same_mode", DeviceKind::kMousepad}}) {
    for (int i = 0; i < 4; ++i)
      records_.Set(static_cast<DeviceKind>(i),
                   lighting::LightingSettings{static_cast<std::uint8_t>(10 + i)});
    Click(C(row.box));
    EXPECT_EQ(records_.GetSynchronised().mode, 10 + static_cast<int>(row.source)) << row.box;
  }
}

}  // namespace
}  // namespace korva::ui
