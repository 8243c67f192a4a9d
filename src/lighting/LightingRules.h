#pragma once
// The checks every lighting page makes on the values of a lighting record: the speed slider's
// reversed scale, and the checking of values read from a device or a profile file before they
// pick a combo item, a slider position or a table entry.

#include <cstdint>
#include <optional>

namespace korva::lighting {

inline constexpr int kSpeedSliderMax = 14;
// Slider value -> stored speed byte: 14 - value, 0 when negative; a value below 0 counts as 0.
std::uint8_t SpeedByteOfSlider(int sliderValue);
// Stored speed byte -> slider value; a byte above 14 (from a device or profile) shows as 0, the
// position of the nearest valid speed.
int SliderOfSpeedByte(std::uint8_t speed);
// A brightness byte as the slider may show it: at most 14.
int CheckedBrightness(std::uint8_t brightness);
// A mode byte as a combo of `modeCount` items may show it: nullopt at or above the count.
std::optional<int> CheckedMode(std::uint8_t mode, int modeCount);

}  // namespace korva::lighting
