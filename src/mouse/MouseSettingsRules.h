#pragma once
// The arithmetic of the mouse settings page, kept apart from any control so it can be tested alone:
// counts-per-inch figures of the sensitivity stages, the sensor range labels, the marking of the
// current stage, the indicator colour components typed by the user, the wheel-lines buttons and the
// pointer-speed slider.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lighting/ColourComponents.h"
#include "mouse/MouseImage.h"

namespace korva::mouse {

// --- sensitivity stages -------------------------------------------------------------------------

// The counts-per-inch base every figure uses (the device's own base is overwritten with it).
inline constexpr int kStageCpiBase = 200;
// base + step x 100 below step 49, base + (step - 24) x 200 from there (48 -> 5000, 49 -> 5200).
// A negative step counts as 0.
int StageCpi(int step);
// StageCpi as the stage label shows it ("%d").
std::string StageCpiText(int step);

struct SensorRangeLabels {
  std::string_view min;
  std::string_view max;
};
// The texts of the stage sliders' range labels for a sensor model; nullopt (labels left as they
// are) for a model not in the table.
std::optional<SensorRangeLabels> SensorRangeLabelsFor(std::uint16_t sensorModel);

inline constexpr std::uint32_t kCurrentStageColour = 0xFFFF0000;  // red
inline constexpr std::uint32_t kOtherStageColour = 0xFFFFFFFF;    // white
// The colour of the rank and value labels of stages 1..6 for the current-stage byte (0..5 marks
// stage byte + 1). A byte above 5 marks stage 1, paints stages 2..4 white and leaves 5 and 6 as they
// are (nullopt).
std::array<std::optional<std::uint32_t>, kMouseStageCount> StageLabelColours(std::uint8_t currentStage);

// --- indicator colour ---------------------------------------------------------------------------

// The indicator colour's components are edited as every lighting colour's are.
using lighting::ColourComponent;
using lighting::ComponentTexts;
using lighting::ParseTypedComponent;
using lighting::TypedComponent;
using lighting::WithComponent;

// --- desktop settings carried by the light profile -------------------------------------------------

// The number at the start of an edit's text, as the wheel-lines buttons read it: spaces, an optional
// sign and decimal digits; 0 when there is no number; saturated to the int range.
int LeadingNumber(std::string_view text);
// The "up" button: w <= 0 becomes 1, then w + 1, at most 10 ("0" -> 2, "10" -> 10).
int WheelLinesUp(int w);
// The "down" button: w above 10 becomes 10, then w - 1 when w >= 2, else 1 ("1" -> 1).
int WheelLinesDown(int w);

// The pointer-speed slider runs over 0..10 and stands for speed 2 x value, at least 1:
//   slider 0 -> speed 1 (the slowest), 1 -> 2, ..., 5 -> 10 (the desktop default), ..., 10 -> 20.
// A speed shows as speed / 2, so loading a profile, moving the slider and the factory reset (slider 5,
// speed 10) agree, and both ends of the speed range 1..20 can be reached. Odd speeds, which only a
// profile file can hold, show on the slider position below them.
inline constexpr int kPointerSpeedSliderMin = 0;
inline constexpr int kPointerSpeedSliderMax = 10;
// Slider value -> pointer speed; values outside the slider's range count as its nearest end.
int PointerSpeedOfSlider(int sliderValue);
// Pointer speed -> slider value; speeds outside 1..20 count as the nearest end.
int SliderOfPointerSpeed(int speed);

}  // namespace korva::mouse
