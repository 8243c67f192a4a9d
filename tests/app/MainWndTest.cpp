#include "app/MainWnd.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <latch>
#include <optional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/TrayIcon.h"
#include "app/Updater.h"
#include "session/MouseController.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "platform/SuspendWatcher.h"
#include "profile/IniFile.h"
#include "sim/SimFirmware.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "ui/Notify.h"
#include "ui/controls/StandardControls.h"
#include "ui/Skin.h"

namespace korva::app {
namespace {

using test::Attach;
using test::ShellFixture;
using test::WaitFor;

class MainWndTest : public ::testing::Test, public ShellFixture {
 protected:
  void Click(const QString& name) {
    ui::Control control = Window().FindControl(name);
    ASSERT_TRUE(control.IsValid()) << name.toStdString();
    Window().SendNotify(control, QString::fromLatin1(ui::notify::kClick));
  }
};

TEST_F(MainWndTest, BuildsEveryPageEveryWindowButtonAndEveryKeyButton) {
  CMainWnd& window = MakeWindow();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("KORVA DRIVER"));
  EXPECT_EQ(window.size(), QSize(800, 572));
  EXPECT_EQ(skin->Lang(), QStringLiteral("cn_zh"));
  EXPECT_EQ(skin->LanguageFile(), QStringLiteral("lan_cn.xml"));

  // One control of each page file (keyboard_key.xml ... Headset_deng.xml) and the window buttons.
  for (const char* name :
       {"kb_key_0", "kb_dkey_0", "kb_MacroName_list", "ms_dkey_0", "ms_MacroName_list", "ms_key_0_0",
        "mp_dkey_0", "ms_DPI1_slider", "ms_gun_op_0", "head_device_profile_combo", "head_dkey_0", "closebtn",
        "minbtn", "maxbtn", "restorebtn", "skinbtn", "tab_switch", "setting_progress", "root"})
    EXPECT_TRUE(window.FindControl(QString::fromLatin1(name)).IsValid()) << name;

  for (int entry = 0; entry < kKeyButtonCount; ++entry) {
    const ui::Control button = window.KeyButton(entry);
    ASSERT_TRUE(button.IsValid()) << entry;
    EXPECT_EQ(button.Name(), KeyButtonName(entry));
  }
  EXPECT_EQ(KeyButtonName(19), QStringLiteral("ms_dkey_19"));
  EXPECT_EQ(KeyButtonName(20), QStringLiteral("mp_dkey_0"));
  EXPECT_EQ(KeyButtonName(35), QStringLiteral("kb_dkey_0"));
  EXPECT_EQ(KeyButtonName(173), QStringLiteral("head_dkey_12"));
  EXPECT_FALSE(window.KeyButton(174).IsValid());

  for (const char* palette : {"Pallet", "ms_deng_Color_Pallet", "mp_deng_Color_Pallet",
                              "kb_deng_Color_Pallet", "hs_deng_Color_Pallet"})
    EXPECT_EQ(window.FindControl(QString::fromLatin1(palette)).SelectColor(), 0xFF0199CBu) << palette;
}

// windowinit hides the window where there is a tray and keeps it shown where there is none,
// starts the sixteen threads and the timers; shutdown joins every thread.
TEST(MainWndStart, WindowInitStartsEverythingAndShutdownJoinsEveryThread) {
  for (bool tray : {true, false}) {
    SCOPED_TRACE(tray ? "with a system tray" : "without a system tray");
    ShellFixture shell;
    shell.Options().trayAvailable = tray;
    ASSERT_TRUE(shell.StartWindow());
    CMainWnd& window = shell.Window();
    EXPECT_EQ(window.isVisible(), !tray);
    ASSERT_TRUE(WaitFor([&] { return window.Workers().RunningCount() == kWorkerCount; }));
    for (int id : {kTimerDeferredWrites, kTimerRepaint, kTimerKeyboardRead, kTimerMousepadRead})
      EXPECT_TRUE(window.IsTimerActive(id)) << id;
    EXPECT_FALSE(window.IsTimerActive(kTimerPreviewPhase)) << "no preview tick: no phase counters to advance";
    EXPECT_EQ(window.Session().Device(DeviceKind::kMouse).identity.productId, device::kMouseProductId);
    EXPECT_EQ(window.Session().Device(DeviceKind::kMousepad).identity.productId, device::kMousepadProductId);
    EXPECT_EQ(window.Session().Device(DeviceKind::kHeadset).identity.vendorId, device::kHeadsetVendorId);

    QSignalSpy shutDown(&window, &CMainWnd::shutDown);
    window.Shutdown();
    EXPECT_EQ(shutDown.count(), 1);
    EXPECT_TRUE(window.IsShutDown());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Workers().RunningCount(), 0);
    EXPECT_TRUE(window.LastStopReport().withinBound);
    EXPECT_FALSE(window.IsTimerActive(kTimerDeferredWrites));
    window.Shutdown();
    EXPECT_EQ(shutDown.count(), 1);
  }
}

TEST_F(MainWndTest, CloseButtonEndsThreadsEvenOneWaitingInALongDeviceRead) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  device::HidLink link(bus);
  for (const auto& info : bus.Collections(mouse))
    if (info.usagePage == device::kConsumerUsagePage) link.devicePath = info;
  link.options = {true, false, true, true};
  ASSERT_TRUE(device::OpenLink(link));
  std::atomic<bool> readReturned{false};
  MakeWindow().SetWorkerEntry(WorkerSlot::kMouseSyncReader, [&](const StopEvent& stop) {
    std::stop_callback abort(stop.Token(), [&] { device::CloseLink(link); });
    std::vector<std::uint8_t> buffer(64);
    std::size_t read = 0;
    device::ReadReport(link, buffer, 3'600'000, read);
    readReturned = true;
  });
  QSignalSpy initialised(&Window(), &CMainWnd::initialised);
  Window().show();
  ASSERT_TRUE(initialised.wait(10000));
  ASSERT_TRUE(WaitFor([&] { return link.ReadPending(); }));

  Click(QStringLiteral("closebtn"));
  EXPECT_TRUE(Window().IsShutDown());
  EXPECT_TRUE(readReturned);
  EXPECT_EQ(Window().Workers().RunningCount(), 0);
  EXPECT_TRUE(Window().LastStopReport().withinBound);
}

// The UI thread shuts down (and processes no events) while a worker waits in Send: the Send gives
// up, the worker sees its stop request, and the shutdown's wait for the workers ends.
TEST_F(MainWndTest, SendFromAWorkerWhileTheWindowShutsDownDoesNotDeadlock) {
  std::latch sending(1);
  std::atomic<int> handled{0};
  std::optional<qint64> lastResult = 1;
  CMainWnd& window = MakeWindow();
  window.SetMessageHandler(WindowMessage::WM_KB_DEFAULTS, [&](qint64, qint64) {
    ++handled;
    return qint64{1};
  });
  window.SetWorkerEntry(WorkerSlot::kKeyboardSyncReader, [&](const StopEvent& stop) {
    bool first = true;
    while (!stop.IsSet()) {
      if (first) sending.count_down();
      first = false;
      lastResult = window.Send(WindowMessage::WM_KB_DEFAULTS);
    }
  });
  QSignalSpy initialised(&window, &CMainWnd::initialised);
  window.show();
  ASSERT_TRUE(initialised.wait(10000));
  sending.wait();
  window.Shutdown();
  EXPECT_EQ(window.Workers().RunningCount(), 0);
  EXPECT_EQ(lastResult, std::nullopt);
  const int handledAtShutdown = handled;
  QCoreApplication::processEvents();
  EXPECT_EQ(handled, handledAtShutdown);  // nothing queued runs after the shutdown
}

TEST_F(MainWndTest, LanTwiceReturnsToChinese) {
  CMainWnd& window = MakeWindow();
  auto lanText = [&] {
    QAction* action = window.Tray()->Menu()->findChild<QAction*>(QStringLiteral("lan"));
    return action ? action->text() : QString();
  };
  const QString chineseLanText = lanText();
  ASSERT_FALSE(chineseLanText.isEmpty());
  const QString chineseBox = skin->Text(QStringLiteral("message_text_1"));
  // Qt's own file choosers speak the window's language (Qt's translations, installed with the
  // program's dependencies).
  const auto fileChooserText = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
  EXPECT_NE(fileChooserText(), QStringLiteral("Look in:"));

  window.MenuCommand(QStringLiteral("lan"), QStringLiteral("menu_lan_text"));
  EXPECT_TRUE(window.LanguageIsEnglish());
  EXPECT_EQ(fileChooserText(), QStringLiteral("Look in:"));
  EXPECT_EQ(skin->Lang(), QStringLiteral("en"));
  EXPECT_EQ(skin->LanguageFile(), QStringLiteral("lan_en.xml"));
  EXPECT_NE(skin->Text(QStringLiteral("message_text_1")), chineseBox);
  EXPECT_NE(lanText(), chineseLanText);  // the tray menu speaks the new language too

  window.MenuCommand(QStringLiteral("lan"), QStringLiteral("menu_lan_text"));
  EXPECT_FALSE(window.LanguageIsEnglish());
  EXPECT_EQ(skin->Lang(), QStringLiteral("cn_zh"));
  EXPECT_EQ(skin->LanguageFile(), QStringLiteral("lan_cn.xml"));
  EXPECT_EQ(skin->Text(QStringLiteral("message_text_1")), chineseBox);
  EXPECT_EQ(lanText(), chineseLanText);
  EXPECT_NE(fileChooserText(), QStringLiteral("Look in:"));
  EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(MainWndTest, ALanguageFileThatCannotBeLoadedChangesNothing) {
  const std::filesystem::path copy = Home() / "skin";
  std::filesystem::copy(ui::Skin::SourceSkinFolder().toStdString(), copy,
                        std::filesystem::copy_options::recursive);
  std::filesystem::remove(copy / "lan_en.xml");
  auto opened = ui::Skin::Open(QString::fromStdString(copy.string()));
  ASSERT_TRUE(opened);
  skin = std::move(opened.value());
  ui::RegisterStandardControls(skin->Factory());

  CMainWnd& window = MakeWindow();
  EXPECT_FALSE(window.SwitchLanguage());
  EXPECT_FALSE(window.LanguageIsEnglish());
  EXPECT_EQ(skin->Lang(), QStringLiteral("cn_zh"));
}

TEST_F(MainWndTest, TrayMenuCommands) {
  struct Row {
    const char* name;
    const char* textId;
    QStringList boxes;
    bool shutDown;
  };
  const Row rows[] = {
      {"qianting", "qianting_text", {}, false},
      {"Menu_Import", "import_text", {}, false},
      {"Menu_Export", "export_text", {}, false},
      {"help_item", "menu_website_text", {"menu_website_text"}, false},
      {"exit", "menu_exit_text", {}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ShellFixture shell;
    CMainWnd& window = shell.MakeWindow();
    window.MenuCommand(QString::fromLatin1(row.name), QString::fromLatin1(row.textId));
    EXPECT_EQ(shell.boxes, row.boxes);
    EXPECT_EQ(window.IsShutDown(), row.shutDown);
  }
}

TEST_F(MainWndTest, TheTrayMenuAlwaysHasAnExitItem) {
  MakeWindow();
  QMenu* menu = Window().Tray()->Menu();
  ASSERT_NE(menu, nullptr);
  int exits = 0;
  for (QAction* action : menu->actions()) exits += action->objectName() == QLatin1String("exit");
  EXPECT_EQ(exits, 1);
}

TEST(Updater, ChoiceFollowsThePageInFrontAndTheKeyboardModel) {
  struct Row {
    int page;
    int keyboardModel;
    std::optional<QString> file;
  };
  const Row rows[] = {
      {0, 0, "Update_kb.exe"}, {0, 1, "Update_kb1.exe"}, {0, 2, std::nullopt}, {1, 0, "Update_ms.exe"},
      {1, 1, "Update_ms.exe"}, {2, 1, "Update_mp.exe"},  {3, 0, std::nullopt}, {-1, 0, std::nullopt},
  };
  for (const Row& row : rows)
    EXPECT_EQ(UpdaterFor(row.page, row.keyboardModel), row.file) << row.page << "/" << row.keyboardModel;
}

TEST_F(MainWndTest, MenuUpdateRunsThePagesUpdaterFromTheProgramFolderOrSaysItIsMissing) {
  struct Row {
    int page;
    int keyboardModel;
    SkinMenuResult result;
    const char* file;  // named in the message, "" for none
  };
  const Row rows[] = {
      {0, 1, SkinMenuResult::kClosePicker, "Update_kb1.exe"},
      {0, 0, SkinMenuResult::kClosePicker, "Update_kb.exe"},
      {1, 1, SkinMenuResult::kClosePicker, "Update_ms.exe"},
      {2, 0, SkinMenuResult::kClosePicker, "Update_mp.exe"},
      {3, 0, SkinMenuResult::kKeepPicker, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    ShellFixture shell;
    shell.Options().programFolder = shell.Home() / "program";  // holds no updater
    CMainWnd& window = shell.MakeWindow();
    window.SetCurrentDevicePage(row.page);
    shell.Session().SetKeyboardModel(row.keyboardModel);
    EXPECT_EQ(window.SkinMenuAction(QStringLiteral("MENU_UPDATE")), row.result);
    if (*row.file) {
      ASSERT_EQ(shell.boxes.size(), 1);
      EXPECT_TRUE(shell.boxes[0].contains(QLatin1String(row.file))) << shell.boxes[0].toStdString();
      for (const char* other : {"Update_kb.exe", "Update_kb1.exe", "Update_ms.exe", "Update_mp.exe"})
        if (std::string(other) != row.file) {
          EXPECT_FALSE(shell.boxes[0].contains(QLatin1String(other)));
        }
    } else {
      EXPECT_TRUE(shell.boxes.isEmpty());
    }
  }
}

TEST_F(MainWndTest, MenuRestoreRestoresEveryConnectedDeviceAndSaysSo) {
  CMainWnd& window = MakeWindow();
  Session().Initialise();  // the first-run profile libraries, as "windowinit" makes them
  EXPECT_EQ(window.SkinMenuAction(QStringLiteral("menu_restore")), SkinMenuResult::kKeepPicker);
  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_1")}) << "nothing is connected";
  boxes.clear();

  std::vector<std::string> order;
  for (auto [kind, name] : {std::pair{DeviceKind::kMousepad, "mousepad"}, std::pair{DeviceKind::kKeyboard, "keyboard"},
                            std::pair{DeviceKind::kMouse, "mouse"}}) {
    DevicePageHooks hooks;
    hooks.refresh = [&order, name = name] { order.push_back(std::string(name) + " refresh"); };
    hooks.restored = [&order, name = name] { order.push_back(std::string(name) + " restored"); };
    window.SetPageHooks(kind, hooks);
  }
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(Attach(bus, Session().Device(DeviceKind::kMouse), mouse));
  ASSERT_TRUE(Session().Mouse().Model().SetStage(1, 77).applied);
  Session().Mouse().Model().image().banks[0].bytes.fill(0x5A);

  EXPECT_EQ(window.SkinMenuAction(QStringLiteral("menu_restore")), SkinMenuResult::kKeepPicker);

  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_restored")});
  EXPECT_EQ(order, (std::vector<std::string>{"mouse refresh", "mouse restored"})) << "only the connected mouse";
  const profile::PayloadResult light = Session().Mouse().LightStore().ReadDefaultPayload();
  const profile::PayloadResult keys = Session().Mouse().KeyStore().ReadDefaultPayload();
  ASSERT_TRUE(light.result.ok() && keys.result.ok());
  const mouse::MouseImage& image = Session().Mouse().Model().image();
  EXPECT_TRUE(std::equal(image.active.bytes.begin(), image.active.bytes.end(), light.payload.begin()));
  EXPECT_TRUE(std::equal(image.banks[0].bytes.begin(), image.banks[0].bytes.end(), keys.payload.begin()));
  EXPECT_EQ(image.pointerSpeed, 10);
  EXPECT_EQ(image.wheelLines, 1);
  EXPECT_TRUE(Session().DeferredWritePending(DeviceKind::kMouse)) << "the restored settings go to the mouse";
  EXPECT_EQ(bus.Firmware(mouse).Bank(0), image.banks[0].bytes) << "the default key bank is written at once";
}

TEST_F(MainWndTest, ShowOrWarnShowsTheWindowOnlyWithADeviceAndWarnsOnce) {
  ASSERT_TRUE(StartWindow());
  CMainWnd& window = Window();
  ASSERT_FALSE(window.isVisible());

  // No device: hidden, one box even when the wake-up comes again while the box is open.
  onBox = [&] { window.ShowOrWarn(); };
  window.Post(WindowMessage::WakeMessage);
  ASSERT_TRUE(WaitFor([&] { return !boxes.isEmpty(); }));
  EXPECT_EQ(boxes, QStringList{"message_text_1"});
  EXPECT_FALSE(window.isVisible());

  // The tray's own guard is separate from the wake-up's.
  boxes.clear();
  onBox = [&] { window.OnTrayLeftClick(); };
  window.OnTrayLeftClick();
  EXPECT_EQ(boxes, QStringList{"message_text_1"});

  boxes.clear();
  onBox = nullptr;
  window.Session().Device(DeviceKind::kHeadset).connected = true;
  window.Post(WindowMessage::WakeMessage);
  ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }));
  EXPECT_TRUE(boxes.isEmpty());

  window.hide();
  window.OnTrayLeftClick();
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.IsTimerActive(kTimerRepaintOnce));
}

TEST_F(MainWndTest, WithoutATrayTheWindowStaysReachable) {
  Options().trayAvailable = false;
  ASSERT_TRUE(StartWindow());
  Window().ShowOrWarn();
  EXPECT_EQ(boxes, QStringList{"message_text_1"});
  EXPECT_TRUE(Window().isVisible());
  Window().HideMainWindow();
  EXPECT_TRUE(Window().isVisible());
}

TEST_F(MainWndTest, SuspendClearsTheAwakeFlagAndResumeSetsItAgain) {
  CMainWnd& window = MakeWindow();
  platform::SuspendWatcher watcher(nullptr);  // not started: the test plays logind's signals
  window.WatchSuspend(watcher);
  EXPECT_TRUE(window.Session().SystemAwake());
  emit watcher.suspending();
  EXPECT_FALSE(window.Session().SystemAwake());
  emit watcher.resumed();
  EXPECT_TRUE(window.Session().SystemAwake());
}

TEST_F(MainWndTest, KeyButtonMessagesTintEntry20PlusWParamAndIgnoreOthers) {
  CMainWnd& window = MakeWindow();
  struct Row {
    qint64 wParam;
    int entry;  // -1: no key button is touched
  };
  const Row rows[] = {{0, 20}, {14, 34}, {153, 173}, {154, -1}, {-1, -1}, {-21, -1}, {1LL << 40, -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.wParam);
    std::vector<quint32> colours;
    for (int e = 0; e < kKeyButtonCount; ++e) colours.push_back(window.KeyButton(e).ChangerColor());
    window.Send(WindowMessage::WM_KEYBTN_COLOR, row.wParam, 0x00123456);
    window.Send(WindowMessage::WM_KEYBTN_ALPHA, row.wParam, 300);
    for (int e = 0; e < kKeyButtonCount; ++e) {
      if (e == row.entry) {
        EXPECT_EQ(window.KeyButton(e).ChangerColor(), 0x00123456u);
        EXPECT_EQ(window.KeyButton(e).ChangerAlpha(), 255);
      } else {
        EXPECT_EQ(window.KeyButton(e).ChangerColor(), colours[static_cast<std::size_t>(e)]) << e;
      }
    }
  }
}

TEST_F(MainWndTest, ProgressNoticeShowsAndHidesASecondAfterTheUpload) {
  CMainWnd& window = MakeWindow();
  const ui::Control progress = window.FindControl(QStringLiteral("setting_progress"));
  window.Send(WindowMessage::WM_PROGRESS_SHOW);
  EXPECT_TRUE(progress.IsVisible());
  window.Send(WindowMessage::WM_PROGRESS_DONE);
  EXPECT_TRUE(window.IsTimerActive(kTimerProgress));
  EXPECT_TRUE(progress.IsVisible());
  ASSERT_TRUE(WaitFor([&] { return !progress.IsVisible(); }));
  EXPECT_FALSE(window.IsTimerActive(kTimerProgress));
}

// Timer 2: a write the connected mouse refuses is tried again after growing pauses; after four
// refusals the change is dropped and the user is told once. A refusal that ends in time is written.
TEST_F(MainWndTest, AMouseThatKeepsRefusingTheSettingsWriteLosesTheChangeWithOneMessage) {
  struct Row {
    const char* name;
    int refusals;
    bool dropped;
  };
  for (const Row& row : {Row{"refused twice, then taken", 2, false}, Row{"refused for good", 1000, true}}) {
    SCOPED_TRACE(row.name);
    ShellFixture shell;
    const int mouse = shell.bus.Plug(sim::SimDeviceKind::kMouse);
    ASSERT_TRUE(shell.StartWindow());
    ASSERT_TRUE(Attach(shell.bus, shell.Session().Device(DeviceKind::kMouse), mouse));
    shell.bus.AnswerStatus(mouse, 0xFF, row.refusals);
    ASSERT_TRUE(shell.Session().Mouse().Model().SetStage(1, 20).applied);
    ASSERT_TRUE(WaitFor([&] { return !shell.Session().DeferredWritePending(DeviceKind::kMouse); }));
    EXPECT_EQ(shell.boxes, row.dropped ? QStringList{QStringLiteral("message_text_write_dropped")} : QStringList{});
    EXPECT_EQ(shell.bus.Firmware(mouse).Record(0)[mouse::MouseActiveSettings::kStageOffsets[0]] == 20, !row.dropped);
  }
}

TEST_F(MainWndTest, MouseSettingsChangeReachesTheMouseWithinATick) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  ASSERT_TRUE(StartWindow());
  ASSERT_TRUE(Attach(bus, Window().Session().Device(DeviceKind::kMouse), mouse));
  bus.ClearRequests(mouse);

  ASSERT_TRUE(Window().Session().Mouse().Model().SetStage(1, 20).applied);
  EXPECT_TRUE(Window().Session().DeferredWritePending(DeviceKind::kMouse));
  auto written = [&] {
    for (const sim::SimRequest& request : bus.Requests(mouse))
      if (request.bytes[3] == 0x06 && request.bytes[8 + mouse::MouseActiveSettings::kStageOffsets[0]] == 20)
        return true;
    return false;
  };
  ASSERT_TRUE(WaitFor(written));
  ASSERT_TRUE(WaitFor([&] { return !Window().Session().DeferredWritePending(DeviceKind::kMouse); }));
}

TEST_F(MainWndTest, MouseMessagesReadTheMouseAndRefreshItsPage) {
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  CMainWnd& window = MakeWindow();
  int refreshes = 0;
  DevicePageHooks hooks;
  hooks.refresh = [&] { ++refreshes; };
  window.SetPageHooks(DeviceKind::kMouse, hooks);
  ASSERT_TRUE(Attach(bus, window.Session().Device(DeviceKind::kMouse), mouse));

  bus.PressProfileButton(mouse);
  window.Send(WindowMessage::WM_MS_PROFILE);
  EXPECT_EQ(window.Session().Mouse().Model().image().active.ActiveProfile(), 1);
  EXPECT_EQ(refreshes, 1);

  bus.Firmware(mouse).SetActiveProfile(3);
  window.Send(WindowMessage::WM_MS_RELOAD);
  EXPECT_EQ(window.Session().Mouse().Model().image().active.ActiveProfile(), 3);
  EXPECT_EQ(refreshes, 2);
}

TEST_F(MainWndTest, PageHooksRunAtWindowInitTimersAndMessages) {
  CMainWnd& window = MakeWindow();
  std::vector<std::string> calls;
  for (auto [page, name] :
       {std::pair{DeviceKind::kKeyboard, std::string("kb")}, std::pair{DeviceKind::kMouse, std::string("ms")},
        std::pair{DeviceKind::kMousepad, std::string("mp")},
        std::pair{DeviceKind::kHeadset, std::string("hs")}}) {
    DevicePageHooks hooks;
    hooks.initPage = [&calls, name = name] { calls.push_back(name + " init"); };
    hooks.refresh = [&calls, name = name] { calls.push_back(name + " refresh"); };
    window.SetPageHooks(page, hooks);
  }
  window.SetMessageHandler(WindowMessage::WM_HOOK_KEY_SINGLEKEY, [](qint64 w, qint64 l) { return w + l; });

  QSignalSpy initialised(&window, &CMainWnd::initialised);
  window.show();
  ASSERT_TRUE(initialised.wait(10000));
  EXPECT_EQ(calls, (std::vector<std::string>{"kb init", "ms init", "mp init", "hs init"}));
  // Timers 11 and 12 read the keyboard and the mousepad once, half a second after windowinit; each
  // read ends with its page's refresh.
  ASSERT_TRUE(WaitFor([&] { return calls.size() == 6; }));
  EXPECT_EQ(std::vector(calls.begin() + 4, calls.end()), (std::vector<std::string>{"kb refresh", "mp refresh"}));
  EXPECT_FALSE(window.IsTimerActive(kTimerKeyboardRead));
  EXPECT_FALSE(window.IsTimerActive(kTimerMousepadRead));

  calls.clear();
  for (WindowMessage message : {WindowMessage::WM_KB_RELOAD, WindowMessage::WM_KB_PROFILE,
                                WindowMessage::WM_MP_RELOAD, WindowMessage::WM_MP_PROFILE})
    window.Send(message);
  EXPECT_EQ(calls, (std::vector<std::string>{"kb refresh", "kb refresh", "mp refresh", "mp refresh"}));
  EXPECT_EQ(window.Send(WindowMessage::WM_HOOK_KEY_SINGLEKEY, 40, 2), 42);
  EXPECT_EQ(window.Send(WindowMessage::WM_HOOK_MOU_MACRO, 40, 2), 0);  // no handler yet
}

TEST_F(MainWndTest, WindowButtonsAreHandledFirstAndOtherClicksAreRouted) {
  CMainWnd& window = MakeWindow();
  QStringList routed;
  int pickers = 0;
  window.SetNotifyRouter([&](const ui::Notification& msg) { routed.append(msg.type + ":" + msg.name); });
  window.SetSkinPickerOpener([&](const ui::Control& button) {
    EXPECT_EQ(button.Name(), QStringLiteral("skinbtn"));
    ++pickers;
  });
  Click(QStringLiteral("skinbtn"));
  Click(QStringLiteral("kb_key_0"));
  Click(QStringLiteral("restorebtn"));
  EXPECT_EQ(pickers, 1);
  EXPECT_EQ(routed, (QStringList{"click:skinbtn", "click:kb_key_0"}));
  EXPECT_FALSE(window.IsShutDown());
  Click(QStringLiteral("closebtn"));
  EXPECT_TRUE(window.IsShutDown());
  EXPECT_EQ(routed.size(), 2);
}

TEST(MainWndBackground, StoredChoiceInMainIniBecomesTheRootBackground) {
  struct Row {
    const char* flags;  // nullptr: no main.ini
    const char* image;
    const char* expected;
  };
  const Row rows[] = {
      {nullptr, nullptr, "common/background.png"},
      {"0", "common/skin_custom.png", "common/background.png"},
      {"1", "common/skin_custom.png", "common/skin_custom.png"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    ShellFixture shell;
    const std::filesystem::path ini = shell.Options().folders.GetBaseFolder() / "main.ini";
    if (row.flags) {
      ASSERT_TRUE(profile::WriteIniString(ini, "SKINIMAGE", "FLAGS", row.flags));
      ASSERT_TRUE(profile::WriteIniString(ini, "SKINIMAGE", "IMAGE", row.image));
    }
    ASSERT_TRUE(shell.StartWindow());
    EXPECT_EQ(shell.Window().FindControl(QStringLiteral("root")).BkImage(), QLatin1String(row.expected));
  }
}

TEST(MainWndAudio, BindsTheAudioLibraryOrShowsTheLoadError) {
  {
    ShellFixture shell;
    shell.Options().audioLoader = [] {
      return headset::AudioChipLoad{nullptr, 2, "No such file or directory"};
    };
    shell.MakeWindow();
    EXPECT_FALSE(shell.audio.IsBound());
    EXPECT_EQ(shell.boxes, QStringList{"Error: error 2: No such file or directory"});
  }
  {
    ShellFixture shell;
    auto chip = std::make_shared<sim::SimulatedHeadsetChip>();
    shell.Options().audioLoader = [chip] { return headset::AudioChipLoad{chip, 0, {}}; };
    shell.MakeWindow();
    EXPECT_TRUE(shell.audio.IsBound());
    EXPECT_TRUE(shell.boxes.isEmpty());
  }
  {
    ShellFixture shell;
    shell.MakeWindow();  // no audio backend: unbound, silently
    EXPECT_FALSE(shell.audio.IsBound());
    EXPECT_TRUE(shell.boxes.isEmpty());
  }
}

}  // namespace
}  // namespace korva::app

namespace korva::app {
namespace {

// The watchers and readers on the simulated bus, through the main window as their host.
class MainWndWatchersTest : public ::testing::Test, public test::ShellFixture {
 protected:
  void SetUp() override {
    Options().startWatchers = true;
    SessionOptions().paces.connected = std::chrono::milliseconds(20);
    SessionOptions().paces.absent = std::chrono::milliseconds(50);
    SessionOptions().paces.readerRead = std::chrono::milliseconds(100);
    SessionOptions().paces.readerSearch = std::chrono::milliseconds(50);
    SessionOptions().paces.keyboardSettle = std::chrono::milliseconds(10);
    headsetChip = std::make_shared<sim::SimulatedHeadsetChip>();
    Options().audioLoader = [chip = headsetChip] { return headset::AudioChipLoad{chip, 0, {}}; };
  }

  bool TabVisible(const char* tab) { return Window().FindControl(QString::fromLatin1(tab)).IsVisible(); }
  bool TabSelected(const char* tab) { return Window().FindControl(QString::fromLatin1(tab)).IsSelected(); }

  std::shared_ptr<sim::SimulatedHeadsetChip> headsetChip;
};

TEST_F(MainWndWatchersTest, ArrivalsShowTabsAndRemovalsMoveTheSelectionThenHideTheWindow) {
  const int keyboard = bus.Plug(sim::SimDeviceKind::kKeyboardModel1);
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  headsetChip->SetPresent(true);
  ASSERT_TRUE(StartWindow());
  CMainWnd& window = Window();

  ASSERT_TRUE(WaitFor([&] { return TabVisible("kb_tab") && TabVisible("ms_tab") && TabVisible("hs_tab"); }));
  EXPECT_FALSE(TabVisible("mp_tab"));
  ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }));  // a watcher's wake-up found devices
  EXPECT_EQ(window.Session().KeyboardModel(), 1);
  // The mouse's arrival read went into the page state.
  bus.Firmware(mouse).SetActiveProfile(2);
  ASSERT_TRUE(
      WaitFor([&] { return window.Session().Mouse().Model().image().info.bytes != mouse::MouseDeviceInfo{}.bytes; }));
  // The arrival's own write (the stored light profile put into effect) has gone out before the user
  // touches the mouse: a button pressed before it would be undone by it.
  ASSERT_TRUE(WaitFor([&] { return !window.Session().DeferredWritePending(DeviceKind::kMouse); }));

  // The mouse's own profile button: its reader sends WM_MS_PROFILE, the window re-reads.
  ASSERT_TRUE(bus.PressProfileButton(mouse));
  ASSERT_TRUE(WaitFor([&] { return window.Session().Mouse().Model().image().active.ActiveProfile() == 3; }));

  // The keyboard goes while its tab is selected: the mouse's tab is next in line.
  window.FindControl(QStringLiteral("kb_tab")).Select(true);
  bus.Unplug(keyboard);
  ASSERT_TRUE(WaitFor([&] { return !TabVisible("kb_tab"); }));
  ASSERT_TRUE(WaitFor([&] { return TabSelected("ms_tab"); }));
  EXPECT_EQ(window.CurrentDevicePage(), 1);

  // The last devices go: the window hides (there is a tray to bring it back).
  bus.Unplug(mouse);
  headsetChip->SetPresent(false);
  ASSERT_TRUE(WaitFor([&] { return !TabVisible("ms_tab") && !TabVisible("hs_tab"); }));
  ASSERT_TRUE(WaitFor([&] { return !window.isVisible(); }));

  window.Shutdown();
  EXPECT_EQ(window.Workers().RunningCount(), 0);
  EXPECT_TRUE(window.LastStopReport().withinBound);
}

}  // namespace
}  // namespace korva::app
