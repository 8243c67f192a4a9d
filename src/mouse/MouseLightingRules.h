#pragma once
// The rules of the mouse lighting section, kept apart from any control so they can be tested alone:
// which sections each effect mode uses, the speed slider's reversed scale, and the checking of
// values read from the device or a profile before they pick a combo item or a slider position.

#include <cstdint>
#include <optional>

namespace korva::mouse {

inline constexpr int kMouseLightModeCount = 7;  // modes 0..6

// The sections of the lighting page an effect mode uses.
struct MouseLightSections {
  bool direction = false;
  bool colour = false;
  bool colourCycle = false;
  bool speed = false;
  bool sameMode = false;
  friend bool operator==(const MouseLightSections&, const MouseLightSections&) = default;
};
// nullopt for a mode outside 0..6 (the sections are then left as they are).
std::optional<MouseLightSections> SectionsForMode(int mode);

inline constexpr int kMouseSpeedSliderMax = 14;
// Slider value -> stored speed byte: 14 - value, 0 when negative; a value below 0 counts as 0.
std::uint8_t SpeedByteOfSlider(int sliderValue);
// Stored speed byte -> slider value; a byte above 14 (from a device or profile) shows as 0.
int SliderOfSpeedByte(std::uint8_t speed);

// A mode byte read from a device or profile, as the combo may show it: nullopt above 6.
std::optional<int> CheckedMode(std::uint8_t mode);
// A brightness byte as the slider may show it: at most 14.
int CheckedBrightness(std::uint8_t brightness);

}  // namespace korva::mouse
