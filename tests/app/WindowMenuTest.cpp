#include "app/WindowMenu.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "AppTestSupport.h"
#include "app/AppMenu.h"
#include "app/Application.h"
#include "app/MainWnd.h"
#include "app/PointerSettingsTips.h"
#include "app/TrayIcon.h"
#include "platform/FakeDesktopPointerSettings.h"
#include "ui/Skin.h"

namespace korva::app {
namespace {

using test::ShellFixture;
using test::WaitFor;

QStringList ActionNames(const QMenu& menu) {
  QStringList names;
  for (const QAction* action : menu.actions())
    if (!action->isSeparator()) names.append(action->objectName());
  return names;
}

QAction* Item(QMenu& menu, const char* name) {
  return menu.findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

// Clicks the window's menu button as the user would; the menu it opens.
QMenu* ClickMenuButton(CMainWnd& window) {
  auto* button =
      qobject_cast<QAbstractButton*>(window.FindControl(QString::fromLatin1(kWindowMenuButton)).Widget());
  if (!button) return nullptr;
  button->click();
  WindowMenu* menu = window.findChild<WindowMenu*>();
  return menu ? menu->OpenMenu() : nullptr;
}

// Without a tray the window stays shown and offers the tray's menu itself: the same items, the
// texts of the current language, and the same commands.
TEST(WindowMenu, WithoutATrayTheWindowOffersTheTraysMenu) {
  ShellFixture shell;
  shell.Options().trayAvailable = false;
  CMainWnd& window = shell.MakeWindow();
  ASSERT_TRUE(window.FindControl(QString::fromLatin1(kWindowMenuButton)).IsVisible());

  QMenu* menu = ClickMenuButton(window);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(ActionNames(*menu), ActionNames(*window.Tray()->Menu())) << "one menu definition, menu.xml";
  QAction* lan = Item(*menu, "lan");
  ASSERT_NE(lan, nullptr);
  EXPECT_EQ(lan->text(), shell.skin->Text(QStringLiteral("menu_lan_text")));
  const QString chineseLanText = lan->text();

  lan->trigger();
  ASSERT_TRUE(WaitFor([&] { return window.LanguageIsEnglish(); }))
      << "the command runs after the menu closed";
  EXPECT_EQ(shell.skin->Lang(), QStringLiteral("en"));

  // Built again on each opening: the texts follow the language.
  menu = ClickMenuButton(window);
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(Item(*menu, "lan"), nullptr);
  EXPECT_NE(Item(*menu, "lan")->text(), chineseLanText);
  EXPECT_EQ(Item(*menu, "exit")->text(), shell.skin->Text(QStringLiteral("menu_exit_text")));

  QSignalSpy shutDown(&window, &CMainWnd::shutDown);
  Item(*menu, "exit")->trigger();
  ASSERT_TRUE(WaitFor([&] { return shutDown.count() == 1; }));
  EXPECT_TRUE(window.IsShutDown());
}

// "Start with the desktop": a check item that writes the autostart entry (starting this program,
// which stays in the tray where there is one) and removes it again; the check follows the file.
TEST(WindowMenu, StartWithTheDesktopWritesAndRemovesTheAutostartEntry) {
  QTemporaryDir config;
  ASSERT_TRUE(config.isValid());
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  ShellFixture shell;
  shell.Options().trayAvailable = false;
  CMainWnd& window = shell.MakeWindow();
  const QString entry = config.path() + QStringLiteral("/autostart/korva.desktop");
  EXPECT_EQ(AutostartEntryPath(), entry);

  for (const bool on : {true, false}) {
    QMenu* menu = ClickMenuButton(window);
    ASSERT_NE(menu, nullptr);
    QAction* item = Item(*menu, kAutostartItem);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_EQ(item->isChecked(), !on);
    EXPECT_EQ(item->text(), shell.skin->Text(QStringLiteral("menu_autostart_text")));
    item->trigger();
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(entry) == on; }));
    menu->close();
  }
  ASSERT_TRUE(ToggleAutostart(entry, QStringLiteral("/usr/bin/korva"), nullptr));
  QFile file(entry);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("\nExec=/usr/bin/korva\n"));
  if (saved.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", saved);
}

TEST(WindowMenu, WithATrayTheTrayAloneHasTheMenu) {
  ShellFixture shell;
  shell.Options().trayAvailable = true;
  CMainWnd& window = shell.MakeWindow();
  EXPECT_FALSE(window.FindControl(QString::fromLatin1(kWindowMenuButton)).IsVisible());
  WindowMenu* menu = window.findChild<WindowMenu*>();
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(menu->IsOffered());
  EXPECT_EQ(menu->Popup(), nullptr);
}

// --language en: the program starts with the English texts; the menu's "lan" goes back to Chinese.
TEST(WindowMenu, TheProgramStartsInTheLanguageOfTheCommandLine) {
  for (const StartLanguage language : {StartLanguage::kChinese, StartLanguage::kEnglish}) {
    const bool english = language == StartLanguage::kEnglish;
    SCOPED_TRACE(english ? "--language en" : "--language cn");
    QTemporaryDir runtime;
    QTemporaryDir home;
    AppOptions options;
    options.commandLine.simulate = true;
    options.commandLine.noSimPanel = true;
    options.commandLine.language = language;
    options.runtimeDir = runtime.path();
    options.folders = profile::DataFolders(home.filePath(QStringLiteral("KORVA")).toStdString());
    options.trayAvailable = false;
    options.startWatchers = false;
    options.watchSuspend = false;
    options.messageBox = [](QWidget*, const QString&) { return 1; };
    Application app(std::move(options));
    QString error;
    ASSERT_EQ(app.Start(&error), Application::StartResult::kRunning) << error.toStdString();
    CMainWnd& window = *app.MainWindow();
    EXPECT_EQ(window.LanguageIsEnglish(), english);
    EXPECT_EQ(window.GetSkin().Lang(), english ? QStringLiteral("en") : QStringLiteral("cn_zh"));
    EXPECT_EQ(window.FindControl(QStringLiteral("minbtn")).ToolTip(),
              window.GetSkin().Text(QStringLiteral("min_btn_tip")));

    window.MenuCommand(QStringLiteral("lan"), QStringLiteral("menu_lan_text"));
    EXPECT_EQ(window.LanguageIsEnglish(), !english);
    window.Shutdown();
  }
}

// A desktop without a pointer speed or wheel lines setting: the controls say so in their tooltips,
// in the current language.
TEST(PointerSettingsTips, TheControlsSayWhatTheDesktopDoesNotOffer) {
  struct Row {
    const char* name;
    bool speed;
    bool lines;
  };
  const Row rows[] = {
      {"both offered", true, true},
      {"no wheel lines (GNOME)", true, false},
      {"neither (no backend)", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ShellFixture shell;
    CMainWnd& window = shell.MakeWindow();
    platform::FakeDesktopPointerSettings desktop;
    desktop.SetOffers(row.speed, row.lines);
    ShowPointerSettingsTips(window, desktop);
    const ui::Control slider = window.FindControl(QStringLiteral("ms_point_speed_slider"));
    const ui::Control lines = window.FindControl(QStringLiteral("ms_gunlun_speed_edit"));
    ASSERT_TRUE(slider.IsValid() && lines.IsValid());
    const QString speedTip = shell.skin->Text(QString::fromLatin1(kPointerSpeedNoBackendTip));
    const QString linesTip = shell.skin->Text(QString::fromLatin1(kWheelLinesNoBackendTip));
    EXPECT_NE(speedTip, QString::fromLatin1(kPointerSpeedNoBackendTip)) << "a text id of the language file";
    EXPECT_NE(linesTip, QString::fromLatin1(kWheelLinesNoBackendTip)) << "a text id of the language file";
    EXPECT_EQ(slider.ToolTip(), row.speed ? QString() : speedTip);
    EXPECT_EQ(lines.ToolTip(), row.lines ? QString() : linesTip);

    ASSERT_TRUE(window.SwitchLanguage());
    if (!row.speed) {
      EXPECT_EQ(slider.ToolTip(), shell.skin->Text(QString::fromLatin1(kPointerSpeedNoBackendTip)));
      EXPECT_NE(slider.ToolTip(), speedTip) << "the tooltip follows the language";
    }
  }
}

}  // namespace
}  // namespace korva::app
