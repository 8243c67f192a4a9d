#pragma once
// Shared pieces of the routing, message box and skin picker tests: the application object, the
// real skin of the source tree, a main window built from it with every page, and a way to answer
// the next message box without blocking.

#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <memory>

#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"

namespace korva::ui::test {

// Creates the QApplication once for the whole test program (offscreen platform).
void EnsureApplication();

// The skin folder of the source tree with the standard controls and "lan_en.xml" loaded; fails
// the calling test (and returns null) on error.
std::unique_ptr<Skin> OpenSourceSkin(const QString& language = QStringLiteral("lan_en.xml"));

// The main window's skin with all its pages, without the application behind it.
class MainWindow : public SkinWindow, public IDialogBuilderCallback {
 public:
  explicit MainWindow(Skin& skin);
  QWidget* CreateControl(const QString& elementClass) override;
  bool built = false;
};

// Forwards every notification of a window to a function (the main window's Notify).
class ForwardNotifier : public INotifyUI {
 public:
  explicit ForwardNotifier(std::function<void(const Notification&)> to) : to_(std::move(to)) {}
  void Notify(const Notification& msg) override { to_(msg); }

 private:
  std::function<void(const Notification&)> to_;
};

// Clicks a skin button as the user would (raises "click" through the window).
void Click(const Control& button);

// Arms a one-shot answer for the next message box: once the box is modal, records the text id it
// shows and clicks `button` ("confirm_btn", "cancel_btn", "closebtn"). An empty button closes the
// box through the window system instead. `Answered()` tells whether a box was met.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(QString button);
  bool Answered() const { return *answered_; }
  QString ShownTextId() const { return *textId_; }
  QString ShownText() const { return *text_; }

 private:
  std::shared_ptr<bool> answered_ = std::make_shared<bool>(false);
  std::shared_ptr<QString> textId_ = std::make_shared<QString>();
  std::shared_ptr<QString> text_ = std::make_shared<QString>();
};

// A data folder of its own for a test ("main.ini" goes there).
class TempDataFolder {
 public:
  std::filesystem::path Path() const { return dir_.path().toStdString(); }
  std::filesystem::path MainIni() const { return Path() / "main.ini"; }

 private:
  QTemporaryDir dir_;
};

}  // namespace korva::ui::test
