#pragma once
// HeadsetLight: the headset's lighting record as its lighting page edits it, and the rules of that
// page kept apart from any control: which sections each effect mode uses, the slider scales, a
// colour picked or typed, and what the page shows for a record read from a profile.
//
// Modes: 0 wave, 1 colour cycle, 2 breathing, 3 static. Only the wave is written to the headset's
// LED controllers LED by LED (HeadsetLightFrame.h); the others take one colour for every LED.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lighting/ColourComponents.h"
#include "lighting/LightingSettings.h"

namespace korva::headset {

inline constexpr std::uint8_t kHeadsetWaveMode = 0;

// The sections of the lighting page a mode uses, and whether its frames go out LED by LED.
struct HeadsetLightSections {
  bool light = false;
  bool speed = false;
  bool multicolour = false;
  bool colour = false;
  bool direction = false;
  bool wave = false;
  friend bool operator==(const HeadsetLightSections&, const HeadsetLightSections&) = default;
};
// nullopt for a mode outside 0..3.
std::optional<HeadsetLightSections> SectionsForHeadsetMode(int mode);
// The frames of `record` are written LED by LED (the wave) rather than as one colour.
bool WritesWave(const lighting::LightingSettings& record);

// What the page shows for a record (read from a profile, a restore or another device's same-mode
// copy): values outside the controls' ranges are shown at the nearest end, an unknown mode
// selects no item.
struct HeadsetLightView {
  std::optional<int> mode;
  int brightness = 0;   // slider position
  int speedSlider = 0;  // 14 - speed
  std::uint32_t colour = 0;
  bool multicolour = false;
  bool left = false;  // direction 1: the left check box; 0: the right one
  friend bool operator==(const HeadsetLightView&, const HeadsetLightView&) = default;
};
HeadsetLightView ViewOfHeadsetLight(const lighting::LightingSettings& record);

// The colour a typed component gives, with the text to put back into its edit.
struct TypedColour {
  std::uint32_t colour = 0;
  std::optional<std::string> rewrite;
};

class HeadsetLight {
 public:
  const lighting::LightingSettings& Record() const { return record_; }
  // A record loaded from a profile, a restore or a same-mode copy.
  void Replace(const lighting::LightingSettings& record) { record_ = record; }

  // Each returns whether the record took the value (false for a mode outside 0..3).
  bool SelectMode(int mode);
  void SetBrightness(int position);     // limited to 0..14
  void SetSpeedSlider(int position);    // speed = 14 - position, limited to 0..14
  void SetDirection(bool left);         // 1 left, 0 right
  void SetMulticolour(bool on);
  // A colour picked from a swatch or the palette: stored, multicolour off.
  void StoreColour(std::uint32_t argb);
  // A number typed into a component's edit: `displayed` with that component replaced; the component
  // is stored and multicolour turned off. nullopt (nothing stored) while the edit holds no number.
  std::optional<TypedColour> TypeComponent(lighting::ColourComponent component, std::string_view text,
                                           std::uint32_t displayed);

 private:
  lighting::LightingSettings record_{};
};

}  // namespace korva::headset
