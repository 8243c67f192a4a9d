// The pointer lighting section -- the mouse's and the mousepad's -- built from the shipped skin and
// routed as the main window routes it, over a lighting record held by the test.

#include "mouse/page/PointerLightPage.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "MousePageWindow.h"
#include "lighting/LightingRecords.h"
#include "ui/Notify.h"

namespace korva::mouse {
namespace {

using lighting::LightingSettings;
using test::PageWindow;
using test::RoutingNotifier;
using ui::Control;

struct Device {
  const char* name;
  const PointerLightNames& (*names)();
  const PointerLightRules& (*rules)();
};

const Device kMouse{"mouse", &PointerLightPage::MouseNames, &MouseLightRules};
const Device kMousepad{"mousepad", &PointerLightPage::MousepadNames, &MousepadLightRules};

class PointerLightPageTest : public ::testing::TestWithParam<Device> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    ASSERT_NE(&test::SharedSkin(), nullptr);
    const QString file = folder.filePath(QStringLiteral("window.xml"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(R"(<Window size="1400,700"><HorizontalLayout><MS_Deng_UI/><MP_deng_UI/></HorizontalLayout></Window>)");
    out.close();
    window = std::make_unique<PageWindow>(test::SharedSkin());
    auto error = window->Build(file, window.get());
    ASSERT_FALSE(error) << error->ToString();
    router = std::make_unique<ui::NotifyRouter>(*window, records);
    notifier = std::make_unique<RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());

    PointerLightTarget target;
    target.read = [this] { return record; };
    target.write = [this](const LightingSettings& r) { record = r; };
    target.edited = [this] { ++edits; };
    target.published = [this] { ++publishes; };
    target.modeSelected = [this](std::uint8_t mode, std::uint8_t direction) { restarts.push_back({mode, direction}); };
    target.writeModeNow = [this](std::uint8_t mode) { modesWritten.push_back(mode); };
    page = std::make_unique<PointerLightPage>(*window, Names(), GetParam().rules(), std::move(target));
    ASSERT_TRUE(page->RegisterRoutes(*router));
    record = {0, 10, 4, 1, 0, 0x10, 0x20, 0x30};
    page->Refresh();
  }

  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  const PointerLightNames& Names() const { return GetParam().names(); }
  Control Find(const char* name) const { return window->FindControl(QString::fromLatin1(name)); }
  void Raise(const char* name, const char* type, qint64 wParam = 0) {
    window->SendNotify(Find(name), QString::fromLatin1(type), wParam);
  }
  void SelectMode(int mode) { Find(Names().modeCombo).SelectItem(mode, ui::SendNotify::Yes); }
  MouseLightSections Shown() const {
    return {Find(Names().directionLayout).IsEnabled(), Find(Names().colourLayout).IsEnabled(),
            Find(Names().colourCycleLayout).IsEnabled(), Find(Names().speedLayout).IsEnabled(),
            Find(Names().sameMode).IsEnabled()};
  }
  void Type(const char* edit, const char* text) {
    Find(edit).SetText(QString::fromLatin1(text), ui::SendNotify::Yes);
  }

  QTemporaryDir folder;
  lighting::LightingRecords records;
  std::unique_ptr<PageWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<RoutingNotifier> notifier;
  std::unique_ptr<PointerLightPage> page;
  LightingSettings record;
  int edits = 0;
  int publishes = 0;
  std::vector<std::pair<int, int>> restarts;
  std::vector<std::uint8_t> modesWritten;
};

TEST_P(PointerLightPageTest, SpeedSliderStoresTheReversedScale) {
  struct Row { int slider; std::uint8_t stored; };
  for (const Row& r : {Row{0, 14}, Row{14, 0}, Row{15, 0}, Row{5, 9}}) {
    SCOPED_TRACE(r.slider);
    Raise(Names().speed, ui::notify::kValueChanged, r.slider);
    EXPECT_EQ(record.speed, r.stored);
  }
  EXPECT_EQ(edits, 4);
  EXPECT_EQ(publishes, 4);
}

TEST_P(PointerLightPageTest, ASwatchEndsTheColourCycleAndStoresItsColour) {
  record.multicolour = 1;
  record.mode = 2;
  page->Refresh();
  ASSERT_TRUE(Find(Names().colourCycle).IsSelected());
  const QString swatch = QString::fromLatin1(Names().swatchFamily) + QStringLiteral("2");
  window->SendNotify(window->FindControl(swatch), QString::fromLatin1(ui::notify::kClick));
  EXPECT_EQ(record.multicolour, 0);
  EXPECT_EQ(lighting::OpaqueColour(record.red, record.green, record.blue), 0xFF6CFF00u);
  EXPECT_FALSE(Find(Names().colourCycle).IsSelected());
  EXPECT_EQ(Find(Names().colour.edits[1]).Text(), QStringLiteral("255"));
}

TEST_P(PointerLightPageTest, TypedComponentsAreClampedAndRewritten) {
  struct Row { const char* text; std::uint8_t stored; const char* shown; };
  for (const Row& r : {Row{"300", 255, "255"}, Row{"-1", 0, "0"}, Row{"77", 77, "77"}}) {
    SCOPED_TRACE(r.text);
    Type(Names().colour.edits[1], r.text);
    EXPECT_EQ(record.green, r.stored);
    EXPECT_EQ(Find(Names().colour.edits[1]).Text(), QString::fromLatin1(r.shown));
    EXPECT_EQ(record.red, 0x10) << "the other components stay";
  }
  const int before = edits;
  Type(Names().colour.edits[0], "");
  EXPECT_EQ(edits, before) << "an emptied edit stores nothing";
}

TEST_P(PointerLightPageTest, DirectionChecksAreExclusiveAndRestartThePreview) {
  Find(Names().right).Select(true, ui::SendNotify::Yes);
  EXPECT_EQ(record.direction, 0);
  EXPECT_FALSE(Find(Names().left).IsSelected());
  ASSERT_FALSE(restarts.empty());
  EXPECT_EQ(restarts.back().second, 0);
  Find(Names().left).Select(true, ui::SendNotify::Yes);
  EXPECT_EQ(record.direction, 1);
  EXPECT_FALSE(Find(Names().right).IsSelected());
}

TEST_P(PointerLightPageTest, StoredValuesOutOfRangeShowAsTheNearestValidOnes) {
  record = {200, 99, 99, 0, 1, 1, 2, 3};
  page->Refresh();
  const int lastMode = GetParam().rules().modeCount - 1;
  EXPECT_EQ(Find(Names().modeCombo).CurSel(), lastMode);
  EXPECT_EQ(Find(Names().brightness).Value(), 14);
  EXPECT_EQ(Find(Names().speed).Value(), 0);
  EXPECT_TRUE(Find(Names().right).IsSelected());
  EXPECT_EQ(edits, 0) << "a refresh stores nothing";
  EXPECT_EQ(record.mode, 200) << "and leaves the record as it is";
}

INSTANTIATE_TEST_SUITE_P(Devices, PointerLightPageTest, ::testing::Values(kMouse, kMousepad),
                         [](const ::testing::TestParamInfo<Device>& info) { return std::string(info.param.name); });

// --- the devices' own rules -----------------------------------------------------------------

class MouseLightPageTest : public PointerLightPageTest {};
class MousepadLightPageTest : public PointerLightPageTest {};

TEST_P(MouseLightPageTest, ModesSetTheSectionsAndGoToTheMouseAtOnce) {
  struct Row { int mode; MouseLightSections want; };
  const Row rows[] = {
      {3, {false, true, false, false, true}},
      {6, {false, true, false, false, false}},  // all but the colour, same-mode included
      {0, {true, true, true, true, true}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode);
    SelectMode(r.mode);
    EXPECT_EQ(Shown(), r.want);
    EXPECT_EQ(record.mode, r.mode);
    ASSERT_FALSE(modesWritten.empty());
    EXPECT_EQ(modesWritten.back(), r.mode);
    EXPECT_EQ(restarts.back().first, r.mode);
  }
  // A mouse read with mode 6 shows its sections too.
  record.mode = 6;
  page->Refresh();
  EXPECT_EQ(Shown(), (MouseLightSections{false, true, false, false, false}));
  EXPECT_EQ(Find("ms_deng_mode_switch").CurSel(), 2);
}

TEST_P(MousepadLightPageTest, ModeSixOffersADirectionWhenChosenButNotWhenShown) {
  SelectMode(6);
  EXPECT_EQ(Shown(), (MouseLightSections{true, false, false, true, false}));
  EXPECT_TRUE(modesWritten.empty()) << "the pad's mode travels with the flush";
  EXPECT_EQ(record.mode, 6);
  page->Refresh();
  EXPECT_EQ(Shown(), (MouseLightSections{false, false, false, true, false}));

  SelectMode(8);
  EXPECT_EQ(Shown(), (MouseLightSections{false, true, true, false, false}));
  EXPECT_EQ(Find(Names().modeCombo).ItemCount(), 9) << "modes 0..8, the effects the preview has";
  record.mode = 9;
  page->Refresh();
  EXPECT_EQ(Find(Names().modeCombo).CurSel(), 8);
}

INSTANTIATE_TEST_SUITE_P(Mouse, MouseLightPageTest, ::testing::Values(kMouse),
                         [](const ::testing::TestParamInfo<Device>& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Mousepad, MousepadLightPageTest, ::testing::Values(kMousepad),
                         [](const ::testing::TestParamInfo<Device>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korva::mouse
