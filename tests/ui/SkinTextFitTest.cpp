// The shipped skin as a user reads it, in both languages: every character of every text has a glyph
// in the skin's fonts (no boxes), and every text of a labelled control fits the control as it is
// laid out on its page (nothing is cut off).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <vector>

#include "UiTestSupport.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "ui/SkinWidgets_p.h"

namespace korva::ui::test {
namespace {

// The fonts the skin names for the Chinese texts; the set-up scripts install it.
constexpr char kChineseFont[] = "Droid Sans Fallback";

class AnyWindow : public SkinWindow, public IDialogBuilderCallback {
 public:
  using SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& cls) override {
    if (auto file = PageFileForClass(cls)) return BuildPage(*file);
    return GetSkin().Factory().Create(cls);
  }
};

std::unique_ptr<Skin> OpenShippedSkin() {
  auto opened = Skin::Open(Skin::SourceSkinFolder());
  if (!opened) {
    ADD_FAILURE() << opened.error().ToString();
    return nullptr;
  }
  RegisterStandardControls(opened.value()->Factory());
  return std::move(opened.value());
}

// The shipped skin with the texts of `language` loaded; null (a failure added) when it does not open.
std::unique_ptr<Skin> OpenShippedSkinIn(const char* language) {
  std::unique_ptr<Skin> skin = OpenShippedSkin();
  if (!skin) return nullptr;
  if (auto error = skin->LoadLanguage(QString::fromLatin1(language))) {
    ADD_FAILURE() << error->ToString();
    return nullptr;
  }
  return skin;
}

// Every text of a language file, by id.
std::vector<std::pair<QString, QString>> LanguageTexts(const QString& path) {
  std::vector<std::pair<QString, QString>> texts;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << path.toStdString();
    return texts;
  }
  QXmlStreamReader xml(&file);
  while (xml.readNextStartElement()) {
    if (xml.name() == QLatin1String("Text")) {
      const QString id = xml.attributes().value(QLatin1String("id")).toString();
      texts.emplace_back(id, xml.readElementText());
    }
  }
  return texts;
}

struct Language {
  const char* file;
};
constexpr Language kLanguages[] = {{"lan_cn.xml"}, {"lan_en.xml"}};

TEST(SkinFonts, EveryCharacterOfEveryTextHasAGlyphInTheSkinsFonts) {
  EnsureApplication();
  ASSERT_TRUE(QFontDatabase::hasFamily(QString::fromLatin1(kChineseFont)))
      << "fontconfig does not find \"" << kChineseFont
      << "\": without it every Chinese text shows as boxes (scripts/install-deps.sh installs it)";
  std::unique_ptr<Skin> skin = OpenShippedSkin();
  ASSERT_TRUE(skin);
  const QFontMetrics metrics(skin->Font());
  for (const Language& language : kLanguages) {
    SCOPED_TRACE(language.file);
    const auto texts = LanguageTexts(skin->FilePath(QString::fromLatin1(language.file)));
    ASSERT_FALSE(texts.empty());
    QStringList missing;
    for (const auto& [id, text] : texts) {
      for (const char32_t c : text.toUcs4()) {
        if (c < 0x20) continue;
        if (!metrics.inFontUcs4(c))
          missing.append(
              QStringLiteral("%1: U+%2").arg(id).arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')));
      }
    }
    EXPECT_TRUE(missing.isEmpty()) << "characters without a glyph:\n" << missing.join('\n').toStdString();
  }
}

// --- texts that fit their controls ------------------------------------------------------------------

// The room a control gives its text, and the width the text needs there. Nothing when the control
// shows no text of the skin.
struct Need {
  int needed = 0;
  int room = 0;
};

int TextWidth(const QFont& font, const QString& text) {
  return QFontMetrics(font).horizontalAdvance(text);
}

// Whether the skin's style sheet draws the button's style class in bold while it is selected
// (`QPushButton[skinclass="subtab"]:checked { ... font-weight: bold; }`): the widget's font says
// only how it is drawn unselected.
bool BoldWhenChecked(const QPushButton& button) {
  const SkinWindow* window = SkinWindow::Of(&button);
  const QString styleClass = button.property(detail::kStyleProperty).toString();
  if (!window || styleClass.isEmpty()) return false;
  const QRegularExpression rule(QStringLiteral(R"(\[skinclass="%1"\]:checked\s*\{[^}]*font-weight:\s*bold)")
                                    .arg(QRegularExpression::escape(styleClass)));
  return rule.match(window->GetSkin().StyleSheet()).hasMatch();
}

std::optional<Need> TextNeed(QWidget* widget) {
  if (!widget->property(detail::kTextProperty).isValid()) return std::nullopt;  // not a skin text
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (label->text().isEmpty()) return std::nullopt;
    const QRect room =
        label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    if (label->wordWrap()) {
      const QRect wrapped = label->fontMetrics().boundingRect(
          QRect(0, 0, room.width(), 100000), Qt::TextWordWrap | label->alignment(), label->text());
      return Need{wrapped.height(), room.height()};
    }
    return Need{label->fontMetrics().horizontalAdvance(label->text()), room.width()};
  }
  if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    if (check->text().isEmpty()) return std::nullopt;
    QStyleOptionButton option;
    option.initFrom(check);
    option.text = check->text();
    const QRect room = check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
    return Need{check->fontMetrics().horizontalAdvance(check->text()), room.width()};
  }
  if (auto* button = qobject_cast<QPushButton*>(widget)) {
    if (button->text().isEmpty()) return std::nullopt;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    // An option whose style draws it bold while selected must fit then too.
    QFont font = button->font();
    if (button->isCheckable() && BoldWhenChecked(*button)) font.setBold(true);
    int needed = std::max(TextWidth(button->font(), button->text()), TextWidth(font, button->text()));
    if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
    return Need{needed, room.width()};
  }
  return std::nullopt;
}

// Lays out what changed: the layouts ask for it with posted events.
void Settle() {
  for (int i = 0; i < 8; ++i) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// Puts `widget` on screen as the program would at some point: the tab layouts above it select its
// page, and it and the controls around it that the skin hides until needed (the device tabs, the
// profile name fields ...) are shown. Returns what was shown, to be hidden again.
std::vector<QWidget*> Reveal(QWidget* widget, const QWidget* window) {
  std::vector<QWidget*> shown;
  for (QWidget* w = widget; w && w != window; w = w->parentWidget()) {
    if (auto* tabs = qobject_cast<QStackedWidget*>(w->parentWidget())) {
      tabs->setCurrentWidget(w);
    } else if (w->isHidden()) {
      w->setVisible(true);
      shown.push_back(w);
    }
  }
  Settle();
  return shown;
}

QString Describe(QWidget* widget) {
  QString where;
  for (QWidget* w = widget; w; w = w->parentWidget())
    if (!w->objectName().isEmpty() && w != widget) {
      where = w->objectName();
      break;
    }
  return QStringLiteral("%1 (text id '%2', in %3): \"%4\"")
      .arg(widget->objectName().isEmpty() ? QStringLiteral("<unnamed>") : widget->objectName(),
           widget->property(detail::kTextProperty).toString(), where,
           widget->property(detail::kShownProperty).toString());
}

struct FitRow {
  const char* window;    // window skin file
  const char* language;  // language file
};

class SkinTextFit : public ::testing::TestWithParam<FitRow> {};

TEST_P(SkinTextFit, EveryTextFitsItsControl) {
  EnsureApplication();
  std::unique_ptr<Skin> skin = OpenShippedSkinIn(GetParam().language);
  ASSERT_TRUE(skin);
  AnyWindow window(*skin);
  auto error = window.Build(QString::fromLatin1(GetParam().window), &window);
  ASSERT_FALSE(error) << error->ToString();
  window.show();
  Settle();

  int checked = 0;
  QStringList cut;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!TextNeed(widget)) continue;
    const std::vector<QWidget*> revealed = Reveal(widget, &window);
    const Need need = *TextNeed(widget);
    ++checked;
    if (need.needed > need.room)
      cut.append(
          QStringLiteral("%1 needs %2 px, has %3").arg(Describe(widget)).arg(need.needed).arg(need.room));
    for (QWidget* w : revealed) w->setVisible(false);
  }
  EXPECT_GT(checked, 0) << "no labelled control found";
  EXPECT_TRUE(cut.isEmpty()) << cut.size() << " texts are cut off:\n" << cut.join('\n').toStdString();
}

// With every device connected and no tray (the window's own menu button shown) the title bar still
// holds all of its controls: none is pushed past the close button's edge.
TEST(SkinTitleBar, HoldsEveryDeviceTabAndTheWindowButtonsAtOnce) {
  EnsureApplication();
  std::unique_ptr<Skin> skin = OpenShippedSkin();
  ASSERT_TRUE(skin);
  AnyWindow window(*skin);
  auto error = window.Build(QStringLiteral("XML_MAIN"), &window);
  ASSERT_FALSE(error) << error->ToString();
  for (const char* name : {"kb_tab", "ms_tab", "mp_tab", "hs_tab", "menubtn"})
    window.FindControl(QString::fromLatin1(name)).SetVisible(true);
  window.show();
  Settle();
  const QWidget* bar = window.FindControl(QStringLiteral("title_bar")).Widget();
  ASSERT_NE(bar, nullptr);
  for (const QWidget* child : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isHidden()) continue;
    EXPECT_TRUE(bar->rect().contains(child->geometry()))
        << child->objectName().toStdString() << " lies outside the title bar";
  }
}

// A button that shows only a picture or a symbol ("◀", "✎", the title bar's pictures) says what it
// does in its tooltip, in both languages. Colour swatches and the device pictures' keys and lights
// are what they show (the keys get their tooltips from the key pages).
TEST(SkinToolTips, EveryButtonWithoutAWordHasATooltip) {
  EnsureApplication();
  for (const Language& language : kLanguages) {
    std::unique_ptr<Skin> skin = OpenShippedSkinIn(language.file);
    ASSERT_TRUE(skin);
    for (const char* file : {"main.xml", "msg.xml", "skin.xml"}) {
      SCOPED_TRACE(std::string(language.file) + " " + file);
      AnyWindow window(*skin);
      auto error = window.Build(QString::fromLatin1(file), &window);
      ASSERT_FALSE(error) << error->ToString();
      QStringList silent;
      for (QPushButton* button : window.findChildren<QPushButton*>()) {
        const QString styleClass = button->property(detail::kStyleProperty).toString();
        if (styleClass == QLatin1String("swatch") || styleClass == QLatin1String("keycap") ||
            styleClass == QLatin1String("led"))
          continue;
        const bool hasWord =
            std::any_of(button->text().cbegin(), button->text().cend(), [](QChar c) { return c.isLetterOrNumber(); });
        if (!hasWord && button->toolTip().trimmed().isEmpty())
          silent.append(QStringLiteral("%1 \"%2\"").arg(button->objectName(), button->text()));
      }
      EXPECT_TRUE(silent.isEmpty()) << "buttons without a word or a tooltip:\n" << silent.join('\n').toStdString();
    }
  }
}

// WCAG's contrast ratio of two colours (1 .. 21).
double Contrast(const QColor& a, const QColor& b) {
  auto luminance = [](const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The file choosers opened over a window (Qt's own dialog, which takes the window's style sheet)
// show their texts readable on their ground: the sheet's light text on a dark ground.
TEST(SkinFileDialog, TextsAreReadableOnTheDialogsGround) {
  EnsureApplication();
  std::unique_ptr<Skin> skin = OpenShippedSkin();
  ASSERT_TRUE(skin);
  AnyWindow window(*skin);
  auto error = window.Build(QStringLiteral("msg.xml"), &window);
  ASSERT_FALSE(error) << error->ToString();
  QFileDialog dialog(&window);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.show();
  Settle();

  const QColor ground = dialog.palette().color(QPalette::Window);
  QStringList unreadable;
  auto check = [&](QWidget* widget, QPalette::ColorRole text, const QColor& under) {
    const double ratio = Contrast(widget->palette().color(text), under);
    if (ratio < 4.5)
      unreadable.append(QStringLiteral("%1 %2: contrast %3").arg(QString::fromLatin1(widget->metaObject()->className()),
                                                                 widget->objectName()).arg(ratio, 0, 'f', 1));
  };
  for (QLabel* label : dialog.findChildren<QLabel*>())
    if (!label->text().isEmpty()) check(label, label->foregroundRole(), ground);
  for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
    check(view, QPalette::Text, view->palette().color(QPalette::Base));
  for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
    check(edit, QPalette::Text, edit->palette().color(QPalette::Base));
  EXPECT_FALSE(dialog.findChildren<QLabel*>().isEmpty());
  EXPECT_TRUE(unreadable.isEmpty()) << unreadable.join('\n').toStdString();
  dialog.hide();
}

// The mouse's button editor stands in the column beside the mouse picture: shown with each kind's
// panel, in both languages and with long macro names to choose from, it never grows over the
// picture's panel (or past the window).
TEST(SkinMouseButtonEditor, EachKindsPanelStaysBesideThePicture) {
  EnsureApplication();
  for (const Language& language : kLanguages) {
    SCOPED_TRACE(language.file);
    std::unique_ptr<Skin> skin = OpenShippedSkinIn(language.file);
    ASSERT_TRUE(skin);
    AnyWindow window(*skin);
    auto error = window.Build(QStringLiteral("main.xml"), &window);
    ASSERT_FALSE(error) << error->ToString();
    window.show();
    // The macros offered to a button, one with as long a name as the macro editor takes.
    Control macros = window.FindControl(QStringLiteral("ms_key_fct_combo_23"));
    macros.AddItem(QStringLiteral("Reload, switch to the sidearm, go"));
    macros.AddItem(QStringLiteral("Jump"));
    QWidget* editor = window.FindControl(QStringLiteral("ms_tab_function")).Widget();
    QWidget* buttons = window.FindControl(QStringLiteral("ms_key_0")).Widget();
    ASSERT_TRUE(editor && buttons);
    QWidget* picture = buttons->parentWidget()->parentWidget();  // the panel round the picture
    auto inWindow = [&window](const QWidget* w) { return QRect(w->mapTo(&window, QPoint()), w->size()); };
    constexpr int kKinds = 11;
    for (int kind = 0; kind < kKinds; ++kind) {
      for (int other = 0; other < kKinds; ++other)
        window.FindControl(QStringLiteral("ms_tab_function_%1").arg(other)).SetVisible(false);
      QWidget* panel = window.FindControl(QStringLiteral("ms_tab_function_%1").arg(kind)).Widget();
      ASSERT_NE(panel, nullptr);
      const std::vector<QWidget*> shown = Reveal(panel, &window);
      EXPECT_FALSE(inWindow(editor).intersects(inWindow(picture)))
          << "kind " << kind << ": the editor at x " << inWindow(editor).x() << " covers the picture's panel up to x "
          << inWindow(picture).right();
      EXPECT_LE(inWindow(editor).right(), window.width()) << "kind " << kind;
      for (QWidget* w : shown) w->setVisible(false);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ShippedSkin, SkinTextFit,
                         ::testing::Values(FitRow{"main.xml", "lan_cn.xml"}, FitRow{"main.xml", "lan_en.xml"},
                                           FitRow{"skin.xml", "lan_cn.xml"}, FitRow{"skin.xml", "lan_en.xml"},
                                           FitRow{"msg.xml", "lan_cn.xml"}, FitRow{"msg.xml", "lan_en.xml"}),
                         [](const ::testing::TestParamInfo<FitRow>& info) {
                           std::string name = std::string(info.param.window) + "_" + info.param.language;
                           for (char& c : name)
                             if (c == '.') c = '_';
                           return name;
                         });

}  // namespace
}  // namespace korva::ui::test
