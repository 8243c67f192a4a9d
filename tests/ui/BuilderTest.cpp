// The skin builder: bad files give an error with file and line and build nothing; unknown classes
// go to the callback, then to the control factory; names are found without regard to case.

#include <gtest/gtest.h>

#include <QLabel>

#include "UiTestSupport.h"
#include "ui/ControlFactory.h"

namespace korva::ui::test {
namespace {

// A custom control with an attribute of its own.
class Knob : public QLabel, public ISkinAttributes {
 public:
  bool SetSkinAttribute(const QString& name, const QString& value, QString* error) override {
    if (name != QLatin1String("turns")) return false;
    bool ok = false;
    turns = value.toInt(&ok);
    if (!ok) *error = QStringLiteral("turns must be a number");
    return true;
  }
  int turns = 0;
};

class Builder : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApplication(); }
  TempSkin files;
};

struct BadSkin {
  const char* name;
  const char* text;  // contents of test.xml
  std::size_t line;  // where the error must point
  const char* message;
};

class BadSkinFiles : public Builder, public ::testing::WithParamInterface<BadSkin> {};

TEST_P(BadSkinFiles, GiveAnErrorWithFileAndLineAndBuildNothing) {
  const BadSkin& row = GetParam();
  files.Write(QStringLiteral("test.xml"), QString::fromUtf8(row.text));
  auto skin = files.Open();
  ASSERT_TRUE(skin);
  PageWindow window(*skin);
  auto error = window.Build(QStringLiteral("XML_TEST"), &window);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->line, row.line) << error->ToString();
  EXPECT_NE(error->message.find(row.message), std::string::npos) << error->ToString();
  EXPECT_TRUE(error->file.ends_with("test.xml")) << error->file;
  EXPECT_NE(error->ToString().find("line " + std::to_string(row.line)), std::string::npos)
      << error->ToString();
  EXPECT_FALSE(window.Root());
  EXPECT_FALSE(window.FindControl(QStringLiteral("ok_btn"))) << "a failed build keeps no control";
}

const BadSkin kBadSkins[] = {
    {"UnclosedElement",
     "<Window size=\"10,10\">\n<VerticalLayout>\n<Button name=\"ok_btn\">\n</VerticalLayout>\n</Window>\n", 4,
     ""},
    {"UnknownClass",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n<Buton "
     "name=\"x\"/>\n</VerticalLayout>\n</Window>\n",
     4, "unknown element class <Buton>"},
    {"UnknownAttribute",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n<Label "
     "colour=\"#FF000000\"/>\n</VerticalLayout>\n</Window>\n",
     4, "unknown attribute 'colour'"},
    {"BadColour",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n\n<Label "
     "bkcolor=\"red\"/>\n</VerticalLayout>\n</Window>\n",
     5, "bad value 'red'"},
    {"BadNumber",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n<Slider "
     "max=\"ten\"/>\n</VerticalLayout>\n</Window>\n",
     4, "bad value 'ten'"},
    {"DuplicateName",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n<Label "
     "name=\"OK_btn\"/>\n</VerticalLayout>\n</Window>\n",
     4, "already used"},
    {"MissingImage",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n<Label "
     "bkimage=\"nowhere.png\"/>\n</VerticalLayout>\n</Window>\n",
     4, "cannot be loaded"},
    {"PosWithoutSize",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n<Label "
     "pos=\"1,2\"/>\n</VerticalLayout>\n</Window>\n",
     4, "needs a size"},
    {"ChildOfLeaf",
     "<Window>\n<VerticalLayout>\n<Button "
     "name=\"ok_btn\">\n<Label/>\n</Button>\n</VerticalLayout>\n</Window>\n",
     4, "cannot hold <Label>"},
    {"TwoRoots",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n</VerticalLayout>\n<Label/>\n</Window>\n", 5,
     "more than one root"},
    {"NotAWindow", "<VerticalLayout>\n<Button name=\"ok_btn\"/>\n</VerticalLayout>\n", 1, "must be <Window>"},
    {"BadItem",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n<Combo>\n<Item text=\"a\" "
     "value=\"1\"/>\n</Combo>\n</VerticalLayout>\n</Window>\n",
     5, "unknown attribute 'value' on <Item>"},
    {"TrailingGarbage",
     "<Window>\n<VerticalLayout>\n<Button name=\"ok_btn\"/>\n</VerticalLayout>\n</Window>\n<oops\n", 7, ""},
    {"Empty", "", 1, ""},
};
INSTANTIATE_TEST_SUITE_P(Skin, BadSkinFiles, ::testing::ValuesIn(kBadSkins),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Builder, MissingSkinFileIsAnErrorWithoutLine) {
  auto skin = files.Open();
  SkinWindow window(*skin);
  auto error = window.Build(QStringLiteral("no_such.xml"));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->line, 0u);
  EXPECT_EQ(error->ToString().rfind("In file ", 0), 0u) << error->ToString();
}

TEST_F(Builder, DeepNestingIsRefusedNotOverflowed) {
  QString text = QStringLiteral("<Window>\n");
  for (int i = 0; i < 200; ++i) text += QStringLiteral("<VerticalLayout>");
  for (int i = 0; i < 200; ++i) text += QStringLiteral("</VerticalLayout>");
  files.Write(QStringLiteral("test.xml"), text + QStringLiteral("\n</Window>\n"));
  auto skin = files.Open();
  SkinWindow window(*skin);
  auto error = window.Build(QStringLiteral("XML_TEST"));
  ASSERT_TRUE(error);
  EXPECT_NE(error->message.find("deeper"), std::string::npos) << error->ToString();
}

TEST_F(Builder, BadResourceIndexAndLanguageFilesNameTheLine) {
  files.Write(
      QStringLiteral("res.xml"),
      QStringLiteral(
          "<Resources>\n<File id=\"A\" path=\"a.xml\"/>\n<File id=\"A\" path=\"b.xml\"/>\n</Resources>\n"));
  auto opened = Skin::Open(files.Folder());
  ASSERT_FALSE(opened);
  EXPECT_EQ(opened.error().line, 3u);

  TempSkin other;
  other.Write(QStringLiteral("lan_bad.xml"),
              QStringLiteral(
                  "<Language lang=\"x\">\n<Text id=\"a\">1</Text>\n<Text id=\"a\">2</Text>\n</Language>\n"));
  auto skin = other.Open();
  auto error = skin->LoadLanguage(QStringLiteral("lan_bad.xml"));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->line, 3u);
  EXPECT_EQ(skin->LanguageFile(), QStringLiteral("lan_test.xml")) << "a failed load keeps the language";
  EXPECT_EQ(skin->Text(QStringLiteral("hello_text")), QStringLiteral("Hello"));
}

TEST_F(Builder, UnknownClassesGoToTheCallbackThenToTheFactory) {
  files.Write(QStringLiteral("page.xml"),
              QStringLiteral(R"(<HorizontalLayout name="page_root" visible="false">
  <Label name="Page_Label" text="hello_text"/>
  <FancyKnob name="knob_in_page"/>
</HorizontalLayout>)"));
  files.Write(QStringLiteral("test.xml"), QStringLiteral(R"(<Window size="300,200" title="hello_text">
  <VerticalLayout name="root">
    <Page_UI name="page_holder"/>
    <FancyKnob name="knob" turns="3" tooltip="hello_text"/>
    <VerticalLayout name="after"/>
  </VerticalLayout>
</Window>)"));
  auto skin = files.Open();
  skin->Factory().Register(QStringLiteral("CFancyKnobUI"), [] { return new Knob; });
  PageWindow window(*skin);
  window.pages = {{QStringLiteral("page_ui"), QStringLiteral("page.xml")}};
  auto error = window.Build(QStringLiteral("XML_TEST"), &window);
  ASSERT_FALSE(error) << error->ToString();

  // The callback was asked for exactly the classes the builder does not know, in file order;
  // the page itself is built without callback.
  EXPECT_EQ(window.asked, (QStringList{QStringLiteral("Page_UI"), QStringLiteral("FancyKnob")}));
  const Control page = window.FindControl(QStringLiteral("page_holder"));
  ASSERT_TRUE(page);
  EXPECT_EQ(page.Class(), QStringLiteral("Page_UI"));
  EXPECT_FALSE(page.IsVisible()) << "the page file's own visible=false survives being placed";
  EXPECT_EQ(window.FindControl(QStringLiteral("page_label")).Text(), QStringLiteral("Hello"));
  EXPECT_TRUE(window.FindControl(QStringLiteral("knob_in_page")));
  const Control knob = window.FindControl(QStringLiteral("knob"));
  EXPECT_EQ(knob.Class(), QStringLiteral("FancyKnob"));
  ASSERT_TRUE(dynamic_cast<Knob*>(knob.Widget()));
  EXPECT_EQ(dynamic_cast<Knob*>(knob.Widget())->turns, 3) << "its own attribute went to the custom control";
  EXPECT_EQ(knob.ToolTip(), QStringLiteral("Hello")) << "the common attributes still apply";
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Hello"));
  EXPECT_EQ(window.width(), 300);
}

TEST_F(Builder, AFailedPageReportsThePageFilesError) {
  files.Write(QStringLiteral("page.xml"),
              QStringLiteral("<VerticalLayout>\n\n<Nonsense/>\n</VerticalLayout>\n"));
  files.Write(QStringLiteral("test.xml"),
              QStringLiteral("<Window>\n<VerticalLayout>\n<Page_UI/>\n</VerticalLayout>\n</Window>\n"));
  auto skin = files.Open();
  PageWindow window(*skin);
  window.pages = {{QStringLiteral("page_ui"), QStringLiteral("page.xml")}};
  auto error = window.Build(QStringLiteral("XML_TEST"), &window);
  ASSERT_TRUE(error);
  EXPECT_TRUE(error->file.ends_with("page.xml")) << error->ToString();
  EXPECT_EQ(error->line, 3u);
  EXPECT_NE(error->message.find("<Nonsense>"), std::string::npos) << error->ToString();
}

TEST_F(Builder, NamesAreFoundWithoutRegardToCase) {
  files.Write(QStringLiteral("test.xml"), QStringLiteral(R"(<Window>
  <VerticalLayout name="root">
    <Slider name="ms_DPI1_slider"/>
    <Button name="closebtn"/>
  </VerticalLayout>
</Window>)"));
  auto skin = files.Open();
  SkinWindow window(*skin);
  ASSERT_FALSE(window.Build(QStringLiteral("XML_TEST")));
  const Control slider = window.FindControl(QStringLiteral("ms_DPI1_slider"));
  ASSERT_TRUE(slider);
  for (const char* spelling : {"MS_DPI1_SLIDER", "ms_dpi1_slider", "Ms_Dpi1_Slider"})
    EXPECT_EQ(window.FindControl(QString::fromLatin1(spelling)), slider) << spelling;
  EXPECT_EQ(window.FindControl(QStringLiteral("CLOSEBTN")).Class(), QStringLiteral("Button"));
  EXPECT_FALSE(window.FindControl(QStringLiteral("ms_DPI1_slide")));
  EXPECT_EQ(window.Root(), window.FindControl(QStringLiteral("ROOT")));
}

}  // namespace
}  // namespace korva::ui::test
