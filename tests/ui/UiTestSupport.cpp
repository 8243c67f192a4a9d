#include "UiTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>

namespace korva::ui::test {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "korva_ui_tests";
  static char* argv[] = {name, nullptr};
  // Kept for the whole run and reachable from here, so not a leak.
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

void Recorder::Notify(const Notification& msg) {
  if (!hover &&
      (msg.type == QLatin1String(notify::kMouseEnter) || msg.type == QLatin1String(notify::kMouseLeave)))
    return;
  received.push_back({msg.type, msg.name, msg.wParam, msg.lParam});
}

QStringList Recorder::Types() const {
  QStringList types;
  for (const Received& r : received) types.append(r.type);
  return types;
}

TempSkin::TempSkin() {
  Write(QStringLiteral("res.xml"), QStringLiteral(R"(<Resources>
  <File id="XML_TEST" path="test.xml"/>
  <Font family="DejaVu Sans" size="12"/>
</Resources>)"));
  Write(QStringLiteral("lan_test.xml"), QStringLiteral(R"(<Language lang="en">
  <Text id="hello_text">Hello</Text>
  <Text id="item_a">Apple</Text>
</Language>)"));
  Write(QStringLiteral("lan_test2.xml"), QStringLiteral(R"(<Language lang="fr">
  <Text id="hello_text">Bonjour</Text>
  <Text id="item_a">Pomme</Text>
</Language>)"));
}

void TempSkin::Write(const QString& name, const QString& text) {
  QFile file(QDir(dir_.path()).filePath(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text.toUtf8());
}

std::unique_ptr<Skin> TempSkin::Open() {
  auto opened = Skin::Open(dir_.path());
  EXPECT_TRUE(opened) << (opened ? std::string() : opened.error().ToString());
  if (!opened) return nullptr;
  auto error = opened.value()->LoadLanguage(QStringLiteral("lan_test.xml"));
  EXPECT_FALSE(error) << error->ToString();
  return std::move(opened.value());
}

QWidget* PageWindow::CreateControl(const QString& cls) {
  asked.append(cls);
  for (const auto& [pageClass, file] : pages)
    if (pageClass.compare(cls, Qt::CaseInsensitive) == 0) return BuildPage(file);
  return nullptr;
}

}  // namespace korva::ui::test

// fontconfig keeps its font caches until the process ends; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
