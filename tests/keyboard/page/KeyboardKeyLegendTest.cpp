// The key page's legends as a user reads them, in both languages: whatever function a key is given,
// its new legend fits its cap in the page's own skin (no text cut off at the cap's edge, a name cut
// short only with "…" and named whole by the tooltip), and a key given back its factory function
// shows the skin's legend in the skin's font again.

#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetrics>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "keyboard/KeyTables.h"
#include "keyboard/page/KeyCapLegend.h"
#include "keyboard/page/KeyboardKeyPage.h"
#include "session/KeyboardController.h"
#include "tests/session/SessionFixture.h"
#include "tests/ui/ShippedSkinWindow.h"

namespace korva::keyboard {
namespace {

using ui::Control;

constexpr char kLongMacroName[] = "Reload and switch weapon";

// Every function the key page can label a key with (the macro is macro 0).
std::vector<KeyFunction> EveryLabelledFunction() {
  std::vector<KeyFunction> functions;
  for (const KeyTableEntry& entry : KeyTable()) functions.push_back(entry.function);
  for (auto list : {MouseButtonDescriptors(), TiltDescriptors(), WheelDescriptors(), DpiDescriptors(),
                    ConsumerDescriptors(), SystemDescriptors()})
    for (const KeyDescriptor& descriptor : list) functions.push_back(descriptor.function);
  functions.push_back(kFireKeyDescriptor.function);
  functions.push_back({key_type::kMacro, 0, 0});
  functions.push_back({0x99, 0, 0});  // unknown to the editor: shown as "off"
  return functions;
}

class KeyboardKeyLegendTest : public session::test::SessionFixture {
 protected:
  void SetUp() override {
    korva::test::EnsureQtApplication();
    ASSERT_TRUE(folder.isValid());
    ASSERT_GE(Attach(sim::SimDeviceKind::kKeyboard, DeviceKind::kKeyboard), 0);
    ASSERT_TRUE(Keyboard().ReadAll().changed);
  }

  session::KeyboardController& Keyboard() { return session->Keyboard(); }

  // The key page of the shipped skin in `language`, over the keyboard.
  void OpenPage(const char* language) {
    page.reset();
    window.reset();
    std::string error;
    skin = korva::test::OpenShippedSkin(QString::fromLatin1(language), error);
    ASSERT_TRUE(skin) << error;
    window = std::make_unique<korva::test::ShippedPageWindow>(*skin);
    auto built = korva::test::BuildShippedPage(*window, QDir(folder.path()), "kb_Key_UI");
    ASSERT_FALSE(built) << *built;
    window->show();
    KeyboardKeyPage::Hooks hooks;
    hooks.macroNames = macroNames;
    page = std::make_unique<KeyboardKeyPage>(*window, Keyboard(), std::move(hooks));
  }

  // Every key of the edited bank does `function`.
  void AssignEveryKey(const KeyFunction& function) {
    KeyBank& bank = *Keyboard().Image().ActiveBank();
    for (std::size_t k = 0; k < Keyboard().Image().KeyCount(); ++k) StoreEntry(bank, k, function);
  }

  QPushButton* Key(std::size_t picture) {
    return qobject_cast<QPushButton*>(window->FindControl(QStringLiteral("kb_key_%1").arg(picture)).Widget());
  }

  std::vector<QPushButton*> ShownKeys() {
    std::vector<QPushButton*> keys;
    for (std::size_t n = 0; n < kKeyPictureCount; ++n) {
      QPushButton* key = Key(n);
      if (key && !key->isHidden() && Keyboard().Image().keyButtonMap[n] != kNoEntry) keys.push_back(key);
    }
    return keys;
  }

  // The keys whose legend does not fit their cap, as "name: legend".
  QStringList CutLegends() {
    QStringList cut;
    for (QPushButton* key : ShownKeys()) {
      const QSize room = LegendRoom(*key);
      const QFontMetrics metrics(key->font());
      const QStringList lines = key->text().split(QLatin1Char('\n'));
      int widest = 0;
      for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
      const int height = metrics.height() + (lines.size() - 1) * metrics.lineSpacing();
      if (widest > room.width() || height > room.height() || key->font().pixelSize() < kSmallestLegendPixels)
        cut.append(key->objectName() + QStringLiteral(": \"") + key->text() + QStringLiteral("\" in ") +
                   QString::number(key->font().pixelSize()) + QStringLiteral(" px"));
    }
    return cut;
  }

  // One macro, with a name as long as the macro editor takes.
  const MacroNames macroNames = [](int number) -> std::optional<std::string> {
    if (number == 0) return kLongMacroName;
    return std::nullopt;
  };
  QTemporaryDir folder;
  std::unique_ptr<ui::Skin> skin;
  std::unique_ptr<korva::test::ShippedPageWindow> window;
  std::unique_ptr<KeyboardKeyPage> page;
};

TEST_F(KeyboardKeyLegendTest, EveryFunctionsLegendFitsEveryKeyInBothLanguages) {
  ASSERT_GT(Keyboard().Image().KeyCount(), 0u);
  for (const char* language : {"lan_en.xml", "lan_cn.xml"}) {
    SCOPED_TRACE(language);
    OpenPage(language);
    ASSERT_FALSE(ShownKeys().empty());
    QStringList cut;
    QStringList shortened;
    for (const KeyFunction& function : EveryLabelledFunction()) {
      AssignEveryKey(function);
      page->Refresh();
      cut.append(CutLegends());
      // A name cut short is named whole by its key's tooltip, and the cap shows its beginning.
      for (const KeyLabel& label : KeyLabels(Keyboard().Image(), macroNames)) {
        QPushButton* key = Key(label.picture);
        if (!key || !key->text().contains(QChar(0x2026))) continue;
        const QString name = label.labelIsTextId ? skin->Text(QString::fromStdString(label.label))
                                                 : QString::fromStdString(label.label);
        QString beginning = key->text();
        beginning.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QChar(0x2026));
        if (!key->toolTip().endsWith(name) || !name.startsWith(beginning.trimmed()))
          shortened.append(key->objectName() + QStringLiteral(": \"") + key->text() + QStringLiteral("\" for \"") +
                           name + QStringLiteral("\", tooltip \"") + key->toolTip() + QLatin1Char('"'));
      }
    }
    EXPECT_TRUE(cut.isEmpty()) << cut.size() << " legends cut off:\n" << cut.join('\n').toStdString();
    EXPECT_TRUE(shortened.isEmpty()) << "names cut short and lost:\n" << shortened.join('\n').toStdString();
  }
}

TEST_F(KeyboardKeyLegendTest, ANameTooLongForTheCapShowsTheSkinsLegendOfThatKeyAndAnotherIsShownWhole) {
  struct Row {
    const char* language;
    std::size_t picture;  // the key given the function
    KeyFunction function;
    const char* legend;   // its lines, joined with spaces
  };
  const KeyFunction keypadEnter = KeyPictureFunctions()[118];
  const KeyFunction printScreen = KeyPictureFunctions()[13];
  const Row rows[] = {
      {"lan_en.xml", 1, keypadEnter, "Ent"},            // "Keypad Enter" does not fit
      {"lan_cn.xml", 1, keypadEnter, "小键盘回车"},      // fits on two lines
      {"lan_en.xml", 0, printScreen, "Print Screen"},  // fits on two lines
  };
  auto squeezed = [](QString text) { return text.remove(QLatin1Char('\n')).remove(QLatin1Char(' ')); };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.language) + " key " + std::to_string(row.picture));
    OpenPage(row.language);
    KeyboardImage& image = Keyboard().Image();
    *image.ActiveBank() = image.defaultBlock;
    const std::size_t entry = image.keyButtonMap[row.picture];
    ASSERT_NE(entry, kNoEntry);
    StoreEntry(*image.ActiveBank(), entry, row.function);
    page->Refresh();
    Control key = window->FindControl(QStringLiteral("kb_key_%1").arg(row.picture));
    EXPECT_EQ(squeezed(key.Text()), squeezed(QString::fromUtf8(row.legend))) << key.Text().toStdString();
    EXPECT_TRUE(CutLegends().isEmpty()) << CutLegends().join('\n').toStdString();
  }
}

TEST_F(KeyboardKeyLegendTest, AKeyBackOnItsFactoryFunctionShowsTheSkinsLegendInTheSkinsFont) {
  OpenPage("lan_en.xml");
  KeyboardImage& image = Keyboard().Image();
  page->Refresh();
  std::vector<std::pair<QString, int>> skinLegends;
  for (QPushButton* key : ShownKeys()) skinLegends.emplace_back(key->text(), key->font().pixelSize());

  // A long name on every key that shows a key of the keyboard (the others keep their legend).
  for (std::size_t k = 0; k < image.KeyCount(); ++k)
    if (EntryAt(image.defaultBlock, k).type == key_type::kKey)
      StoreEntry(*image.ActiveBank(), k, ConsumerDescriptors().front().function);
  page->Refresh();
  *image.ActiveBank() = image.defaultBlock;
  page->Refresh();

  const std::vector<QPushButton*> keys = ShownKeys();
  ASSERT_EQ(keys.size(), skinLegends.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i]->text(), skinLegends[i].first) << keys[i]->objectName().toStdString();
    EXPECT_EQ(keys[i]->font().pixelSize(), skinLegends[i].second) << keys[i]->objectName().toStdString();
  }
}

}  // namespace
}  // namespace korva::keyboard
