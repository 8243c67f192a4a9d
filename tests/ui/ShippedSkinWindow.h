#pragma once
// Shared pieces of the tests that build pages of the shipped skin: the application object, a window
// that builds the page classes from their page files as the main window does, and a notifier that
// routes every notification as the main window's Notify does (and keeps what it routed).

#include <QApplication>
#include <QString>
#include <QStringList>

#include "ui/Notify.h"
#include "ui/PageTable.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/controls/StandardControls.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::test {

// Creates the QApplication once for the whole test program; it is kept for the whole run.
inline void EnsureQtApplication() {
  static int argc = 1;
  static char name[] = "korva_page_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

// The shipped skin with its standard controls and the English texts, opened once per test program;
// nullptr when it does not open.
inline ui::Skin* SharedShippedSkin() {
  static ui::Skin* skin = [] {
    EnsureQtApplication();
    auto opened = ui::Skin::Open(ui::Skin::SourceSkinFolder());
    if (!opened) return static_cast<ui::Skin*>(nullptr);
    ui::Skin* s = opened.value().release();
    ui::RegisterStandardControls(s->Factory());
    if (s->LoadLanguage(QStringLiteral("lan_en.xml"))) return static_cast<ui::Skin*>(nullptr);
    return s;
  }();
  return skin;
}

class ShippedPageWindow : public ui::SkinWindow, public ui::IDialogBuilderCallback {
 public:
  using SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& cls) override {
    if (auto file = ui::PageFileForClass(cls)) return BuildPage(*file);
    return nullptr;
  }
};

class RoutingNotifier : public ui::INotifyUI {
 public:
  explicit RoutingNotifier(ui::NotifyRouter& router) : router_(router) {}
  void Notify(const ui::Notification& msg) override {
    const bool hover = msg.type == QLatin1String(ui::notify::kMouseEnter) ||
                       msg.type == QLatin1String(ui::notify::kMouseLeave);
    const bool handled = router_.Dispatch(msg).handled;
    if (!hover) handled_.push_back(msg.name + QLatin1Char('/') + msg.type + (handled ? "" : " unhandled"));
  }
  // "name/type" of every routed notification but hovers, " unhandled" added where none took it.
  const QStringList& Handled() const { return handled_; }

 private:
  ui::NotifyRouter& router_;
  QStringList handled_;
};

}  // namespace korva::test
