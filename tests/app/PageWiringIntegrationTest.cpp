// The main window wired to its routing, skin picker and mouse sensitivity page, run on the
// simulated devices with the real watchers and synchronisation readers (short paces): what the
// user sees and what reaches the devices when devices come and go and when controls are used.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "AppTestSupport.h"
#include "app/MainWnd.h"
#include "app/LinkWiring.h"
#include "app/PageWiring.h"
#include "common/AtomicFile.h"
#include "headset/HeadsetJsonFile.h"
#include "keyboard/KeyboardLighting.h"
#include "lighting/effects/KeyboardLayout.h"
#include "macro/MacroBlock.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "session/MousepadController.h"
#include "ui/Notify.h"
#include "mouse/MouseImage.h"
#include "mouse/MouseProfiles.h"
#include "mouse/MouseSettingsRules.h"
#include "platform/FakeDesktopPointerSettings.h"
#include "platform/LowLevelInput.h"
#include "profile/IniFile.h"
#include "profile/ProfileFile.h"
#include "sim/SimFirmware.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "ui/routing/SkinChanged.h"
#include "ui/routing/SkinFrame.h"

namespace korva::app {
namespace {

using mouse::MouseActiveSettings;
using test::WaitFor;

constexpr std::uint16_t kSettingsChangedUsage = 0x0402;

// A wired main window on the simulated bus with short watcher paces, the headset chip and a fake
// desktop. Taken apart in the program's order: the window stops its threads before the pages
// they reach go.
class WiredShell : public test::ShellFixture {
 public:
  WiredShell() {
    Options().startWatchers = true;
    SessionOptions().paces.connected = std::chrono::milliseconds(20);
    SessionOptions().paces.absent = std::chrono::milliseconds(50);
    SessionOptions().paces.readerRead = std::chrono::milliseconds(100);
    SessionOptions().paces.readerSearch = std::chrono::milliseconds(50);
    SessionOptions().paces.keyboardSettle = std::chrono::milliseconds(10);
    Options().audioLoader = [chip = headsetChip] { return headset::AudioChipLoad{chip, 0, {}}; };
    headsetChip->SetPresent(false);  // each test plugs what it needs
  }
  ~WiredShell() {
    if (started_) Window().Shutdown();
    wiring.reset();
  }

  // Builds the window, wires it (before "windowinit", as the program does) and shows it.
  bool Start() {
    CMainWnd& window = MakeWindow();
    auto fake = std::make_unique<platform::FakeDesktopPointerSettings>();
    desktop = fake.get();
    wiring = std::make_unique<PageWiring>(window, Options().folders, std::move(fake), Options().messageBox);
    if (beforeShow) beforeShow(*wiring);
    started_ = true;
    QSignalSpy initialised(&window, &CMainWnd::initialised);
    window.show();
    return initialised.count() > 0 || initialised.wait(10000);
  }

  ui::Control Find(const char* name) { return Window().FindControl(QString::fromLatin1(name)); }
  bool Visible(const char* name) { return Find(name).IsVisible(); }
  bool Selected(const char* name) { return Find(name).IsSelected(); }
  int DevicePageShown() { return Find("tab_switch").CurSel(); }
  QString TextOf(const char* name) { return Find(name).Text(); }

  // A click as the user's: the button's own clicked signal, so "click" and, for options,
  // "selectchanged" come from the skin's widgets.
  void Click(const char* name) {
    auto* button = qobject_cast<QAbstractButton*>(Find(name).Widget());
    ASSERT_NE(button, nullptr) << name;
    button->click();
  }

  // The mouse's arrival has been read into the page: its tab shows and the page state holds the
  // device's information block.
  bool MouseArrived() {
    return Visible("ms_tab") && Window().Session().Mouse().Model().image().info.bytes != mouse::MouseDeviceInfo{}.bytes;
  }

  // Stage k (1..6) of the simulated mouse's active profile record.
  void SeedStage(int mouseId, int k, std::uint8_t value) {
    sim::SimFirmware& firmware = bus.Firmware(mouseId);
    auto record = firmware.Record(firmware.ActiveProfile());
    record[StageOffset(k)] = value;
    firmware.SetRecord(firmware.ActiveProfile(), record);
  }
  std::uint8_t StageOnMouse(int mouseId, int k) {
    const sim::SimFirmware& firmware = bus.Firmware(mouseId);
    return firmware.Record(firmware.ActiveProfile())[StageOffset(k)];
  }

  std::shared_ptr<sim::SimulatedHeadsetChip> headsetChip = std::make_shared<sim::SimulatedHeadsetChip>();
  std::unique_ptr<PageWiring> wiring;
  platform::FakeDesktopPointerSettings* desktop = nullptr;
  // Runs after the wiring is built and before "windowinit" starts the threads.
  std::function<void(PageWiring&)> beforeShow;

 private:
  static std::size_t StageOffset(int k) {
    return MouseActiveSettings::kStageOffsets[static_cast<std::size_t>(k - 1)];
  }

  bool started_ = false;
};

class PageWiringIntegrationTest : public ::testing::Test, public WiredShell {
 protected:
  PageWiringIntegrationTest() {
    // The headset watcher's first pass wakes the window at start; when that comes before the
    // plugged device has been found, the window warns that no device is connected. These tests
    // all start with a device and are about other boxes.
    Options().messageBox = [this](QWidget*, const QString& text) {
      if (text != QLatin1String("message_text_1")) boxes.append(text);
      if (onBox) onBox();
      return 1;
    };
  }
};

// --- devices coming and going ---------------------------------------------------------------

TEST_F(PageWiringIntegrationTest, MousePluggedWhileTheKeyboardPageShowsBringsTheMousePageToTheFront) {
  bus.Plug(sim::SimDeviceKind::kKeyboard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Visible("kb_tab") && Selected("kb_tab"); }));
  EXPECT_EQ(DevicePageShown(), 0);
  EXPECT_EQ(Window().CurrentDevicePage(), 0);

  bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(WaitFor([&] { return Visible("ms_tab") && Selected("ms_tab"); }));
  EXPECT_FALSE(Selected("kb_tab"));
  EXPECT_EQ(Window().CurrentDevicePage(), 1);
  // The selection went through the routing, which brought the mouse page to the front.
  EXPECT_EQ(DevicePageShown(), 1);
}

TEST_F(PageWiringIntegrationTest, KeyboardUnpluggedWhileMouseAndHeadsetStaySelectsTheMouse) {
  const int keyboard = bus.Plug(sim::SimDeviceKind::kKeyboard);
  bus.Plug(sim::SimDeviceKind::kMouse);
  headsetChip->SetPresent(true);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Visible("kb_tab") && Visible("ms_tab") && Visible("hs_tab"); }));
  Click("kb_tab");
  ASSERT_TRUE(Selected("kb_tab"));
  ASSERT_EQ(DevicePageShown(), 0);

  bus.Unplug(keyboard);
  ASSERT_TRUE(WaitFor([&] { return !Visible("kb_tab"); }));
  ASSERT_TRUE(WaitFor([&] { return Selected("ms_tab"); }));
  EXPECT_EQ(DevicePageShown(), 1);
  EXPECT_EQ(Window().CurrentDevicePage(), 1);
  EXPECT_TRUE(Visible("hs_tab"));
}

TEST_F(PageWiringIntegrationTest, HeadsetUnpluggedWhileTheMousePageShowsChangesNoSelection) {
  bus.Plug(sim::SimDeviceKind::kMouse);
  headsetChip->SetPresent(true);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived() && Visible("hs_tab"); }));
  Click("ms_tab");
  ASSERT_TRUE(Selected("ms_tab"));

  headsetChip->SetPresent(false);
  ASSERT_TRUE(WaitFor([&] { return !Visible("hs_tab"); }));
  EXPECT_TRUE(Selected("ms_tab"));
  EXPECT_EQ(DevicePageShown(), 1);
  EXPECT_EQ(Window().CurrentDevicePage(), 1);
  EXPECT_TRUE(Window().isVisible());
}

// Where there is no tray the window must stay reachable, so it stays shown.
TEST(PageWiringLastDevice, UnpluggingTheLastDeviceHidesTheWindowOnlyWhereATrayCanBringItBack) {
  for (bool tray : {true, false}) {
    SCOPED_TRACE(tray ? "with a system tray" : "without a system tray");
    WiredShell shell;
    shell.Options().trayAvailable = tray;
    const int mouse = shell.bus.Plug(sim::SimDeviceKind::kMouse);
    ASSERT_TRUE(shell.Start());
    ASSERT_TRUE(WaitFor([&] { return shell.MouseArrived() && shell.Window().isVisible(); }));

    shell.bus.Unplug(mouse);
    ASSERT_TRUE(WaitFor([&] { return !shell.Visible("ms_tab"); }));
    if (tray)
      EXPECT_TRUE(WaitFor([&] { return !shell.Window().isVisible(); }));
    else
      EXPECT_TRUE(shell.Window().isVisible());
    EXPECT_FALSE(shell.Window().AnyDeviceConnected());
  }
}

// --- the mouse sensitivity page -------------------------------------------------------------

TEST_F(PageWiringIntegrationTest, MouseArrivalShowsItsStagesAndCreatesTheDataFiles) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  SeedStage(mouse, 1, 48);
  SeedStage(mouse, 2, 49);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));

  EXPECT_EQ(Find("ms_DPI1_slider").Value(), 48);
  EXPECT_EQ(TextOf("ms_DPI1_label_value"), QStringLiteral("5000"));
  EXPECT_EQ(Find("ms_DPI2_slider").Value(), 49);
  EXPECT_EQ(TextOf("ms_DPI2_label_value"), QStringLiteral("5200"));
  // The data folder and the mouse's profile libraries were created, and the light profile in use
  // holds what was read from the mouse.
  const std::filesystem::path base = Home() / "KORVA";
  EXPECT_TRUE(std::filesystem::is_directory(base / "ms"));
  const std::filesystem::path index = base / "ms" / "msProfile.ini";
  ASSERT_TRUE(std::filesystem::is_regular_file(index));
  EXPECT_EQ(Window().Session().Mouse().LightStore().Count(), 1);
  EXPECT_EQ(profile::ReadIniInt(index, "PROFILECOUNT", "count", 0), 1);  // the key library's index
  mouse::MouseImage stored;
  ASSERT_TRUE(mouse::LoadMouseLightProfile(stored, Window().Session().Mouse().LightStore(), 0).ok());
  EXPECT_EQ(stored.active.Stage(1), 48);
  EXPECT_EQ(stored.active.Stage(2), 49);
}

TEST_F(PageWiringIntegrationTest, AStageSliderMovedOnThePageReachesTheMouseWithinATick) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));
  const int value = Find("ms_DPI2_slider").Value() == 37 ? 36 : 37;

  Find("ms_DPI2_slider").SetValue(value, ui::SendNotify::Yes);
  EXPECT_EQ(TextOf("ms_DPI2_label_value"), QString::fromStdString(mouse::StageCpiText(value)));
  EXPECT_TRUE(Window().Session().DeferredWritePending(DeviceKind::kMouse));
  // Timer 2 runs every 100 ms.
  EXPECT_TRUE(WaitFor([&] { return StageOnMouse(mouse, 2) == value; }, 1000));
  EXPECT_TRUE(WaitFor([&] { return !Window().Session().DeferredWritePending(DeviceKind::kMouse); }, 1000));
}

TEST_F(PageWiringIntegrationTest, ASettingsReportFromTheMouseShowsTheValuesReadAgain) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));
  // The arrival puts the stored light profile into effect, which the deferred-write timer sends to
  // the mouse: a change made at the mouse before that write goes out is overwritten by it.
  ASSERT_TRUE(WaitFor([&] { return !Window().Session().DeferredWritePending(DeviceKind::kMouse); }));
  const std::uint8_t value = Find("ms_DPI3_slider").Value() == 20 ? 21 : 20;

  // The user changed the mouse by itself (another program, the device's own buttons).
  SeedStage(mouse, 3, value);
  // The mouse's report reader opens its collection on its own pace after the arrival; a report
  // raised before it listens is not seen, as with a real mouse. Raise it again until it is heard.
  bool shown = false;
  for (int attempt = 0; attempt < 10 && !shown; ++attempt) {
    ASSERT_TRUE(bus.RaiseConsumerReport(mouse, kSettingsChangedUsage));
    shown = WaitFor([&] { return Find("ms_DPI3_slider").Value() == value; }, 2000);
  }
  ASSERT_TRUE(shown);
  EXPECT_EQ(TextOf("ms_DPI3_label_value"), QString::fromStdString(mouse::StageCpiText(value)));
}

TEST_F(PageWiringIntegrationTest, AProfileButtonOnThePageSwitchesTheMouse) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));
  ASSERT_NE(bus.Firmware(mouse).ActiveProfile(), 2);

  Click("ms_profile_2");
  EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 2);
  EXPECT_EQ(Window().Session().Mouse().Model().image().active.ActiveProfile(), 2);
  EXPECT_TRUE(Selected("ms_profile_2"));
}

// --- the headset voice page -------------------------------------------------------------------

TEST_F(PageWiringIntegrationTest, TheHeadsetsArrivalSendsItsProfileAndAVolumeMovedOnThePageReachesIt) {
  headsetChip->SetPresent(true);
  ASSERT_TRUE(Start());
  // The first start made "profile1" from the shipped default; the arrival selected and sent it.
  ASSERT_TRUE(WaitFor([&] { return Visible("hs_tab") && Find("head_device_profile_combo").CurSel() == 0; }));
  const std::filesystem::path profile = Home() / "KORVA" / "hs" / "profile1.json";
  ASSERT_TRUE(std::filesystem::is_regular_file(profile));
  const int shippedMaster = Find("hs_master_slider").Value();
  EXPECT_GT(shippedMaster, 0);
  EXPECT_EQ(headsetChip->AudioState().masterVolume, shippedMaster);
  EXPECT_EQ(TextOf("hs_voice_profile_name_edit"), QStringLiteral("profile1"));

  const int master = shippedMaster == 55 ? 56 : 55;
  Find("hs_master_slider").SetValue(master, ui::SendNotify::Yes);
  EXPECT_EQ(headsetChip->AudioState().masterVolume, master);
  Find("hs_scenes_btn_5").Select(true, ui::SendNotify::Yes);
  EXPECT_TRUE(headsetChip->AudioState().threeDOn);
  EXPECT_EQ(Find("HZ_Slider_2").Value(), 4);
  // Both are in the profile file: selecting it again gives them back.
  auto saved = headset::ReadJsonFile(profile);
  ASSERT_TRUE(saved) << saved.error().ToString();
  EXPECT_EQ(saved.value()["VoiceInfo"]["master"].asInt(), master);
  EXPECT_EQ(saved.value()["VoiceInfo"]["eqselect"].asInt(), 5);
  // The simulated chip applies everything: the page lists nothing as unapplied.
  EXPECT_FALSE(Visible("hs_voice_unapplied_layout"));
}

// --- the headset lighting page ----------------------------------------------------------------

// A mode and a colour chosen on the lighting page reach the headset's LED controllers through the
// lighting thread, are kept in the selected profile's "LightInfo", and come back with the profile.
TEST_F(PageWiringIntegrationTest, TheHeadsetLightingPageDrivesTheLedsAndIsKeptInTheProfile) {
  headsetChip->SetPresent(true);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Visible("hs_tab") && Find("head_device_profile_combo").CurSel() == 0; }));

  Find("hs_deng_combo_modeSelect").SelectItem(3, ui::SendNotify::Yes);
  Find("hs_deng_light_slider").SetValue(14, ui::SendNotify::Yes);
  Click("hs_Deng_color_btn_21");  // black
  Find("hs_Deng_edit_G").SetText(QStringLiteral("300"), ui::SendNotify::Yes);
  EXPECT_EQ(TextOf("hs_Deng_edit_G"), QStringLiteral("255"));
  session::DeviceSession& session = Window().Session();
  const lighting::LightingSettings chosen = session.PublishedLighting().Get(DeviceKind::kHeadset);
  EXPECT_EQ(chosen.mode, 3);
  EXPECT_EQ(chosen.green, 255);
  EXPECT_EQ(chosen.red, 0);
  EXPECT_EQ(chosen.multicolour, 0);

  // Static green at full brightness: 247 in the green register of both controllers.
  ASSERT_TRUE(WaitFor([&] {
    return headsetChip->I2cRegister(0x11, 0x21) == 247 && headsetChip->I2cRegister(0x22, 0x21) == 247;
  }));
  EXPECT_EQ(headsetChip->I2cRegister(0x22, 0x20), 0);

  const std::filesystem::path profile = Home() / "KORVA" / "hs" / "profile1.json";
  auto saved = headset::ReadJsonFile(profile);
  ASSERT_TRUE(saved) << saved.error().ToString();
  EXPECT_EQ(saved.value()["LightInfo"]["SelectItem"].asInt(), 3);
  EXPECT_EQ(saved.value()["LightInfo"]["Green"].asInt(), 255);
  EXPECT_EQ(saved.value()["LightInfo"]["MultiColor"].asInt(), 0);

  // Another profile shows its own record; the first one, selected again, gives the choice back.
  Click("hs_pro_voice_add_btn");
  ASSERT_TRUE(WaitFor([&] { return Find("head_device_profile_combo").CurSel() == 1; }));
  Find("hs_deng_combo_modeSelect").SelectItem(1, ui::SendNotify::Yes);
  Find("head_device_profile_combo").SelectItem(0, ui::SendNotify::Yes);
  EXPECT_EQ(Find("hs_deng_combo_modeSelect").CurSel(), 3);
  EXPECT_EQ(TextOf("hs_Deng_edit_G"), QStringLiteral("255"));
  EXPECT_EQ(session.PublishedLighting().Get(DeviceKind::kHeadset), chosen);
}

// --- the profile library -----------------------------------------------------------------------

TEST_F(PageWiringIntegrationTest, TheMouseLightComboListsTheProfilesOnDiskAndAddAndSelectReachTheMouse) {
  // Two light profiles from an earlier run; "beta" holds stage 2 at step 37.
  const std::filesystem::path folder = Home() / "KORVA" / "ms";
  ASSERT_TRUE(std::filesystem::create_directories(folder));
  mouse::MouseImage beta;
  ASSERT_TRUE(beta.active.SetStage(2, 37));
  beta.pointerSpeed = 10;
  beta.wheelLines = 3;
  ASSERT_TRUE(profile::WriteProfileFile(folder / "beta.led", profile::DeviceTag::kMouse, mouse::StoreLightRecord(beta)));
  ASSERT_TRUE(profile::WriteProfileFile(folder / "alpha.led", profile::DeviceTag::kMouse, mouse::StoreLightRecord(beta)));
  ASSERT_TRUE(profile::UpdateIniFile(folder / "msProfile.ini", [](profile::IniFile& ini) {
    ini.SetInt("PROFILEDENGCOUNT", "count", 2);
    ini.SetString("PROFILEDENGNAME", "0", "alpha");
    ini.SetString("PROFILEDENGNAME", "1", "beta");
    ini.SetInt("PROFILEDENGSELECT", "select", 0);
  }));
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));

  ui::Control combo = Find("ms_deng_profile_combo");
  ASSERT_EQ(combo.ItemCount(), 2);
  EXPECT_EQ(combo.ItemText(0), QStringLiteral("alpha"));
  EXPECT_EQ(combo.ItemText(1), QStringLiteral("beta"));
  EXPECT_EQ(combo.CurSel(), 0);
  EXPECT_EQ(TextOf("ms_deng_profile_name_edit"), QStringLiteral("alpha"));

  // Add: the lowest free number, listed, selected and stored.
  Click("ms_pro_deng_add_btn");
  ASSERT_EQ(combo.ItemCount(), 3);
  EXPECT_EQ(combo.ItemText(2), QStringLiteral("新配置文件1"));
  EXPECT_EQ(combo.CurSel(), 2);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "新配置文件1.led"));
  EXPECT_EQ(Window().Session().Mouse().LightStore().SelectedIndex(), 2);

  // Select "beta": its settings show on the page and reach the mouse with the next flush.
  ASSERT_NE(StageOnMouse(mouse, 2), 37);
  combo.SelectItem(1, ui::SendNotify::Yes);
  EXPECT_EQ(Window().Session().Mouse().LightStore().SelectedIndex(), 1);
  EXPECT_EQ(Find("ms_DPI2_slider").Value(), 37);
  EXPECT_TRUE(WaitFor([&] { return StageOnMouse(mouse, 2) == 37; }, 2000));
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('|')).toStdString();
}

TEST_F(PageWiringIntegrationTest, ALinkedApplicationInFrontShowsItsProfileOnTheMouseUntilItLeaves) {
  // "alpha" is chosen by hand; "beta" (stage 2 at step 37) is linked to a game.
  const std::filesystem::path folder = Home() / "KORVA" / "ms";
  ASSERT_TRUE(std::filesystem::create_directories(folder));
  mouse::MouseImage alpha;
  ASSERT_TRUE(alpha.active.SetStage(2, 20));
  mouse::MouseImage beta;
  ASSERT_TRUE(beta.active.SetStage(2, 37));
  ASSERT_TRUE(profile::WriteProfileFile(folder / "alpha.led", profile::DeviceTag::kMouse, mouse::StoreLightRecord(alpha)));
  ASSERT_TRUE(profile::WriteProfileFile(folder / "beta.led", profile::DeviceTag::kMouse, mouse::StoreLightRecord(beta)));
  ASSERT_TRUE(profile::UpdateIniFile(folder / "msProfile.ini", [](profile::IniFile& ini) {
    ini.SetInt("PROFILEDENGCOUNT", "count", 2);
    ini.SetString("PROFILEDENGNAME", "0", "alpha");
    ini.SetString("PROFILEDENGNAME", "1", "beta");
    ini.SetString("PROFILELIKEDENGEXE", "1", "1");
    ini.SetString("DENGPROCESS", "1", "/usr/games/racer");
    ini.SetInt("PROFILEDENGSELECT", "select", 0);
  }));
  auto* foreground = new platform::FakeForegroundApplication;
  beforeShow = [foreground](PageWiring& pages) {
    pages.Links().UseProvider({std::unique_ptr<platform::ForegroundApplicationProbe>(foreground), QStringLiteral("fake")});
  };
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));
  ui::Control combo = Find("ms_deng_profile_combo");
  // At arrival the mouse's own settings are read over the selected profile, which keeps them: the
  // hand-chosen profile now holds the mouse's stage.
  EXPECT_EQ(combo.CurSel(), 0);
  const int handChosenStage = StageOnMouse(mouse, 2);
  ASSERT_NE(handChosenStage, 37);
  EXPECT_FALSE(Visible("ms_deng_profile_link_name_hor"));
  EXPECT_FALSE(Visible("ms_deng_profile_link_none")) << "a provider follows the foreground";

  // The game comes to the front: within a poll its profile shows and reaches the mouse, while the
  // index keeps the hand-chosen profile.
  foreground->Set("/usr/games/racer");
  ASSERT_TRUE(WaitFor([&] { return combo.CurSel() == 1; }, 5000));
  EXPECT_EQ(TextOf("ms_deng_profile_link_edit"), QStringLiteral("racer"));
  EXPECT_TRUE(Selected("ms_deng_profile_link_check"));
  EXPECT_TRUE(WaitFor([&] { return StageOnMouse(mouse, 2) == 37; }, 2000));
  EXPECT_EQ(profile::ReadIniInt(folder / "msProfile.ini", "PROFILEDENGSELECT", "select", -1), 0);

  // It leaves: the hand-chosen profile returns, on the page and on the mouse.
  foreground->Set("/usr/bin/xterm");
  ASSERT_TRUE(WaitFor([&] { return combo.CurSel() == 0; }, 5000));
  EXPECT_TRUE(WaitFor([&] { return StageOnMouse(mouse, 2) == handChosenStage; }, 2000));
  EXPECT_FALSE(Selected("ms_deng_profile_link_check"));
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('|')).toStdString();
}

TEST_F(PageWiringIntegrationTest, WithoutAForegroundProviderTheLinkRowsSaySo) {
  beforeShow = [](PageWiring& pages) { pages.Links().UseProvider({nullptr, QStringLiteral("none")}); };
  bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));
  for (const char* line : {"kb_deng_profile_link_none", "kb_key_profile_link_none", "ms_deng_profile_link_none",
                           "ms_key_profile_link_none", "mp_deng_profile_link_none"}) {
    EXPECT_TRUE(Visible(line)) << line;
    EXPECT_FALSE(TextOf(line).isEmpty()) << line;
  }
  EXPECT_FALSE(wiring->Links().SwitchingAvailable());
}

// --- routing ----------------------------------------------------------------------------------

TEST_F(PageWiringIntegrationTest, LeavingTheMousePageWithAnOpenMacroEditorIsRefused) {
  bus.Plug(sim::SimDeviceKind::kKeyboard);
  bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Visible("kb_tab") && MouseArrived(); }));
  Click("ms_tab");
  ASSERT_EQ(DevicePageShown(), 1);
  // The macro editor holds unsaved steps: its save/cancel bar shows.
  Find("ms_macro_tab_saveorcancel").SetVisible(true);

  Click("kb_tab");
  EXPECT_TRUE(Selected("ms_tab"));
  EXPECT_FALSE(Selected("kb_tab"));
  EXPECT_EQ(DevicePageShown(), 1);
  EXPECT_EQ(Window().CurrentDevicePage(), 1);
  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_3")});
}

TEST_F(PageWiringIntegrationTest, SameModeCopyPutsEveryDeviceIntoTheSynchronisedLighting) {
  bus.Plug(sim::SimDeviceKind::kKeyboard);
  bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Visible("kb_tab") && MouseArrived(); }));

  // The mouse's light profile in use is saved again after the copy.
  std::filesystem::path lightFile;
  for (const auto& entry : std::filesystem::directory_iterator(Home() / "KORVA" / "ms"))
    if (entry.path().extension() == ".led") lightFile = entry.path();
  ASSERT_TRUE(std::filesystem::remove(lightFile));

  session::DeviceSession& session = Window().Session();
  const lighting::LightingSettings copied{3, 9, 4, 1, 0, 0x12, 0x34, 0x56};
  session.Controller(DeviceKind::kKeyboard).SetLighting(copied);
  Click("kb_deng_same_mode");
  for (DeviceKind kind : kAllDeviceKinds) {
    EXPECT_TRUE(session.Device(kind).syncLighting) << DeviceKindName(kind);
    EXPECT_EQ(session.Controller(kind).Lighting(), copied) << DeviceKindName(kind);
  }
  EXPECT_EQ(session.PublishedLighting().GetSynchronised(), copied) << "the lighting threads see the copy";
  // The mouse's image holds the copied record, and so does its saved light profile.
  const auto& active = session.Mouse().Model().image().active.bytes;
  EXPECT_EQ(active[mouse::MouseActiveSettings::kLightingMode], copied.mode);
  EXPECT_EQ(active[mouse::MouseActiveSettings::kLightingRed], copied.red);
  std::vector<std::uint8_t> saved;
  ASSERT_TRUE(ReadWholeFile(lightFile, saved));
  const std::vector<std::uint8_t> record(saved.end() - 64, saved.end());
  EXPECT_EQ(lighting::LightingSettings::FromBytes(std::span<const std::uint8_t, 8>(record.data() + 1, 8)), copied);
}

// --- the skin picker --------------------------------------------------------------------------

TEST_F(PageWiringIntegrationTest, SkinButtonOpensThePickerWhoseChoicesReachTheWindow) {
  bus.Plug(sim::SimDeviceKind::kMouse);  // a device, so the start-up has nothing to warn about
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));
  ui::Control root = Find("root");
  ASSERT_TRUE(root.SetBkImage(QStringLiteral("common/skin_custom.png")));

  Click("skinbtn");
  QPointer<ui::CSkinFrame> picker = wiring->SkinPicker();
  ASSERT_FALSE(picker.isNull());
  EXPECT_TRUE(picker->isVisible());

  // "menu_restore": WM_RESTORE_ALL restores every connected device's defaults and says so.
  picker->SendNotify(picker->FindControl(QStringLiteral("menu_restore")), QStringLiteral("click"));
  // The restore writes the mouse's default bank; on a loaded machine (sanitizers, parallel suites)
  // the box comes late.
  EXPECT_TRUE(WaitFor([&] { return boxes == QStringList{QStringLiteral("message_text_restored")}; }, 30000));
  boxes.clear();
  ASSERT_FALSE(picker.isNull());  // the restore keeps the picker open

  // The reset background reaches the window's "root" and is remembered in "main.ini".
  picker->SendNotify(picker->FindControl(QStringLiteral("skin_reset")), QStringLiteral("click"));
  EXPECT_EQ(root.BkImage(), QLatin1String(ui::kDefaultBackgroundImage));
  const std::filesystem::path ini = Home() / "KORVA" / "main.ini";
  EXPECT_EQ(profile::ReadIniString(ini, "SKINIMAGE", "FLAGS", ""), "0");
  EXPECT_EQ(profile::ReadIniString(ini, "SKINIMAGE", "IMAGE", ""), ui::kDefaultBackgroundImage);
  EXPECT_TRUE(boxes.isEmpty());
}

// A menu item whose action shows a box: the box takes the focus, and a picker that loses the focus
// closes and deletes itself. The action must not run inside the picker's own click.
TEST_F(PageWiringIntegrationTest, TheUpdaterItemClosesThePickerAndThenSaysTheUpdaterIsMissing) {
  bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));
  ASSERT_EQ(Window().CurrentDevicePage(), 1);  // the mouse's updater
  Click("skinbtn");
  QPointer<ui::CSkinFrame> picker = wiring->SkinPicker();
  ASSERT_FALSE(picker.isNull());
  onBox = [&] {
    if (!picker) return;
    picker->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  };

  picker->SendNotify(picker->FindControl(QStringLiteral("menu_update")), QStringLiteral("click"));
  ASSERT_TRUE(WaitFor([&] { return boxes.size() == 1; }));
  EXPECT_TRUE(boxes.front().contains(QStringLiteral("Update_ms.exe"))) << boxes.front().toStdString();
  EXPECT_TRUE(picker.isNull() || !picker->isVisible());
}

// Taken apart in the wrong order (the wiring before the window stopped): the window is stopped and
// unhooked first, so nothing reaches the pages that are gone.
TEST_F(PageWiringIntegrationTest, AWiringThatGoesFirstStopsAndUnhooksTheWindow) {
  bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));

  wiring.reset();
  EXPECT_TRUE(Window().IsShutDown());
  EXPECT_EQ(Window().Workers().RunningCount(), 0);
  Find("ms_DPI1_slider").SetValue(10, ui::SendNotify::Yes);
  Click("skinbtn");
  EXPECT_EQ(Window().findChild<ui::CSkinFrame*>(), nullptr);
}

// --- the macro editor ------------------------------------------------------------------------

// A macro made on the keyboard's macro page -- a step inserted by hand, a key recorded through the
// hook's messages -- is saved to its file and reaches the keyboard's macro memory with the upload.
TEST_F(PageWiringIntegrationTest, AMacroMadeOnThePageIsSavedAndUploadedBeforeTheKeys) {
  const int keyboard = bus.Plug(sim::SimDeviceKind::kKeyboard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Visible("kb_tab"); }));
  ASSERT_TRUE(WaitFor([&] { return Window().Session().Keyboard().Image().KeyCount() > 0; }));

  Click("kb_macro_btn_name_add");
  ASSERT_EQ(Find("kb_MacroName_list").ItemCount(), 1);
  EXPECT_EQ(Find("kb_MacroName_list").ItemUserData(0), QStringLiteral("name_1"));

  Click("kb_macro_btn_shubiao");
  EXPECT_TRUE(Visible("kb_MacroMouseEvent"));
  Find("kb_mouse_x_left_edit").SetText(QStringLiteral("20"));
  Click("kb_macro_inset_moveleftkey_btn");
  EXPECT_TRUE(Visible("kb_macro_tab_saveorcancel"));

  Click("kb_macro_btn_redio");
  const auto key = [&](std::int64_t message) {
    Window().Send(WindowMessage::WM_HOOK_KEY_MACRO, message, platform::PackKeyboardRecord({0x41, 0}));
  };
  key(platform::kWmKeyDown);
  key(platform::kWmKeyDown);  // held: auto-repeat
  key(platform::kWmKeyUp);
  Click("kb_macro_btn_redio");
  // With the fixed delay (the skin's default) every step but the last waits 50 ms.
  const ui::Control steps = Find("kb_Macro_list");
  ASSERT_EQ(steps.ItemCount(), 3);
  EXPECT_EQ(steps.ItemUserData(0), QStringLiteral("5,0,132,20,1,mouse_move_to_left_text"));
  EXPECT_EQ(steps.ItemUserData(1), QStringLiteral("5,0,138,4,1,keyboard_key_A"));
  EXPECT_EQ(steps.ItemUserData(2), QStringLiteral("0,0,10,4,0,keyboard_key_A"));

  Click("kb_macro_btn_save");
  EXPECT_FALSE(Visible("kb_macro_tab_saveorcancel"));
  const std::filesystem::path folder = Home() / "KORVA" / "kb";
  const profile::IniFile file = profile::IniFile::Load(folder / "name_1.mac");
  EXPECT_EQ(file.GetString("MACROACTIONCOUNT", "count", ""), "3");
  EXPECT_EQ(file.GetString("MACROACTION", "1", ""), "5,0,138,4,1,keyboard_key_A");

  Click("kb_key_butt_prosave");
  const macro::MacroBlock block =
      macro::BuildMacroBlock(macro::MacroLibrary{folder, DeviceKind::kKeyboard}, 4096);
  ASSERT_EQ(block.status, macro::MacroBlockStatus::kBuilt);
  ASSERT_EQ(block.bytes.size(), 16u + 6u + 12u);
  const std::vector<std::uint8_t> memory = bus.Firmware(keyboard).MacroMemory();
  EXPECT_TRUE(std::equal(block.bytes.begin(), block.bytes.end(), memory.begin()));
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QStringLiteral("; ")).toStdString();
}

// A library larger than the keyboard's macro memory stops the key page's save before anything is
// sent, and the message says how many steps would have to go.
TEST_F(PageWiringIntegrationTest, AMacroLibraryOverTheKeyboardsMemorySendsNothingAndSaysSo) {
  const int keyboard = bus.Plug(sim::SimDeviceKind::kKeyboard);
  auto info = bus.Firmware(keyboard).Info();
  info[6] = 0;  // no macro memory
  bus.Firmware(keyboard).SetInfo(info);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Window().Session().Keyboard().Image().KeyCount() > 0; }));
  Click("kb_macro_btn_name_add");
  Click("kb_macro_inset_leftkeydown_btn");
  Click("kb_macro_btn_save");
  const auto bankBefore = bus.Firmware(keyboard).Bank(0);
  const auto memoryBefore = bus.Firmware(keyboard).MacroMemory();
  bus.ClearRequests(keyboard);

  Click("kb_key_butt_prosave");
  // S = 16 + 6 + 4 = 26 bytes into none: 26 / 4 + 1 = 7 steps.
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0].contains(QStringLiteral("7"))) << boxes[0].toStdString();
  EXPECT_FALSE(boxes[0].contains(QStringLiteral("%d")));
  // Lighting frames may flow meanwhile; no bracket, macro block or bank was sent.
  for (const sim::SimRequest& request : bus.Requests(keyboard))
    EXPECT_TRUE(request.bytes[3] != 0x01 && request.bytes[3] != 0x02 && request.bytes[3] != 0x09 && request.bytes[3] != 0x15)
        << "command " << int{request.bytes[3]};
  EXPECT_EQ(bus.Firmware(keyboard).Bank(0), bankBefore);
  EXPECT_EQ(bus.Firmware(keyboard).MacroMemory(), memoryBefore);
}

// A shot of a cursor macro edited on the mouse page is written to its pattern file at once and
// reaches the mouse with the page's save; the file keeps it for the next start.
TEST_F(PageWiringIntegrationTest, ACursorMacroShotEditedOnThePageIsStoredAndSentToTheMouse) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }, 20000));
  const mouse::CursorMacros& cursors = Window().Session().Mouse().Cursors();

  Click("ms_gun_op_1");
  Click("ms_bullet_op_2");
  EXPECT_EQ(TextOf("bullet_select_index"), QStringLiteral("3"));
  Find("ms_cursor_delay_eidt").SetText(QStringLiteral("1234"));
  Window().SendNotify(Find("ms_cursor_delay_eidt"), QStringLiteral("textchanged"));
  Find("ms_cursor_x_eidt").SetText(QStringLiteral("12"));
  Window().SendNotify(Find("ms_cursor_x_eidt"), QStringLiteral("textchanged"));
  Find("ms_cursor_x_check").Select(true, ui::SendNotify::Yes);
  const profile::IniFile file = profile::IniFile::Load(cursors.GunFile(1).value());
  EXPECT_EQ(file.GetString("MACROACTION", "16", ""), "0,0,132,12,1,mouse_move_to_left_text");
  EXPECT_EQ(file.GetString("MACROACTION", "15", "").substr(0, 6), "123,0,");

  Click("ms_bulletdate_save_btn");
  const macro::MacroBlock block = cursors.BuildBlock();
  ASSERT_EQ(block.status, macro::MacroBlockStatus::kBuilt);
  const std::vector<std::uint8_t> memory = bus.Firmware(mouse).CursorMacroMemory();
  EXPECT_TRUE(std::equal(block.bytes.begin(), block.bytes.end(), memory.begin()));
  // Pattern 1's record follows pattern 0's 180 steps: shot 2's horizontal move is its step 16.
  const std::size_t move = 16 + 8 + (4 + 4 * 180) + 4 + 4 * 16;
  EXPECT_EQ(memory[move + 2], 0x84);
  EXPECT_EQ(memory[move + 3], 12);

  // Shown again from the file: 123 units are 1230 ms.
  Click("ms_bullet_op_3");
  Click("ms_bullet_op_2");
  EXPECT_EQ(TextOf("ms_cursor_delay_eidt"), QStringLiteral("1230"));
  EXPECT_TRUE(Selected("ms_cursor_x_check"));
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QStringLiteral("; ")).toStdString();
}

// --- the pointer lighting pages ---------------------------------------------------------------

TEST_F(PageWiringIntegrationTest, TheMouseLightingPageWritesTheModeAtOnceAndTheColourWithTheFlush) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return MouseArrived(); }));
  sim::SimFirmware& firmware = bus.Firmware(mouse);
  const int active = firmware.ActiveProfile();

  Find("ms_deng_combo_modeSelect2").SelectItem(6, ui::SendNotify::Yes);
  EXPECT_EQ(firmware.Record(active)[1], 6) << "the mode reaches the mouse before any flush";
  EXPECT_FALSE(Find("ms_deng_fx_layout").IsEnabled());
  EXPECT_TRUE(Find("ms_deng_color_layout").IsEnabled());
  EXPECT_EQ(Window().Session().PublishedLighting().Get(DeviceKind::kMouse).mode, 6) << "the preview follows";

  Find("ms_Deng_edit_G").SetText(QStringLiteral("300"), ui::SendNotify::Yes);
  EXPECT_EQ(TextOf("ms_Deng_edit_G"), QStringLiteral("255"));
  EXPECT_TRUE(WaitFor([&] { return firmware.Record(active)[7] == 255; }, 1000));
  mouse::MouseImage stored;
  ASSERT_TRUE(mouse::LoadMouseLightProfile(stored, Window().Session().Mouse().LightStore(),
                                           Window().Session().Mouse().LightStore().SelectedIndex()).ok());
  EXPECT_EQ(stored.active.bytes[1], 6);
  EXPECT_EQ(stored.active.bytes[7], 255);
}

TEST_F(PageWiringIntegrationTest, TheMousepadPageReadsThePadEditsItsLightingAndResetsIt) {
  const int pad = bus.Plug(sim::SimDeviceKind::kMousepad);
  sim::SimFirmware& firmware = bus.Firmware(pad);
  auto record = firmware.Record(0);
  record[1] = 3;   // static
  record[6] = 0x40;
  record[12] = 0x5A;  // a byte the program carries unchanged
  firmware.SetRecord(0, record);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Visible("mp_tab") && Find("mp_deng_combo_modeSelect").CurSel() == 3; }));
  EXPECT_EQ(TextOf("mp_Deng_edit_R"), QStringLiteral("64"));

  // A swatch: stored, shown by the preview at once, written by the flush with byte 12 unchanged.
  Window().SendNotify(Find("mp_Deng_color_btn_4"), QString::fromLatin1(ui::notify::kClick));
  EXPECT_EQ(Window().Session().PublishedLighting().Get(DeviceKind::kMousepad).blue, 0xFF);
  ASSERT_TRUE(WaitFor([&] { return firmware.Record(0)[8] == 0xFF; }, 1000));
  EXPECT_EQ(firmware.Record(0)[12], 0x5A);
  const session::MousepadController& controller = Window().Session().Mousepad();
  const std::vector<std::uint8_t> saved =
      Window().Session().Mousepad().LightStore().LoadProfile(Window().Session().Mousepad().LightStore().SelectedIndex()).payload;
  ASSERT_EQ(saved.size(), 64u);
  EXPECT_EQ(saved[8], 0xFF);
  EXPECT_EQ(saved[12], 0x5A);

  // Another device profile, then the factory reset, which reads the pad again a second later.
  Find("mp_deng_combo_profile").SelectItem(2, ui::SendNotify::Yes);
  EXPECT_EQ(firmware.ActiveProfile(), 2);
  EXPECT_EQ(controller.Image().active.ActiveProfile(), 2);
  bus.ClearRequests(pad);
  Click("mp_one_profile_default");
  EXPECT_EQ(firmware.RestoreCount(), 1);
  // The restore request, then (about a second later) the full read: begin, information, five
  // records, the active number, end.
  const auto codes = [&] {
    std::vector<std::uint8_t> sent;
    for (const sim::SimRequest& request : bus.Requests(pad)) {
      if (request.bytes[3] != 0x06) sent.push_back(request.bytes[3]);  // leave out flushes
    }
    return sent;
  };
  ASSERT_TRUE(WaitFor([&] { return codes().size() >= 10; }, 3000));
  EXPECT_EQ(codes(), (std::vector<std::uint8_t>{0x0D, 0x01, 0x03, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x02}));
  EXPECT_TRUE(WaitFor([&] { return controller.Image().active.ActiveProfile() == firmware.ActiveProfile(); }, 1000));
  EXPECT_EQ(controller.Image().active.bytes[12], firmware.Record(firmware.ActiveProfile())[12]);
}

// --- keyboard lighting ------------------------------------------------------------------------

// The keyboard lighting page in the running program: a key painted in the custom mode and a mode
// with its colour chosen on the page reach the preview at once, the keyboard with the next flush,
// and the light profile file, whose reload gives them back.
TEST_F(PageWiringIntegrationTest, TheKeyboardLightingPageReachesThePreviewTheKeyboardAndTheLightProfile) {
  const int keyboard = bus.Plug(sim::SimDeviceKind::kKeyboard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Window().Session().Keyboard().Image().KeyCount() > 0; }));
  session::KeyboardController& controller = Window().Session().Keyboard();

  ui::Control modes = Find("kb_deng_combo_modeSelect");
  modes.SelectItem(keyboard::kCustomColoursMode, ui::SendNotify::Yes);
  EXPECT_TRUE(Visible("kb_Deng_custom_colordp_btn"));
  Click("kb_Deng_color_btn_0");  // red paint
  Window().SendNotify(Find("kb_dkey_0"), QStringLiteral("click"));
  const std::size_t led = lighting::effects::kKeyboardLedMap[0];
  EXPECT_EQ(controller.Image().customSets[led * 3], 0xFF);

  modes.SelectItem(3, ui::SendNotify::Yes);
  Click("kb_Deng_color_btn_2");  // 0x6CFF00
  EXPECT_EQ(Window().Session().PublishedLighting().Get(DeviceKind::kKeyboard).mode, 3) << "the preview follows";
  EXPECT_EQ(Window().Session().PublishedLighting().Get(DeviceKind::kKeyboard).green, 0xFF);
  EXPECT_TRUE(WaitFor([&] {
    const auto record = bus.Firmware(keyboard).Record(0);
    return record[keyboard::kModeByte] == 3 && record[keyboard::kRedByte] == 0x6C;
  }, 2000));

  // The light profile as saved, put into effect again after the page changed.
  profile::ProfileStore& store = controller.LightStore();
  modes.SelectItem(0, ui::SendNotify::Yes);
  keyboard::KeyboardImage loaded;
  const profile::PayloadResult saved = store.LoadProfile(store.SelectedIndex());
  ASSERT_TRUE(saved.result.ok());
  ASSERT_TRUE(keyboard::ApplyLightPayload(loaded, saved.payload));
  EXPECT_EQ(loaded.active.bytes[keyboard::kModeByte], 0);
  EXPECT_EQ(loaded.active.bytes[keyboard::kRedByte], 0x6C);
  EXPECT_EQ(loaded.customSets[led * 3], 0xFF);
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('|')).toStdString();
}

// The window off screen (the tray hid it) sets no preview key and stops timer 10 while the keyboard's
// wave goes on streaming; back on screen the keys take the latest frame.
TEST_F(PageWiringIntegrationTest, AHiddenWindowLeavesThePreviewAloneWhileTheLightsRunAndCatchesUpWhenShown) {
  const int keyboard = bus.Plug(sim::SimDeviceKind::kKeyboard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Window().Session().Keyboard().Image().KeyCount() > 0; }));
  Click("kb_tab");
  Click("kb_deng_Op_tab");
  Find("kb_deng_speed_slider").SetValue(14, ui::SendNotify::Yes);
  Find("kb_deng_combo_modeSelect").SelectItem(0, ui::SendNotify::Yes);  // the wave
  ui::Control key = Find("kb_dkey_0");
  const auto changes = [&] {
    const quint32 first = key.ChangerColor();
    return WaitFor([&] { return key.ChangerColor() != first; }, 3000);
  };
  ASSERT_TRUE(changes()) << "the preview follows the wave";

  Window().hide();
  ASSERT_TRUE(WaitFor([&] { return !Window().IsTimerActive(kTimerRepaint); }, 2000));
  const quint32 hidden = key.ChangerColor();
  const std::size_t streamed = bus.Requests(keyboard).size();
  EXPECT_TRUE(WaitFor([&] { return bus.Requests(keyboard).size() > streamed + 20; }, 3000))
      << "the keyboard still gets its frames";
  EXPECT_FALSE(Window().IsTimerActive(kTimerRepaint));
  EXPECT_EQ(key.ChangerColor(), hidden);

  Window().show();
  EXPECT_TRUE(WaitFor([&] { return key.ChangerColor() != hidden; }, 3000));
}

// While the lighting page is not shown its keys are left alone (setting 126 tints 20 times a second
// for keys nobody sees cost the idle demo most of its UI thread); shown again, the page takes the
// latest frame.
TEST_F(PageWiringIntegrationTest, AKeyOnAPageNotShownIsLeftAloneAndCatchesUpWhenItsPageIsShown) {
  const int keyboard = bus.Plug(sim::SimDeviceKind::kKeyboard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitFor([&] { return Window().Session().Keyboard().Image().KeyCount() > 0; }));
  Click("kb_tab");
  Click("kb_deng_Op_tab");
  Find("kb_deng_speed_slider").SetValue(14, ui::SendNotify::Yes);
  Find("kb_deng_combo_modeSelect").SelectItem(0, ui::SendNotify::Yes);  // the wave
  ui::Control key = Find("kb_dkey_0");
  const auto changes = [&](quint32 from) {
    return WaitFor([&] { return key.ChangerColor() != from; }, 3000);
  };
  ASSERT_TRUE(changes(key.ChangerColor())) << "the preview follows the wave";

  Click("kb_macro_Op_tab");
  ASSERT_FALSE(key.Widget()->isVisible());
  QCoreApplication::processEvents();  // a pass already under way ends
  const quint32 away = key.ChangerColor();
  const std::size_t streamed = bus.Requests(keyboard).size();
  EXPECT_TRUE(WaitFor([&] { return bus.Requests(keyboard).size() > streamed + 20; }, 3000))
      << "the keyboard still gets its frames";
  EXPECT_EQ(key.ChangerColor(), away);

  Click("kb_deng_Op_tab");
  EXPECT_TRUE(changes(away));
}

}  // namespace
}  // namespace korva::app
