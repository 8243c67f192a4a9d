// The mouse settings page's model: what each edit stores, flags, saves and asks the page to do.

#include "mouse/MousePageModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "SimMouse.h"
#include "mouse/MouseProfiles.h"

namespace korva::mouse {
namespace {

using test::MouseStores;
using test::Request;
using test::Sent;
using test::SimMouse;

class MousePageModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mouse.opened);
    ASSERT_TRUE(stores.ready);
  }

  std::vector<std::uint8_t> SavedLight() const {
    return stores.light->LoadProfile(stores.light->SelectedIndex()).payload;
  }

  SimMouse mouse;
  MouseStores stores;
  MousePageModel model{stores.light.get()};
};

struct SettingsEditRow {
  const char* name;
  std::function<MouseEditEffect(MousePageModel&)> edit;
  std::size_t byte;
  std::uint8_t expected;

  friend void PrintTo(const SettingsEditRow& row, std::ostream* out) { *out << row.name; }
};

class MouseSettingsEditTest : public MousePageModelTest,
                              public ::testing::WithParamInterface<SettingsEditRow> {};

TEST_P(MouseSettingsEditTest, StoresTheByteSetsThePendingFlagAndSavesTheLightProfile) {
  const SettingsEditRow& row = GetParam();
  ASSERT_FALSE(model.pendingWrite());

  const MouseEditEffect effect = row.edit(model);

  EXPECT_TRUE(effect.applied);
  EXPECT_EQ(model.image().active.bytes[row.byte], row.expected);
  EXPECT_TRUE(model.pendingWrite());
  ASSERT_TRUE(effect.saved.has_value());
  EXPECT_TRUE(effect.saved->ok()) << effect.saved->error.ToString();
  const std::vector<std::uint8_t> saved = SavedLight();
  ASSERT_EQ(saved.size(), 64u);
  EXPECT_EQ(saved[row.byte], row.expected);
  EXPECT_FALSE(effect.applyPointerSpeed.has_value());
  EXPECT_TRUE(mouse.Requests().empty()) << "edits only flag the write; the flush sends it";
}

INSTANTIATE_TEST_SUITE_P(
    Edits, MouseSettingsEditTest,
    ::testing::Values(
        SettingsEditRow{"Stage1", [](MousePageModel& m) { return m.SetStage(1, 48); }, 15, 48},
        SettingsEditRow{"Stage5SkipsTheCurrentStageByte", [](MousePageModel& m) { return m.SetStage(5, 70); },
                        20, 70},
        SettingsEditRow{"Stage6", [](MousePageModel& m) { return m.SetStage(6, 83); }, 21, 83},
        SettingsEditRow{"NegativeStageAsZero", [](MousePageModel& m) { return m.SetStage(3, -2); }, 17, 0},
        SettingsEditRow{"ReportRate", [](MousePageModel& m) { return m.SelectReportRate(2); }, 14, 2},
        SettingsEditRow{"LiftHeight", [](MousePageModel& m) { return m.SetLiftHeight(3); }, 22, 3},
        SettingsEditRow{"NegativeLiftHeightAsZero", [](MousePageModel& m) { return m.SetLiftHeight(-1); }, 22,
                        0},
        SettingsEditRow{"IndicatorColourRed",
                        [](MousePageModel& m) { return m.PickIndicatorColour(0xFF8040C0); }, 11, 0x80},
        SettingsEditRow{"IndicatorColourBlue",
                        [](MousePageModel& m) { return m.PickIndicatorColour(0xFF8040C0); }, 13, 0xC0}),
    [](const ::testing::TestParamInfo<SettingsEditRow>& info) { return std::string(info.param.name); });

TEST_F(MousePageModelTest, RefusedInputChangesNothing) {
  const auto savedBefore = stores.Snapshot();
  const MouseImage before = model.image();
  for (const MouseEditEffect& effect :
       {model.SetStage(0, 5), model.SetStage(7, 5), model.SelectReportRate(-1), model.SelectReportRate(256),
        model.TypeIndicatorComponent(ColourComponent::kRed, ""),
        model.TypeIndicatorComponent(ColourComponent::kGreen, "abc"), model.ApplyLightProfile({})}) {
    EXPECT_FALSE(effect.applied);
  }
  EXPECT_EQ(model.image(), before);
  EXPECT_FALSE(model.pendingWrite());
  EXPECT_EQ(stores.Snapshot(), savedBefore);
}

TEST_F(MousePageModelTest, TypedComponentIsClampedFlaggedAndNotSaved) {
  model.PickIndicatorColour(0xFF102030);
  const auto savedBefore = stores.Snapshot();

  const MouseEditEffect effect = model.TypeIndicatorComponent(ColourComponent::kGreen, "300");

  EXPECT_TRUE(effect.applied);
  EXPECT_EQ(effect.rewriteText, "255");
  EXPECT_EQ(effect.showColour, 0xFF10FF30u);
  EXPECT_EQ(model.image().active.bytes[12], 255);
  EXPECT_TRUE(model.pendingWrite());
  EXPECT_FALSE(effect.saved.has_value());
  EXPECT_EQ(stores.Snapshot(), savedBefore);
}

TEST_F(MousePageModelTest, PointerSpeedIsAppliedAndSavedButNeverFlagsTheMouse) {
  const MouseEditEffect effect = model.MovePointerSpeed(7);

  EXPECT_EQ(effect.applyPointerSpeed, 14);
  EXPECT_FALSE(effect.applyWheelLines.has_value());
  EXPECT_FALSE(model.pendingWrite());
  EXPECT_EQ(SavedLight().at(23), 14);
  EXPECT_EQ(model.Refresh().pointerSpeedSlider, 7);
}

TEST_F(MousePageModelTest, WheelButtonsRewriteTheEditApplyAndSave) {
  MouseEditEffect effect = model.ClickWheelLines("0", true);
  EXPECT_EQ(effect.rewriteText, "2");
  EXPECT_EQ(effect.applyWheelLines, 2);
  EXPECT_EQ(SavedLight().at(24), 2);

  effect = model.ClickWheelLines("10", true);
  EXPECT_EQ(effect.rewriteText, "10");
  effect = model.ClickWheelLines("1", false);
  EXPECT_EQ(effect.rewriteText, "1");
  EXPECT_EQ(model.Refresh().wheelLinesText, "1");
  EXPECT_FALSE(model.pendingWrite());
}

TEST_F(MousePageModelTest, RefreshShowsTheSettingsAndKeepsTheBaseAt200) {
  MouseImage image;
  image.info.bytes[MouseDeviceInfo::kSensorModel] = 0x10;  // 0x3310, little-endian
  image.info.bytes[MouseDeviceInfo::kSensorModel + 1] = 0x33;
  image.info.bytes[MouseDeviceInfo::kMaxStageStep] = 60;
  image.info.SetCpiBase(100);
  image.active.SetStage(1, 48);
  image.active.SetStage(2, 49);
  image.active.bytes[MouseActiveSettings::kCurrentStage] = 5;
  image.active.bytes[MouseActiveSettings::kReportRate] = 3;
  image.active.SetIndicatorColour(0x00FF0080);
  image.pointerSpeed = 10;
  image.wheelLines = 3;
  model.TakeImage(image);

  const MousePageView view = model.Refresh();

  EXPECT_EQ(model.image().info.CpiBase(), kStageCpiBase);
  ASSERT_TRUE(view.rangeLabels.has_value());
  EXPECT_EQ(view.rangeLabels->min, "50");
  EXPECT_EQ(view.rangeLabels->max, "5000");
  EXPECT_EQ(view.stageSliderMax, 60);
  EXPECT_EQ(view.stages[0].cpiText, "5000");
  EXPECT_EQ(view.stages[1].cpiText, "5200");
  EXPECT_EQ(view.stages[2].cpiText, "200");
  EXPECT_EQ(view.stages[5].labelColour, kCurrentStageColour);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(view.stages[k].labelColour, kOtherStageColour) << k;
  EXPECT_EQ(view.reportRate, 3);
  EXPECT_EQ(view.indicatorColour, 0xFFFF0080u);
  EXPECT_EQ(view.indicatorTexts, (std::array<std::string, 3>{"255", "0", "128"}));
  EXPECT_EQ(view.pointerSpeedSlider, 5);
  EXPECT_EQ(view.wheelLinesText, "3");
}

TEST_F(MousePageModelTest, LightProfileSelectionAppliesOnlyTheWheelLinesAndFlagsTheWrite) {
  std::vector<std::uint8_t> payload(64, 0);
  payload[15] = 30;
  payload[23] = 16;
  payload[24] = 4;

  const MouseEditEffect effect = model.ApplyLightProfile(payload);

  EXPECT_TRUE(effect.applied);
  EXPECT_EQ(effect.applyWheelLines, 4);
  EXPECT_FALSE(effect.applyPointerSpeed.has_value());
  EXPECT_TRUE(model.pendingWrite());
  const MousePageView view = model.Refresh();
  EXPECT_EQ(view.pointerSpeedSlider, 8);
  EXPECT_EQ(view.wheelLinesText, "4");
  EXPECT_EQ(view.stages[0].value, 30);
}

TEST_F(MousePageModelTest, FlushSendsTheEditedSettingsOnceAndClearsTheFlag) {
  model.SetStage(2, 21);
  EXPECT_EQ(model.Flush(mouse.device), device::kResultOk);
  EXPECT_FALSE(model.pendingWrite());
  EXPECT_EQ(mouse.firmware().Record(0)[16], 21);
  EXPECT_EQ(model.Flush(mouse.device), device::kResultOk);
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x06, 56, 0)}));
}

// The reset shows and applies the desktop's defaults, but the stored pointer speed and wheel lines
// stay: the next profile save and the next refresh keep what the user chose.
TEST_F(MousePageModelTest, FactoryResetAppliesTheDesktopDefaultsButKeepsTheStoredValues) {
  model.MovePointerSpeed(9);
  model.ClickWheelLines("7", true);
  const MousePageView before = model.Refresh();

  const MouseEditEffect effect = MousePageModel::FactoryResetDesktop();

  EXPECT_EQ(effect.applyPointerSpeed, 10);
  EXPECT_EQ(effect.applyWheelLines, 3);
  EXPECT_EQ(effect.rewriteText, "3");
  const MousePageView after = model.Refresh();
  EXPECT_EQ(after.pointerSpeedSlider, before.pointerSpeedSlider);
  EXPECT_EQ(after.wheelLinesText, "8");
  EXPECT_TRUE(mouse.Requests().empty()) << "the page sends the mouse's request itself";
}

TEST_F(MousePageModelTest, ProfileNoticeSavesTheNewActiveSettings) {
  MouseImage image;
  ASSERT_TRUE(ReadMouseAll(mouse.device, image).ok());
  model.TakeImage(image);
  ASSERT_TRUE(mouse.bus.PressProfileButton(mouse.id));

  const MouseTransferResult result = model.ReloadActive(mouse.device);

  ASSERT_TRUE(result.changed);
  const std::vector<std::uint8_t> saved = SavedLight();
  ASSERT_EQ(saved.size(), 64u);
  EXPECT_EQ(saved[0], 1);
  const auto record = mouse.firmware().Record(1);
  EXPECT_TRUE(std::equal(record.begin() + 1, record.begin() + 23, saved.begin() + 1));
}

}  // namespace
}  // namespace korva::mouse
