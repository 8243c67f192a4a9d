#pragma once
// How a lit key or ring position fades: by bands of its intensity, a bright light dimming in big
// steps and a faint one in small steps, so the tail of a ripple lingers. Each effect has its own
// bands; below the last band the tail rule applies.

#include <array>
#include <cstddef>
#include <cstdint>

namespace korva::lighting::effects {

struct DecayBand {
  std::uint8_t atLeast;  // the band holds intensities from this value up
  std::uint8_t minus;    // what a frame takes off
};

struct DecayRule {
  std::array<DecayBand, 5> bands;  // highest first
  std::size_t bandCount;
  std::uint8_t tailMinus;  // below the bands: taken off, not below 0 (255: straight to 0)
};

constexpr std::uint8_t Decay(std::uint8_t v, const DecayRule& rule) {
  for (std::size_t i = 0; i < rule.bandCount; ++i) {
    if (v >= rule.bands[i].atLeast) return static_cast<std::uint8_t>(v - rule.bands[i].minus);
  }
  return v > rule.tailMinus ? static_cast<std::uint8_t>(v - rule.tailMinus) : 0;
}

// Keyboard ripple wave (mode 5): a key settles at 9 and stays faintly lit.
inline constexpr DecayRule kKeyboardWaveDecay{{{{128, 40}, {64, 30}, {32, 10}, {17, 8}, {9, 0}}}, 5, 255};
// Keyboard show and click ripples: every key fades out to 0.
inline constexpr DecayRule kKeyboardFadeDecay{{{{128, 30}, {64, 20}, {32, 10}, {17, 5}, {9, 4}}}, 5, 255};
// The rings of the mouse and of the mousepad.
inline constexpr DecayRule kMouseRingDecay{{{{128, 40}, {64, 30}, {32, 10}, {17, 8}}}, 4, 4};
inline constexpr DecayRule kMousepadRingDecay{{{{128, 30}, {64, 20}, {32, 10}, {17, 5}}}, 4, 1};

}  // namespace korva::lighting::effects
