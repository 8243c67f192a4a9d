#include "keyboard/KeyboardLighting.h"

#include <algorithm>

#include "lighting/LightingRules.h"
#include "lighting/effects/KeyboardLayout.h"

namespace korva::keyboard {
namespace {

constexpr KeyboardLightEdit kRecordChanged{true, true, false};
constexpr KeyboardLightEdit kSaved{false, true, false};
constexpr KeyboardLightEdit kCustomChanged{false, true, true};

std::uint8_t Byte(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

std::uint8_t ComponentOf(std::uint32_t argb, lighting::ColourComponent component) {
  return static_cast<std::uint8_t>(argb >> (16u - 8u * static_cast<unsigned>(component)));
}

}  // namespace

std::optional<KeyboardLightSections> SectionsForKeyboardMode(int mode) {
  //                    dir    colour multi  speed  same   custom
  static constexpr std::array<KeyboardLightSections, kKeyboardLightModeCount> kTable{{
      {true, true, true, true, true, false},      // wave
      {false, false, false, true, true, false},   // colour cycle
      {false, true, true, true, true, false},     // breathing
      {false, true, false, false, true, false},   // static
      {false, false, false, true, false, false},  // per-key rainbow
      {false, true, true, true, false, false},    // ripple wave
      {false, true, true, true, false, false},    // show
      {true, true, true, true, false, false},     // path wave
      {false, true, true, false, false, true},    // custom
      {false, true, true, std::nullopt, false, false},  // click ripple
  }};
  if (mode < 0 || mode >= kKeyboardLightModeCount) return std::nullopt;
  return kTable[static_cast<std::size_t>(mode)];
}

std::size_t CheckedCustomSet(std::uint8_t set) {
  return std::min<std::size_t>(set, kCustomSetCount - 1);
}

std::span<std::uint8_t, kCustomSetSize> SelectedCustomSet(KeyboardImage& image) {
  return std::span<std::uint8_t, kCustomSetSize>(image.customSets.data() + CheckedCustomSet(image.customSet) * kCustomSetSize,
                                                 kCustomSetSize);
}

std::span<const std::uint8_t, kCustomSetSize> SelectedCustomSet(const KeyboardImage& image) {
  return std::span<const std::uint8_t, kCustomSetSize>(
      image.customSets.data() + CheckedCustomSet(image.customSet) * kCustomSetSize, kCustomSetSize);
}

KeyboardLightView ViewOfLighting(const KeyboardImage& image) {
  const auto& b = image.active.bytes;
  KeyboardLightView view;
  view.mode = lighting::CheckedMode(b[kModeByte], kKeyboardLightModeCount).value_or(kKeyboardLightModeCount - 1);
  view.brightness = lighting::CheckedBrightness(b[kBrightnessByte]);
  view.speedSlider = lighting::SliderOfSpeedByte(b[kSpeedByte]);
  view.left = b[kDirectionByte] != 0;
  view.multicolour = b[kMulticolourByte] != 0;
  view.colour = view.mode == kCustomColoursMode
                    ? lighting::OpaqueColour(image.paintColour[0], image.paintColour[1], image.paintColour[2])
                    : lighting::OpaqueColour(b[kRedByte], b[kRedByte + 1], b[kRedByte + 2]);
  view.customSet = static_cast<int>(CheckedCustomSet(image.customSet));
  return view;
}

KeyboardLightEdit SetLightMode(KeyboardImage& image, int mode) {
  image.active.bytes[kModeByte] = Byte(std::min(mode, kKeyboardLightModeCount - 1));
  return kRecordChanged;
}

KeyboardLightEdit SetLightBrightness(KeyboardImage& image, int sliderValue) {
  image.active.bytes[kBrightnessByte] = static_cast<std::uint8_t>(lighting::CheckedBrightness(Byte(sliderValue)));
  return kRecordChanged;
}

KeyboardLightEdit SetLightSpeed(KeyboardImage& image, int sliderValue) {
  image.active.bytes[kSpeedByte] = lighting::SpeedByteOfSlider(sliderValue);
  return kRecordChanged;
}

KeyboardLightEdit SetLightDirection(KeyboardImage& image, bool left) {
  image.active.bytes[kDirectionByte] = left ? 1 : 0;
  return kRecordChanged;
}

KeyboardLightEdit SetLightMulticolour(KeyboardImage& image, bool on) {
  image.active.bytes[kMulticolourByte] = on ? 1 : 0;
  return kRecordChanged;
}

KeyboardLightEdit StoreLightColour(KeyboardImage& image, bool customMode, std::uint32_t argb) {
  using lighting::ColourComponent;
  const std::array<std::uint8_t, 3> rgb = {ComponentOf(argb, ColourComponent::kRed),
                                           ComponentOf(argb, ColourComponent::kGreen),
                                           ComponentOf(argb, ColourComponent::kBlue)};
  if (customMode) {
    image.paintColour = rgb;
    return kSaved;
  }
  std::copy(rgb.begin(), rgb.end(), image.active.bytes.begin() + kRedByte);
  image.active.bytes[kMulticolourByte] = 0;
  return kRecordChanged;
}

KeyboardLightEdit StoreLightComponent(KeyboardImage& image, bool customMode, lighting::ColourComponent component,
                                      std::uint8_t value) {
  const auto index = static_cast<std::size_t>(component);
  if (customMode) {
    image.paintColour[index] = value;
    return kSaved;
  }
  image.active.bytes[kRedByte + index] = value;
  image.active.bytes[kMulticolourByte] = 0;
  return {true, false, false};
}

KeyboardLightEdit SelectCustomSet(KeyboardImage& image, int set) {
  image.customSet = static_cast<std::uint8_t>(std::clamp<int>(set, 0, kCustomSetCount - 1));
  return kCustomChanged;
}

KeyboardLightEdit ClearCustomSet(KeyboardImage& image) {
  std::ranges::fill(SelectedCustomSet(image), std::uint8_t{0});
  return kCustomChanged;
}

KeyboardLightEdit FillCustomSet(KeyboardImage& image) {
  const std::span<std::uint8_t, kCustomSetSize> set = SelectedCustomSet(image);
  for (std::size_t i = 0; i < set.size(); i += 3) {
    if (set[i] == 0 && set[i + 1] == 0 && set[i + 2] == 0) std::ranges::copy(image.paintColour, set.begin() + i);
  }
  return kCustomChanged;
}

KeyboardLightEdit PaintCustomKey(KeyboardImage& image, std::size_t key) {
  namespace fx = lighting::effects;
  if (key >= fx::kKeyboardLedMap.size()) return {};
  const std::uint8_t led = fx::kKeyboardLedMap[key];
  if (led >= fx::kStreamLeds) return {};
  std::ranges::copy(image.paintColour, SelectedCustomSet(image).begin() + std::size_t{led} * 3);
  return kCustomChanged;
}

}  // namespace korva::keyboard
