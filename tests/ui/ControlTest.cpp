// Control operations on built controls: ranges, items, colours, images, tint, visibility.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHelpEvent>
#include <QStackedWidget>
#include <QToolTip>

#include "UiTestSupport.h"

namespace korva::ui::test {
namespace {

constexpr char kSkin[] = R"(<Window size="300,300">
  <VerticalLayout name="root" inset="4,4,4,4" childpadding="2">
    <Label name="caption" text="hello_text" tooltip="hello_text" height="20"/>
    <Button name="key_0" size="20,20" normalimage="img.png" bkcolor="#FF112233"/>
    <Slider name="level" min="0" max="14" value="3" height="20"/>
    <Combo name="choices" height="20"><Item text="item_a" userdata="a"/><Item text="plain"/></Combo>
    <TabLayout name="pages" selectedid="1"><VerticalLayout/><VerticalLayout/></TabLayout>
    <HorizontalLayout name="row" height="20"><Label/><Label/><Control/></HorizontalLayout>
    <Option name="first" group="g" selected="true"/>
    <Option name="second" group="g"/>
    <Progress name="bar" min="0" max="100" value="20" height="6"/>
    <HorizontalLayout height="22">
      <Combo name="narrow" width="70"><Item text="ok"/><Item text="A macro name far too long for the room"/></Combo>
      <Combo name="tipped" width="70" tooltip="hello_text"><Item text="A macro name far too long for the room"/></Combo>
      <Control/>
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(files.Folder() + QStringLiteral("/img.png")));
    files.Write(QStringLiteral("test.xml"), QString::fromUtf8(kSkin));
    skin = files.Open();
    window = std::make_unique<SkinWindow>(*skin);
    auto error = window->Build(QStringLiteral("XML_TEST"));
    ASSERT_FALSE(error) << error->ToString();
  }
  Control C(const char* name) { return window->FindControl(QString::fromLatin1(name)); }

  TempSkin files;
  std::unique_ptr<Skin> skin;
  std::unique_ptr<SkinWindow> window;
};

TEST_F(Controls, TextsAreTranslatedAndRemembered) {
  Control caption = C("caption");
  EXPECT_EQ(caption.Text(), QStringLiteral("Hello"));
  EXPECT_EQ(caption.TextId(), QStringLiteral("hello_text"));
  EXPECT_EQ(caption.ToolTip(), QStringLiteral("Hello"));
  caption.SetText(QStringLiteral("literal & text"));
  EXPECT_EQ(caption.Text(), QStringLiteral("literal & text"));
  EXPECT_EQ(C("choices").ItemText(0), QStringLiteral("Apple"));
  EXPECT_EQ(C("choices").ItemUserData(0), QStringLiteral("a"));
  EXPECT_EQ(C("choices").Text(), QStringLiteral("Apple")) << "a combo's text is its selected item";
  ASSERT_FALSE(skin->LoadLanguage(QStringLiteral("lan_test2.xml")));
  EXPECT_EQ(C("choices").ItemText(0), QStringLiteral("Pomme"));
  EXPECT_EQ(C("choices").ItemText(1), QStringLiteral("plain"));
}

TEST_F(Controls, SliderAndProgressRangesClamp) {
  Control level = C("level");
  EXPECT_EQ(level.Value(), 3);
  level.SetValue(99);
  EXPECT_EQ(level.Value(), 14);
  level.SetRange(0, 5);
  EXPECT_EQ(level.Maximum(), 5);
  EXPECT_EQ(level.Value(), 5);
  Control bar = C("bar");
  bar.SetValue(150);
  EXPECT_EQ(bar.Value(), 100) << "a progress bar clamps instead of ignoring the value";
  bar.SetValue(-5);
  EXPECT_EQ(bar.Value(), 0);
}

TEST_F(Controls, SelectionOfTabsCombosAndGroups) {
  Control pages = C("pages");
  EXPECT_EQ(pages.CurSel(), 1);
  EXPECT_EQ(pages.ItemCount(), 2);
  EXPECT_TRUE(pages.SelectItem(0));
  EXPECT_FALSE(pages.SelectItem(2));
  EXPECT_FALSE(pages.SelectItem(-1));
  EXPECT_EQ(pages.CurSel(), 0);

  Control choices = C("choices");
  EXPECT_EQ(choices.CurSel(), 0);
  EXPECT_TRUE(choices.SelectItem(-1));
  EXPECT_EQ(choices.CurSel(), -1);
  EXPECT_FALSE(choices.SelectItem(5));
  EXPECT_EQ(choices.AddItem(QStringLiteral("item_a"), QStringLiteral("x")), 2);
  EXPECT_TRUE(choices.RemoveItem(0));
  EXPECT_EQ(choices.ItemCount(), 2);
  choices.RemoveAllItems();
  EXPECT_EQ(choices.ItemCount(), 0);

  EXPECT_EQ(C("row").ItemCount(), 3) << "a layout counts its controls";

  C("second").Select(true);
  EXPECT_FALSE(C("first").IsSelected());
  C("second").Select(false);
  EXPECT_FALSE(C("second").IsSelected()) << "the program may clear the option of a group";
}

TEST_F(Controls, ColoursImagesAndTint) {
  Control key = C("key_0");
  EXPECT_EQ(key.BkColor(), 0xFF112233u);
  key.SetBkColor(0xFF0199CB);
  EXPECT_EQ(key.BkColor(), 0xFF0199CBu);
  EXPECT_EQ(key.Attribute(QStringLiteral("normalimage")), QStringLiteral("img.png"));
  EXPECT_TRUE(key.SetAttribute(QStringLiteral("hotimage"), QStringLiteral("file='img.png'")));
  EXPECT_EQ(key.Attribute(QStringLiteral("hotimage")), QStringLiteral("file='img.png'"));
  QString error;
  EXPECT_FALSE(key.SetAttribute(QStringLiteral("hotimage"), QStringLiteral("missing.png"), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("missing.png")));
  EXPECT_FALSE(key.SetAttribute(QStringLiteral("no_such_attribute"), QStringLiteral("1"), &error));

  EXPECT_TRUE(C("root").SetBkImage(QStringLiteral("img.png")));
  EXPECT_EQ(C("root").BkImage(), QStringLiteral("img.png"));
  EXPECT_FALSE(C("root").SetBkImage(QStringLiteral("/nowhere/custom.png")));
  EXPECT_EQ(C("root").BkImage(), QString()) << "an image that cannot be loaded leaves no background image";
  EXPECT_TRUE(C("root").SetBkImage(QString()));

  key.SetChangerColor(0x00FF8000);
  key.SetChangerAlpha(300);
  EXPECT_EQ(key.ChangerColor(), 0x00FF8000u);
  EXPECT_EQ(key.ChangerAlpha(), 255);
  // Painting a tinted key with its images works on the offscreen platform.
  const QImage shot = key.Widget()->grab().toImage();
  EXPECT_FALSE(shot.isNull());

  C("caption").SetTextColor(0xFFFF0000);
  EXPECT_EQ(C("caption").TextColor(), 0xFFFF0000u);
}

// A key's light is recorded, not painted: the window lists each changed key once until it is
// asked, and a value set again is no change.
TEST_F(Controls, LightChangesAreListedOnceUntilTaken) {
  Control key = C("key_0");
  Control other = C("first");
  ASSERT_TRUE(key.IsLightOn()) << "the light is on at start";
  EXPECT_FALSE(window->HasLightChanges());

  key.SetChangerColor(0x00102030);
  key.SetChangerAlpha(40);
  key.SetLightOn(false);
  other.SetChangerAlpha(7);
  key.SetChangerColor(0x00405060);
  EXPECT_TRUE(window->HasLightChanges());
  EXPECT_EQ(window->TakeLightChanges(), (QList<Control>{key, other}));
  EXPECT_FALSE(window->HasLightChanges());
  EXPECT_TRUE(key.TakeLightChange()) << "the key keeps its own mark for the pass";
  EXPECT_FALSE(key.TakeLightChange());
  EXPECT_TRUE(other.TakeLightChange());

  key.SetChangerColor(0x00405060);
  key.SetChangerAlpha(40);
  key.SetLightOn(false);
  EXPECT_FALSE(window->HasLightChanges()) << "the same values again change nothing";
  EXPECT_FALSE(key.TakeLightChange());

  key.SetLightOn(true);
  EXPECT_EQ(window->TakeLightChanges(), (QList<Control>{key}));
  EXPECT_TRUE(key.IsLightOn());
  C("caption").SetChangerColor(0x00FFFFFF);
  EXPECT_FALSE(window->HasLightChanges()) << "a label has no light";
}

// A name cut by a closed combo is shown whole when the pointer rests on it; a name that fits, or a
// combo with a tooltip of its own, shows no such tip.
TEST_F(Controls, AComboShowsItsCutTextWholeAsItsTooltip) {
  window->show();
  const auto hover = [this](const char* name) {
    QWidget* combo = C(name).Widget();
    QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), combo->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(combo, &event);
    return QToolTip::text();
  };
  C("narrow").SelectItem(0);
  EXPECT_EQ(hover("narrow"), QString()) << "\"ok\" fits";
  C("narrow").SelectItem(1);
  EXPECT_EQ(hover("narrow"), QStringLiteral("A macro name far too long for the room"));
  EXPECT_EQ(hover("tipped"), QStringLiteral("Hello"));
}

TEST_F(Controls, VisibilityEnableAndInvalidHandles) {
  Control caption = C("caption");
  EXPECT_TRUE(caption.IsVisible());
  caption.SetVisible(false);
  EXPECT_FALSE(caption.IsVisible());
  caption.SetEnabled(false);
  EXPECT_FALSE(caption.IsEnabled());

  Control none = C("no_such_control");
  EXPECT_FALSE(none.IsValid());
  none.SetText(QStringLiteral("x"));
  none.SetValue(3);
  EXPECT_EQ(none.Value(), 0);
  EXPECT_EQ(none.Text(), QString());
  EXPECT_FALSE(none.SelectItem(0));

  Control doomed = C("bar");
  delete doomed.Widget();
  EXPECT_FALSE(doomed.IsValid()) << "a handle does not outlive its control";
  EXPECT_FALSE(C("bar").IsValid());
}

}  // namespace
}  // namespace korva::ui::test
