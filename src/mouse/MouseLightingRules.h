#pragma once
// The rules of the pointer lighting sections (the mouse's and the mousepad's: the same controls with
// their own prefixes), kept apart from any control so they can be tested alone: which sections each
// effect mode uses when it is chosen and when it is shown, how the mode reaches the device, the
// speed slider's reversed scale, and the checking of values read from a device or a profile before
// they pick a combo item or a slider position.
//
// A mode byte outside the device's list (a device or a file can hold anything) shows as the nearest
// mode of the list; it never indexes a table. The mousepad offers modes 0..8, the effects its
// preview can show; a stored 9 shows as 8.

#include <cstdint>
#include <optional>
#include <span>

namespace korva::mouse {

inline constexpr int kMouseLightModeCount = 7;     // modes 0..6
inline constexpr int kMousepadLightModeCount = 9;  // modes 0..8

// The sections of the lighting page an effect mode uses.
struct MouseLightSections {
  bool direction = false;
  bool colour = false;
  bool colourCycle = false;
  bool speed = false;
  bool sameMode = false;
  friend bool operator==(const MouseLightSections&, const MouseLightSections&) = default;
};

// One device's lighting section: its modes and their sections, and its write policy.
struct PointerLightRules {
  int modeCount = 0;
  std::span<const MouseLightSections> onSelection;  // a mode the user chose
  std::span<const MouseLightSections> onDisplay;    // a mode read from the device or a profile
  // The mouse writes a chosen mode to the active profile at once (one byte, command 6); the
  // mousepad's mode travels with the next settings flush.
  bool writeModeAtOnce = false;
};
const PointerLightRules& MouseLightRules();
const PointerLightRules& MousepadLightRules();

// nullopt for a mode outside the device's list (the sections are then left as they are).
std::optional<MouseLightSections> SectionsOnSelection(const PointerLightRules& rules, int mode);
std::optional<MouseLightSections> SectionsOnDisplay(const PointerLightRules& rules, int mode);
// The mouse's table (chosen and shown alike).
std::optional<MouseLightSections> SectionsForMode(int mode);
// A stored mode byte as the combo shows it: the nearest mode of the device's list.
int ShownMode(const PointerLightRules& rules, std::uint8_t mode);

inline constexpr int kMouseSpeedSliderMax = 14;
// Slider value -> stored speed byte: 14 - value, 0 when negative; a value below 0 counts as 0.
std::uint8_t SpeedByteOfSlider(int sliderValue);
// Stored speed byte -> slider value; a byte above 14 (from a device or profile) shows as 0.
int SliderOfSpeedByte(std::uint8_t speed);

// A mode byte read from a device or profile, as the mouse's combo may show it: nullopt above 6.
std::optional<int> CheckedMode(std::uint8_t mode);
// A brightness byte as the slider may show it: at most 14.
int CheckedBrightness(std::uint8_t brightness);

}  // namespace korva::mouse
