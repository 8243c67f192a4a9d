// The skin builder's tables, row by row: every attribute row applied with a value that reads (and
// its effect checked), with a value that does not (the error names the file and the line), and to
// a widget it does not take; every element row built with the children it takes and with one it
// does not; and every attribute and element the shipped skin files use has its row.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QImage>
#include <QLineEdit>
#include <QSet>
#include <QSlider>
#include <QStackedWidget>
#include <QXmlStreamReader>
#include <functional>

#include "UiTestSupport.h"
#include "ui/ControlFactory.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "ui/SkinAttributes_p.h"
#include "ui/SkinElements_p.h"
#include "ui/SkinWidgets_p.h"

namespace korva::ui::test {
namespace {

using detail::Children;

// The element under test is the first control of the window's root, on line 3 of test.xml.
constexpr std::size_t kSubjectLine = 3;

QString SkinText(const QString& element, const QString& body) {
  const QString tag = element.section(QLatin1Char(' '), 0, 0);
  return QStringLiteral(
             "<Window>\n<VerticalLayout name=\"root\">\n<%1>%2</%3>\n</VerticalLayout>\n</Window>\n")
      .arg(element, body, tag);
}

// One window built from test.xml; `subject` is the control under test (or null after an error).
struct Built {
  std::unique_ptr<SkinWindow> window;
  std::optional<SkinError> error;
  QWidget* subject = nullptr;
};

class Tables : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(files.Folder() + QStringLiteral("/img.png")));
    skin = files.Open();
    ASSERT_TRUE(skin);
    RegisterStandardControls(skin->Factory());
  }

  Built Build(const QString& element, const QString& body = {}) {
    files.Write(QStringLiteral("test.xml"), SkinText(element, body));
    Built built;
    built.window = std::make_unique<SkinWindow>(*skin);
    built.error = built.window->Build(QStringLiteral("XML_TEST"));
    if (const Control root = built.window->FindControl(QStringLiteral("root"))) {
      const auto children = root.Widget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
      if (!children.isEmpty()) built.subject = children.first();
    }
    return built;
  }

  // The build fails at the element under test, naming the file, the line and `message`.
  void ExpectError(const Built& built, const std::string& message) {
    ASSERT_TRUE(built.error) << "no error for: " << message;
    const SkinError& error = *built.error;
    const std::string path = skin->FilePath(QStringLiteral("XML_TEST")).toStdString();
    EXPECT_EQ(error.file, path);
    EXPECT_EQ(error.line, kSubjectLine) << error.ToString();
    EXPECT_NE(error.message.find(message), std::string::npos) << error.ToString();
    EXPECT_EQ(error.ToString().rfind("In file " + path + ", line " + std::to_string(kSubjectLine), 0), 0u)
        << error.ToString();
    EXPECT_FALSE(built.window->Root()) << "a failed build keeps nothing";
  }

  TempSkin files;
  std::unique_ptr<Skin> skin;
};

// ---- attributes ----------------------------------------------------------------------------------

using Check = std::function<void(QWidget*)>;

struct AttributeCase {
  const char* attribute;
  const char* element;  // an element that takes it, with what else it needs
  const char* good;     // a value that reads
  Check check;          // the effect of `good`
  const char* bad;      // a value that does not read; nullptr when every text reads
  const char* badMessage;
  const char* other;  // an element that does not take it; nullptr when every control takes it
  const char* otherMessage;
  const char* body = "";  // children of the element
};

detail::SkinnedBase& LookOf(QWidget* w) {
  return *dynamic_cast<detail::SkinnedBase*>(w);
}

template <class W>
W* As(QWidget* w) {
  W* cast = dynamic_cast<W*>(w);
  EXPECT_TRUE(cast);
  return cast;
}

Check ExpectAttribute(const char* name, const char* value) {
  return [name, value](QWidget* w) {
    EXPECT_EQ(Control(w).Attribute(QString::fromLatin1(name)), QString::fromLatin1(value));
  };
}

constexpr char kBadValue[] = "bad value";
constexpr char kNoImage[] = "image 'nowhere.png' cannot be loaded";

const AttributeCase kAttributes[] = {
    {"text", "Label", "hello_text", [](QWidget* w) { EXPECT_EQ(Control(w).Text(), QStringLiteral("Hello")); },
     nullptr, nullptr, nullptr, nullptr},
    {"tooltip", "Button", "hello_text",
     [](QWidget* w) { EXPECT_EQ(Control(w).ToolTip(), QStringLiteral("Hello")); }, nullptr, nullptr, nullptr,
     nullptr},
    {"userdata", "Label", "3,4", [](QWidget* w) { EXPECT_EQ(Control(w).UserData(), QStringLiteral("3,4")); },
     nullptr, nullptr, nullptr, nullptr},
    {"style", "Label", "title",
     [](QWidget* w) { EXPECT_EQ(w->property("skinclass").toString(), QStringLiteral("title")); }, nullptr,
     nullptr, nullptr, nullptr},
    {"visible", "Label", "false", [](QWidget* w) { EXPECT_TRUE(w->isHidden()); }, "no",
     "bad value 'no' for attribute 'visible'", nullptr, nullptr},
    {"enabled", "Button", "0", [](QWidget* w) { EXPECT_FALSE(w->isEnabled()); }, "off",
     "bad value 'off' for attribute 'enabled'", nullptr, nullptr},
    {"font", "Label", "14,bold",
     [](QWidget* w) {
       EXPECT_EQ(w->font().pixelSize(), 14);
       EXPECT_TRUE(w->font().bold());
     },
     "14,italic", "bad value '14,italic' for attribute 'font'", nullptr, nullptr},
    {"align", "Label", "right", [](QWidget* w) { EXPECT_TRUE(As<QLabel>(w)->alignment() & Qt::AlignRight); },
     "middle", "bad value 'middle' for attribute 'align'", nullptr, nullptr},
    {"valign", "Label", "bottom",
     [](QWidget* w) { EXPECT_TRUE(As<QLabel>(w)->alignment() & Qt::AlignBottom); }, "center,top", kBadValue,
     nullptr, nullptr},
    {"wordwrap", "Label", "true", [](QWidget* w) { EXPECT_TRUE(As<QLabel>(w)->wordWrap()); }, "yes",
     kBadValue, "Button", "unknown attribute 'wordwrap' on <Button>"},
    {"bkcolor", "Label", "#80112233", [](QWidget* w) { EXPECT_EQ(Control(w).BkColor(), 0x80112233u); },
     "#12345", "bad value '#12345' for attribute 'bkcolor'", "ColorPalette",
     "unknown attribute 'bkcolor' on <ColorPalette>"},
    {"bordercolor", "Button", "0xFF00FF00",
     [](QWidget* w) { EXPECT_EQ(detail::ToArgb(LookOf(w).look.borderColor), 0xFF00FF00u); }, "green",
     kBadValue, "ColorPalette", "unknown attribute 'bordercolor'"},
    {"textcolor", "Label", "#FF0000", [](QWidget* w) { EXPECT_EQ(Control(w).TextColor(), 0xFFFF0000u); },
     "#GG0000", kBadValue, "ColorPalette", "unknown attribute 'textcolor'"},
    {"bordersize", "Label", "2", [](QWidget* w) { EXPECT_EQ(LookOf(w).look.borderSize, 2); }, "-1", kBadValue,
     "ColorPalette", "unknown attribute 'bordersize'"},
    {"borderround", "Label", "6", [](QWidget* w) { EXPECT_EQ(LookOf(w).look.borderRound, 6); }, "6px",
     kBadValue, "ColorPalette", "unknown attribute 'borderround'"},
    {"bkimage", "Label", "file='img.png'",
     [](QWidget* w) {
       EXPECT_EQ(Control(w).BkImage(), QStringLiteral("file='img.png'"));
       EXPECT_FALSE(LookOf(w).look.bkPixmap.IsRead()) << "a picture is decoded when first painted";
       EXPECT_FALSE(LookOf(w).look.bkPixmap.Get().isNull());
     },
     "nowhere.png", kNoImage, "ColorPalette", "unknown attribute 'bkimage'"},
    {"normalimage", "Button", "img.png", ExpectAttribute("normalimage", "img.png"), "nowhere.png", kNoImage,
     "CheckBox", "unknown attribute 'normalimage' on <CheckBox>"},
    {"hotimage", "Option", "img.png", ExpectAttribute("hotimage", "img.png"), "nowhere.png", kNoImage,
     "Label", "unknown attribute 'hotimage'"},
    {"pushedimage", "DeviceKeyButton", "img.png", ExpectAttribute("pushedimage", "img.png"), "nowhere.png",
     kNoImage, "Label", "unknown attribute 'pushedimage'"},
    {"selectedimage", "Option", "img.png", ExpectAttribute("selectedimage", "img.png"), "nowhere.png",
     kNoImage, "Edit", "unknown attribute 'selectedimage'"},
    {"disabledimage", "Button", "img.png", ExpectAttribute("disabledimage", "img.png"), "nowhere.png",
     kNoImage, "Slider", "unknown attribute 'disabledimage'"},
    {"foreimage", "Button", "img.png",
     [](QWidget* w) {
       EXPECT_EQ(Control(w).Attribute(QStringLiteral("foreimage")), QStringLiteral("img.png"));
       EXPECT_EQ(As<detail::SkinButton>(w)->forePixmap.size(), QSize(4, 4));
     },
     "nowhere.png", kNoImage, "Label", "unknown attribute 'foreimage'"},
    {"icon", "CheckBox", "img.png",
     [](QWidget* w) {
       EXPECT_FALSE(As<QAbstractButton>(w)->icon().isNull());
       EXPECT_EQ(As<QAbstractButton>(w)->iconSize(), QSize(4, 4));
     },
     "nowhere.png", kNoImage, "Label", "unknown attribute 'icon' on <Label>"},
    {"selected", "CheckBox", "true", [](QWidget* w) { EXPECT_TRUE(Control(w).IsSelected()); }, "2", kBadValue,
     "Label", "unknown attribute 'selected'"},
    {"min", "Progress", "-5", [](QWidget* w) { EXPECT_EQ(Control(w).Minimum(), -5); }, "low", kBadValue,
     "Label", "unknown attribute 'min'"},
    {"max", "Slider", "14", [](QWidget* w) { EXPECT_EQ(Control(w).Maximum(), 14); }, "1.5", kBadValue, "Edit",
     "unknown attribute 'max'"},
    {"value", "Slider", "7", [](QWidget* w) { EXPECT_EQ(Control(w).Value(), 7); }, "", kBadValue, "Combo",
     "unknown attribute 'value' on <Combo>"},
    {"vertical", "Slider", "true", [](QWidget* w) { EXPECT_EQ(As<QSlider>(w)->orientation(), Qt::Vertical); },
     "upright", kBadValue, "Progress", "unknown attribute 'vertical'"},
    {"readonly", "Edit", "true", [](QWidget* w) { EXPECT_TRUE(As<QLineEdit>(w)->isReadOnly()); }, "ro",
     kBadValue, "Label", "unknown attribute 'readonly'"},
    {"maxchar", "Edit", "5", [](QWidget* w) { EXPECT_EQ(As<QLineEdit>(w)->maxLength(), 5); }, "0", kBadValue,
     "Label", "unknown attribute 'maxchar'"},
    {"numberonly", "Edit", "true",
     [](QWidget* w) {
       QString text = QStringLiteral("12a");
       int pos = 0;
       ASSERT_TRUE(As<QLineEdit>(w)->validator());
       EXPECT_EQ(As<QLineEdit>(w)->validator()->validate(text, pos), QValidator::Invalid);
     },
     "digits", kBadValue, "Label", "unknown attribute 'numberonly'"},
    {"tiptext", "Edit", "hello_text",
     [](QWidget* w) { EXPECT_EQ(As<QLineEdit>(w)->placeholderText(), QStringLiteral("Hello")); }, nullptr,
     nullptr, "Label", "unknown attribute 'tiptext'"},
    {"selectedid", "TabLayout", "1", [](QWidget* w) { EXPECT_EQ(Control(w).CurSel(), 1); }, "second",
     kBadValue, "VerticalLayout", "unknown attribute 'selectedid' on <VerticalLayout>",
     "<VerticalLayout/><VerticalLayout/>"},

    // Read while building: their errors say which attribute, as they always did.
    {"name", "Label", "Subject_Name",
     [](QWidget* w) {
       EXPECT_EQ(w->objectName(), QStringLiteral("Subject_Name"));
       EXPECT_EQ(SkinWindow::Of(w)->FindControl(QStringLiteral("subject_name")).Widget(), w);
     },
     "", "bad attribute name=\"\" on <Label>", nullptr, nullptr},
    {"pos", "Label size=\"5,6\"", "3,4", [](QWidget* w) { EXPECT_EQ(w->pos(), QPoint(3, 4)); }, "3",
     "bad attribute pos=\"3\" on <Label>", nullptr, nullptr},
    {"size", "Label", "5,6",
     [](QWidget* w) {
       EXPECT_EQ(w->minimumSize(), QSize(5, 6));
       EXPECT_EQ(w->maximumSize(), QSize(5, 6));
     },
     "5,-6", "bad attribute size=\"5,-6\"", nullptr, nullptr},
    {"width", "Label", "9",
     [](QWidget* w) {
       EXPECT_EQ(w->minimumWidth(), 9);
       EXPECT_EQ(w->maximumWidth(), 9);
     },
     "9,9", "bad attribute width=\"9,9\"", nullptr, nullptr},
    {"height", "Label", "8", [](QWidget* w) { EXPECT_EQ(w->maximumHeight(), 8); }, "tall",
     "bad attribute height=\"tall\"", nullptr, nullptr},
    {"group", "Option", "g",
     [](QWidget* w) {
       ASSERT_TRUE(As<QAbstractButton>(w)->group());
       EXPECT_TRUE(As<QAbstractButton>(w)->group()->exclusive());
     },
     "", "bad attribute group=\"\" on <Option>", "Button", "bad attribute group=\"g\" on <Button>"},
    {"inset", "HorizontalLayout", "1,2,3,4",
     [](QWidget* w) { EXPECT_EQ(w->layout()->contentsMargins(), QMargins(1, 2, 3, 4)); }, "1,2,3",
     "bad attribute inset=\"1,2,3\"", "Label", "bad attribute inset=\"1,2,3,4\" on <Label>"},
    {"childpadding", "TileLayout", "7", [](QWidget* w) { EXPECT_EQ(w->layout()->spacing(), 7); }, "-7",
     "bad attribute childpadding=\"-7\"", "TabLayout", "bad attribute childpadding=\"7\" on <TabLayout>"},
    {"columns", "TileLayout", "2",
     [](QWidget* w) {
       // Four tiles in two columns: the third starts the second row.
       auto* grid = qobject_cast<QGridLayout*>(w->layout());
       ASSERT_TRUE(grid);
       int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
       grid->getItemPosition(2, &row, &column, &rowSpan, &columnSpan);
       EXPECT_EQ(row, 1);
       EXPECT_EQ(column, 0);
     },
     "0", "bad attribute columns=\"0\"", "VerticalLayout", "bad attribute columns=\"2\" on <VerticalLayout>",
     "<Control/><Control/><Control/><Control/>"},
};

// Rows are named by their attribute or element in failure messages, not dumped as bytes.
void PrintTo(const AttributeCase& c, std::ostream* os) {
  *os << c.attribute;
}

QString WithAttribute(const char* element, const char* attribute, const char* value) {
  return QStringLiteral("%1 %2=\"%3\"")
      .arg(QString::fromLatin1(element), QString::fromLatin1(attribute), QString::fromLatin1(value));
}

class AttributeRows : public Tables, public ::testing::WithParamInterface<AttributeCase> {};

TEST_P(AttributeRows, ApplyAReadableValueRefuseABadOneAndOtherWidgets) {
  const AttributeCase& c = GetParam();
  const detail::AttributeRow* row = detail::FindAttribute(QString::fromLatin1(c.attribute));
  ASSERT_TRUE(row);
  const QString body = QString::fromLatin1(c.body);
  {
    const Built built = Build(WithAttribute(c.element, c.attribute, c.good), body);
    ASSERT_FALSE(built.error) << built.error->ToString();
    ASSERT_TRUE(built.subject);
    c.check(built.subject);
  }
  if (c.bad) {
    SCOPED_TRACE("bad value");
    ExpectError(Build(WithAttribute(c.element, c.attribute, c.bad), body), c.badMessage);
  }
  if (c.other) {
    SCOPED_TRACE("a widget that does not take it");
    ExpectError(Build(WithAttribute(c.other, c.attribute, c.good), body), c.otherMessage);
  }

  // On a built control: the same effect, except for what only the builder reads.
  const Built plain = Build(QString::fromLatin1(c.element), body);
  ASSERT_FALSE(plain.error) << plain.error->ToString();
  ASSERT_TRUE(plain.subject);
  QString error;
  const bool set = Control(plain.subject)
                       .SetAttribute(QString::fromLatin1(c.attribute), QString::fromLatin1(c.good), &error);
  if (row->stage == detail::Stage::kWhileBuilding) {
    EXPECT_FALSE(set);
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("unknown attribute '%1'").arg(QString::fromLatin1(c.attribute))))
        << error.toStdString();
  } else {
    ASSERT_TRUE(set) << error.toStdString();
    c.check(plain.subject);
  }
}

INSTANTIATE_TEST_SUITE_P(Skin, AttributeRows, ::testing::ValuesIn(kAttributes),
                         [](const auto& info) { return std::string(info.param.attribute); });

TEST(AttributeTable, EveryRowHasItsCaseAndEveryNameOneRow) {
  QStringList rows, cases;
  for (const detail::AttributeRow& row : detail::AttributeTable()) rows.append(QString::fromLatin1(row.name));
  for (const AttributeCase& c : kAttributes) cases.append(QString::fromLatin1(c.attribute));
  EXPECT_EQ(QSet<QString>(rows.begin(), rows.end()).size(), rows.size()) << "a name with two rows";
  rows.sort();
  cases.sort();
  EXPECT_EQ(rows, cases);
}

// ---- elements -------------------------------------------------------------------------------------

}  // namespace
}  // namespace korva::ui::test

namespace korva::ui::detail {
void PrintTo(Children children, std::ostream* os) {
  static const char* const kNames[] = {"none", "controls", "pages", "items"};
  *os << kNames[static_cast<int>(children)];
}
}  // namespace korva::ui::detail

namespace korva::ui::test {
namespace {

struct ElementCase {
  const char* element;
  Children children;
  Check check;  // the widget it makes
};

Check BoxWith(std::optional<QBoxLayout::Direction> direction) {
  return [direction](QWidget* w) {
    EXPECT_TRUE(dynamic_cast<detail::SkinBox*>(w));
    auto* box = qobject_cast<QBoxLayout*>(w->layout());
    EXPECT_EQ(box ? std::optional(box->direction()) : std::nullopt, direction);
  };
}

template <class W>
Check Is() {
  return [](QWidget* w) { EXPECT_TRUE(dynamic_cast<W*>(w)) << w->metaObject()->className(); };
}

const ElementCase kElements[] = {
    {"VerticalLayout", Children::kControls, BoxWith(QBoxLayout::TopToBottom)},
    {"HorizontalLayout", Children::kControls, BoxWith(QBoxLayout::LeftToRight)},
    {"TileLayout", Children::kControls,
     [](QWidget* w) { EXPECT_TRUE(qobject_cast<QGridLayout*>(w->layout())); }},
    {"Container", Children::kControls, BoxWith(std::nullopt)},
    {"Control", Children::kNone, BoxWith(std::nullopt)},
    {"TabLayout", Children::kPages, Is<detail::SkinTab>()},
    {"Button", Children::kNone,
     [](QWidget* w) {
       EXPECT_TRUE(dynamic_cast<detail::SkinButton*>(w));
       EXPECT_FALSE(As<QAbstractButton>(w)->isCheckable());
     }},
    {"Option", Children::kNone,
     [](QWidget* w) {
       EXPECT_TRUE(dynamic_cast<detail::SkinButton*>(w));
       EXPECT_TRUE(As<QAbstractButton>(w)->isCheckable());
     }},
    {"CheckBox", Children::kNone, Is<detail::SkinCheckBox>()},
    {"Label", Children::kNone, Is<detail::SkinLabel>()},
    {"Edit", Children::kNone, Is<detail::SkinEdit>()},
    {"Combo", Children::kItems, Is<detail::SkinCombo>()},
    {"Slider", Children::kNone,
     [](QWidget* w) { EXPECT_EQ(As<detail::SkinSlider>(w)->orientation(), Qt::Horizontal); }},
    {"Progress", Children::kNone, Is<detail::SkinProgress>()},
    {"List", Children::kItems, Is<detail::SkinList>()},
    {"ColorPalette", Children::kNone, Is<detail::ColorPalette>()},
};

void PrintTo(const ElementCase& c, std::ostream* os) {
  *os << c.element;
}

// A child the kind takes (nullptr: none), and one it does not with the error it gives.
struct ChildRule {
  const char* good;
  const char* bad;
  std::string badMessage;
};

ChildRule RuleFor(Children children, const QString& element) {
  switch (children) {
    case Children::kNone:
      return {nullptr, "<Label/>", "<" + element.toStdString() + "> cannot hold <Label>"};
    case Children::kControls:
      return {"<Label pos=\"1,1\" size=\"4,4\"/>", "<Item text=\"a\"/>", "<Item> is not allowed here"};
    case Children::kPages:
      return {"<Label/>", "<Label pos=\"1,1\" size=\"4,4\"/>", "a page of a TabLayout cannot have a pos"};
    case Children::kItems:
      break;
  }
  return {"<Item text=\"item_a\" userdata=\"a\"/>", "<Label/>", "can only hold <Item>"};
}

class ElementRows : public Tables, public ::testing::WithParamInterface<ElementCase> {};

TEST_P(ElementRows, MakeTheirWidgetAndTakeTheirChildren) {
  const ElementCase& c = GetParam();
  const QString element = QString::fromLatin1(c.element);
  const detail::ElementRow* row = detail::FindElement(element);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->children, c.children);

  const ChildRule rule = RuleFor(c.children, element);
  const Built built = Build(element, QString::fromLatin1(rule.good ? rule.good : ""));
  ASSERT_FALSE(built.error) << built.error->ToString();
  ASSERT_TRUE(built.subject);
  EXPECT_EQ(Control(built.subject).Class(), element);
  c.check(built.subject);
  if (c.children == Children::kItems) {
    EXPECT_EQ(Control(built.subject).ItemText(0), QStringLiteral("Apple"));
    EXPECT_EQ(Control(built.subject).ItemUserData(0), QStringLiteral("a"));
  } else if (rule.good) {
    const auto children = built.subject->findChildren<QLabel*>(QString(), Qt::FindChildrenRecursively);
    ASSERT_EQ(children.size(), 1);
    if (c.children == Children::kPages) {
      EXPECT_EQ(Control(built.subject).ItemCount(), 1);
    }
  }
  SCOPED_TRACE("a child it does not take");
  ExpectError(Build(element, QString::fromLatin1(rule.bad)), rule.badMessage);
}

INSTANTIATE_TEST_SUITE_P(Skin, ElementRows, ::testing::ValuesIn(kElements),
                         [](const auto& info) { return std::string(info.param.element); });

TEST(ElementTable, EveryRowHasItsCase) {
  QStringList rows, cases;
  for (const detail::ElementRow& row : detail::ElementTable()) rows.append(QString::fromLatin1(row.name));
  for (const ElementCase& c : kElements) cases.append(QString::fromLatin1(c.element));
  rows.sort();
  cases.sort();
  EXPECT_EQ(rows, cases);
}

TEST_F(Tables, ElementAndAttributeNamesKeepTheirCase) {
  ExpectError(Build(QStringLiteral("label")), "unknown element class <label>");
  ExpectError(Build(QStringLiteral("Label Text=\"x\"")), "unknown attribute 'Text' on <Label>");
}

// ---- the shipped skin ------------------------------------------------------------------------------

TEST_F(Tables, EveryAttributeAndElementOfTheShippedSkinHasItsRow) {
  const QDir folder(Skin::SourceSkinFolder());
  ControlFactory factory;
  RegisterStandardControls(factory);
  QStringList controlFiles;
  QSet<QString> missing;  // "<Class> attribute", "<Class>", each once
  for (const QString& name : folder.entryList({QStringLiteral("*.xml")}, QDir::Files)) {
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    QXmlStreamReader xml(&file);
    ASSERT_TRUE(xml.readNextStartElement()) << name.toStdString();
    // The resource index, the menu and the language files hold no controls.
    if (xml.name() == QLatin1String("Resources") || xml.name() == QLatin1String("Menu") ||
        xml.name() == QLatin1String("Language"))
      continue;
    controlFiles.append(name);
    do {
      if (!xml.isStartElement()) continue;
      const QString cls = xml.name().toString();
      if (cls == QLatin1String("Window")) {
        detail::WindowAttributes info;
        for (const auto& a : xml.attributes())
          if (!detail::ApplyWindowAttribute(*skin, info, a.name().toString(), a.value().toString()))
            missing.insert(QStringLiteral("<Window> %1").arg(a.name().toString()));
        continue;
      }
      if (cls == QLatin1String("Item")) continue;  // the builder reads text, userdata and name itself
      const bool custom = !detail::FindElement(cls);
      if (custom && !PageFileForClass(cls) && !factory.Contains(cls))
        missing.insert(QStringLiteral("<%1>").arg(cls));
      std::unique_ptr<QWidget> customWidget(custom ? factory.Create(cls) : nullptr);
      auto* own = dynamic_cast<ISkinAttributes*>(customWidget.get());
      for (const auto& a : xml.attributes()) {
        const QString attribute = a.name().toString();
        QString error;
        // A custom control may take attributes of its own.
        if (!detail::FindAttribute(attribute) &&
            !(own && own->SetSkinAttribute(attribute, a.value().toString(), &error)))
          missing.insert(QStringLiteral("<%1> %2").arg(cls, attribute));
      }
    } while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError());
    EXPECT_FALSE(xml.hasError()) << name.toStdString() << ": " << xml.errorString().toStdString();
  }
  QStringList sorted(missing.begin(), missing.end());
  sorted.sort();
  EXPECT_EQ(sorted, QStringList()) << "used in the shipped skin without a row";
  // The look of the program lives in these: a folder without them would prove nothing.
  for (const QString& file :
       AllPageFiles() +
           QStringList{QStringLiteral("main.xml"), QStringLiteral("msg.xml"), QStringLiteral("skin.xml")})
    EXPECT_TRUE(controlFiles.contains(file)) << file.toStdString();
}

}  // namespace
}  // namespace korva::ui::test
