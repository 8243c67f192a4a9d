#include "mouse/MouseSettingsRules.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "common/LeadingNumber.h"

namespace korva::mouse {
namespace {

struct SensorRow {
  std::uint16_t model;
  SensorRangeLabels labels;
};

constexpr std::array<SensorRow, 4> kSensorRanges = {{
    {0x3325, {"200", "5000"}},
    {0x3050, {"250", "4000"}},
    {0x3360, {"100", "12000"}},
    {0x3310, {"50", "5000"}},
}};

// Above this step a stage moves in steps of 200 counts per inch instead of 100.
constexpr int kFineStepLimit = 49;

}  // namespace

int StageCpi(int step) {
  const int v = std::max(step, 0);
  return v < kFineStepLimit ? kStageCpiBase + v * 100 : kStageCpiBase + (v - 24) * 200;
}

std::string StageCpiText(int step) {
  return std::to_string(StageCpi(step));
}

std::optional<SensorRangeLabels> SensorRangeLabelsFor(std::uint16_t sensorModel) {
  for (const SensorRow& row : kSensorRanges) {
    if (row.model == sensorModel) return row.labels;
  }
  return std::nullopt;
}

std::array<std::optional<std::uint32_t>, kMouseStageCount> StageLabelColours(std::uint8_t currentStage) {
  std::array<std::optional<std::uint32_t>, kMouseStageCount> colours{};
  if (currentStage < kMouseStageCount) {
    for (std::size_t k = 0; k < colours.size(); ++k) {
      colours[k] = k == currentStage ? kCurrentStageColour : kOtherStageColour;
    }
    return colours;
  }
  // The byte is not a stage number: stage 1 is marked, 2..4 cleared, 5 and 6 keep their colour.
  colours[0] = kCurrentStageColour;
  for (std::size_t k = 1; k < 4; ++k) colours[k] = kOtherStageColour;
  return colours;
}

int LeadingNumber(std::string_view text) {
  const long long value = ParseLeadingNumber(text).value_or(0);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int WheelLinesUp(int w) {
  if (w <= 0) w = 1;
  return std::min(w, kMaxWheelLines - 1) + 1;
}

int WheelLinesDown(int w) {
  w = std::min(w, kMaxWheelLines);
  return w >= 2 ? w - 1 : kMinWheelLines;
}

int PointerSpeedOfSlider(int sliderValue) {
  const int v = std::clamp(sliderValue, kPointerSpeedSliderMin, kPointerSpeedSliderMax);
  return std::max(2 * v, kMinPointerSpeed);
}

int SliderOfPointerSpeed(int speed) {
  return std::clamp(speed, kMinPointerSpeed, kMaxPointerSpeed) / 2;
}

}  // namespace korva::mouse
