#pragma once
// Shared pieces of the tests that build pages of the shipped skin: the application object, a window
// that builds the page classes from their page files as the main window does, and a notifier that
// routes every notification as the main window's Notify does (and keeps what it routed).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStackedWidget>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

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

// Shows `widget`'s page: every tab layout above it selects the page that holds it. The turn of the
// event loop then ends (without painting): a page shown takes its look at that moment.
inline void BringToFront(QWidget* widget) {
  for (QWidget* child = widget; child && child->parentWidget(); child = child->parentWidget())
    if (auto* tabs = qobject_cast<QStackedWidget*>(child->parentWidget())) tabs->setCurrentWidget(child);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
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

// The shipped skin with the standard controls and the language file `language` loaded; null, with
// `error` set, when it does not open.
inline std::unique_ptr<ui::Skin> OpenShippedSkin(const QString& language, std::string& error) {
  auto opened = ui::Skin::Open(ui::Skin::SourceSkinFolder());
  if (!opened) {
    error = opened.error().ToString();
    return nullptr;
  }
  std::unique_ptr<ui::Skin> skin = std::move(opened.value());
  ui::RegisterStandardControls(skin->Factory());
  if (auto failed = skin->LoadLanguage(language)) {
    error = failed->ToString();
    return nullptr;
  }
  return skin;
}

// Builds into `window` a window file, written into `folder`, that holds the page of `pageTag`
// (a page class such as "HS_DENG_UI"). An error text when it does not build.
inline std::optional<std::string> BuildShippedPage(ShippedPageWindow& window, const QDir& folder, const char* pageTag) {
  const QString file = folder.filePath(QStringLiteral("window.xml"));
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly)) return "cannot write " + file.toStdString();
  out.write(QStringLiteral(R"(<Window size="1000,600"><%1/></Window>)").arg(QLatin1String(pageTag)).toUtf8());
  out.close();
  if (auto error = window.Build(file, &window)) return error->ToString();
  return std::nullopt;
}

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
