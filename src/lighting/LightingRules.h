#pragma once
// The rules every lighting page shares when it shows a lighting record on its controls: the speed
// slider's reversed scale (the slider shows 14 - speed) and the checking of mode and brightness
// bytes read from a device or a profile before they pick a combo item or a slider position.

#include <cstdint>
#include <optional>

namespace korva::lighting {

inline constexpr int kSpeedSliderMax = 14;
// Slider value -> stored speed byte: 14 - value, limited to 0..14.
std::uint8_t SpeedByteOfSlider(int sliderValue);
// Stored speed byte -> slider value; a byte above 14 shows as 0.
int SliderOfSpeedByte(std::uint8_t speed);

// A mode byte as a combo of `modeCount` items may show it: nullopt when it names no item.
std::optional<int> CheckedMode(std::uint8_t mode, int modeCount);
// A brightness byte as the slider may show it: at most 14.
int CheckedBrightness(std::uint8_t brightness);

}  // namespace korva::lighting
