#pragma once
// The keyboard's lighting as the lighting page edits it, kept apart from any control: the effect
// modes and the sections of the page each one uses, the values of the working settings checked
// before they pick a combo item or slider position, and the five custom colour sets of mode 8
// (cleared, filled and painted key by key with the paint colour).
//
// Every edit says what it changed (KeyboardLightEdit): a change of the lighting record goes to the
// keyboard with the deferred settings write; a saving change is kept in the selected light profile.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "keyboard/KeyboardImage.h"
#include "lighting/ColourComponents.h"

namespace korva::keyboard {

inline constexpr int kKeyboardLightModeCount = 10;  // modes 0..9
inline constexpr std::uint8_t kCustomColoursMode = 8;
inline constexpr std::uint8_t kClickRippleMode = 9;

// Bytes of KeyboardActiveSettings.
inline constexpr std::size_t kModeByte = 1;
inline constexpr std::size_t kBrightnessByte = 2;
inline constexpr std::size_t kSpeedByte = 3;
inline constexpr std::size_t kDirectionByte = 4;
inline constexpr std::size_t kMulticolourByte = 5;
inline constexpr std::size_t kRedByte = 6;  // green 7, blue 8

// The sections of the lighting page an effect mode uses.
struct KeyboardLightSections {
  bool direction = false;
  bool colour = false;
  bool multicolour = false;
  std::optional<bool> speed;  // nullopt: left as it was (the click ripple)
  bool sameMode = false;
  bool customColours = false;  // the custom set tools and the paint colour instead of direction,
                               // multicolour and the record's colour display
  friend bool operator==(const KeyboardLightSections&, const KeyboardLightSections&) = default;
};
// nullopt for a mode outside 0..9.
std::optional<KeyboardLightSections> SectionsForKeyboardMode(int mode);

// The working settings as the page shows them, every value checked: a mode above 9 shows as 9, a
// brightness above 14 as 14, a speed above 14 as the slider's 0, a custom set above 4 as 4.
struct KeyboardLightView {
  int mode = 0;
  int brightness = 0;
  int speedSlider = 0;
  bool left = false;
  bool multicolour = false;
  std::uint32_t colour = 0;  // the paint colour in mode 8, else the record's colour (0xAARRGGBB)
  int customSet = 0;
};
KeyboardLightView ViewOfLighting(const KeyboardImage& image);

// The custom set a stored number selects: 0..4, a number above 4 counts as 4.
std::size_t CheckedCustomSet(std::uint8_t set);
std::span<std::uint8_t, kCustomSetSize> SelectedCustomSet(KeyboardImage& image);
std::span<const std::uint8_t, kCustomSetSize> SelectedCustomSet(const KeyboardImage& image);

// What an edit changed.
struct KeyboardLightEdit {
  bool record = false;  // the lighting record: the deferred settings write sends it
  bool save = false;    // kept in the selected light profile
  bool customColours = false;  // the custom sets or the selected set: the preview takes them
};

KeyboardLightEdit SetLightMode(KeyboardImage& image, int mode);
KeyboardLightEdit SetLightBrightness(KeyboardImage& image, int sliderValue);
KeyboardLightEdit SetLightSpeed(KeyboardImage& image, int sliderValue);
KeyboardLightEdit SetLightDirection(KeyboardImage& image, bool left);
KeyboardLightEdit SetLightMulticolour(KeyboardImage& image, bool on);
// A colour chosen (palette or swatch): in the custom mode the paint colour, else the record's
// colour with multicolour off.
KeyboardLightEdit StoreLightColour(KeyboardImage& image, bool customMode, std::uint32_t argb);
// A component typed into an edit: as StoreLightColour for one component, not saved (the next
// saving change keeps it).
KeyboardLightEdit StoreLightComponent(KeyboardImage& image, bool customMode, lighting::ColourComponent component,
                                      std::uint8_t value);
KeyboardLightEdit SelectCustomSet(KeyboardImage& image, int set);
// Every entry of the selected set black.
KeyboardLightEdit ClearCustomSet(KeyboardImage& image);
// Every black entry of the selected set takes the paint colour; the others stay.
KeyboardLightEdit FillCustomSet(KeyboardImage& image);
// Preview key `key` (0..125) painted with the paint colour in the selected set; a key without an
// LED, or a number outside 0..125, changes nothing.
KeyboardLightEdit PaintCustomKey(KeyboardImage& image, std::size_t key);

}  // namespace korva::keyboard
