#include "RoutingTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include "ui/routing/MsgWnd.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"

namespace korva::ui::test {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "korva_ui_routing_tests";
  static char* argv[] = {name, nullptr};
  // Kept for the whole run and reachable from here, so not a leak.
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

std::unique_ptr<Skin> OpenSourceSkin(const QString& language) {
  EnsureApplication();
  auto opened = Skin::Open(Skin::SourceSkinFolder());
  if (!opened) {
    ADD_FAILURE() << opened.error().ToString();
    return nullptr;
  }
  RegisterStandardControls(opened.value()->Factory());
  if (auto error = opened.value()->LoadLanguage(language)) {
    ADD_FAILURE() << error->ToString();
    return nullptr;
  }
  return std::move(opened.value());
}

MainWindow::MainWindow(Skin& skin) : SkinWindow(skin) {
  const auto error = Build(QStringLiteral("XML_MAIN"), this);
  if (error) ADD_FAILURE() << error->ToString();
  built = !error;
}

QWidget* MainWindow::CreateControl(const QString& elementClass) {
  if (auto file = PageFileForClass(elementClass)) return BuildPage(*file);
  return nullptr;
}

void Click(const Control& button) {
  auto* widget = qobject_cast<QAbstractButton*>(button.Widget());
  ASSERT_NE(widget, nullptr) << "no button " << button.Name().toStdString();
  widget->click();
}

MessageBoxAnswer::MessageBoxAnswer(QString button) {
  // Queued: runs once the box's own event loop is running.
  QTimer::singleShot(0, qApp, [button, answered = answered_, textId = textId_, text = text_] {
    auto* box = qobject_cast<CMsgWnd*>(QApplication::activeModalWidget());
    if (!box) return;
    *answered = true;
    *textId = box->FindControl(QStringLiteral("MessageText")).TextId();
    *text = box->FindControl(QStringLiteral("MessageText")).Text();
    if (button.isEmpty())
      box->close();
    else
      Click(box->FindControl(button));
  });
}

}  // namespace korva::ui::test

// fontconfig keeps its font caches until the process ends; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
