#pragma once
// The keyboard's ten lighting effects, rendered into its 126-entry frame once per pass of the
// keyboard lighting thread:
//   0 wave by columns        1 colour cycle      2 breathing        3 static
//   4 per-key rainbow        5 ripple wave       6 show             7 wave along the key path
//   8 custom colours         9 ripples from clicked keys
// The animation state belongs to the caller, which also calls the entry points that the page
// and its timer drive (mode selection, key clicks, the 10 ms tick).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "lighting/LightingSettings.h"
#include "lighting/effects/Frame.h"
#include "lighting/effects/Pass.h"
#include "lighting/effects/Ripple.h"

namespace korva::lighting::effects {

inline constexpr std::uint8_t kKeyboardLastMode = 9;
inline constexpr std::uint8_t kKeyboardCustomMode = 8;
inline constexpr std::uint8_t kKeyboardClickMode = 9;

// The custom colours: 5 sets of 126 (red, green, blue), entry i being the LED at stream position i.
inline constexpr std::size_t kCustomColourSetCount = 5;
inline constexpr std::size_t kCustomColourSetSize = kStreamLeds * 3;
using CustomColourSetsView = std::span<const std::uint8_t, kCustomColourSetCount * kCustomColourSetSize>;

struct KeyboardAnimation {
  std::uint8_t phase = 0;  // modes 0, 1, 2, 7; the step counter of mode 6
  // Grows by 1 per written frame and by 11 per key a ripple or the show lights; a lit key takes it
  // as its wheel position, so ripples come in ever new colours.
  std::uint8_t seed = 0;
  std::array<std::uint8_t, kKeyboardEntries> keyPhase{};   // wheel position per key (modes 4, 5, 6, 9)
  std::array<std::uint8_t, kKeyboardEntries> intensity{};  // modes 5, 6, 9
  RippleMaps ripples{};
  std::uint8_t showState = 0;  // mode 6: 0 opening, 1 circle, 2 seed, 3 ripple, 4 wait for it to end
  // Mode 9's clock, driven by the 10 ms tick: a counter, and a flag raised every second tick.
  std::uint8_t rippleTicks = 0;
  bool oddTick = false;
  bool tick20ms = false;
};

struct KeyboardInput {
  LightingSettings record;
  CustomColourSetsView customSets;
  std::uint8_t customSet = 0;  // 0..4, the set mode 8 shows
};

// Renders one pass of the record's mode into `frame`. In mode 9 the frame stays as it was and the
// key colours go to `clickPreview` instead (entries for keys without an LED are left alone).
Pass RenderKeyboard(const KeyboardInput& input, KeyboardAnimation& state, KeyboardFrame& frame,
                    KeyboardFrame& clickPreview);

// Mode selection: everything back to the start (the seed and mode 9's clock carry on).
void ResetKeyboardAnimation(KeyboardAnimation& state);
// The start state a mode needs, after a reset on selection and again on every page refresh:
// mode 4 spreads the key phases over the wheel, mode 5 plants its ripple at column 9.
void SeedKeyboardMode(KeyboardAnimation& state, std::uint8_t mode);
// A click on preview key `key`: in mode 9 a ripple starts there; other modes ignore it here (mode
// 8's painting changes the custom colours, not the animation).
void ClickKeyboardKey(KeyboardAnimation& state, std::uint8_t mode, std::uint8_t key);
// The 10 ms timer's tick.
void TickKeyboardClock(KeyboardAnimation& state);
// After each frame the keyboard thread writes (or skips while synchronised).
void NoteKeyboardFrameWritten(KeyboardAnimation& state);

}  // namespace korva::lighting::effects
