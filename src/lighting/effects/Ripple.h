#pragma once
// The keyboard's ripples: four maps of 23 columns, one byte each, bit r standing for row r of the
// column (rows 0..5; bits 6 and 7 only carry a ripple on its way in or out). Each map spreads
// one diagonal: M0 to lower columns and higher rows, M1 to higher columns and higher rows, M2 to
// higher columns and lower rows, M3 to lower columns and lower rows. A seed sets the same bit in
// all four, so a ripple grows out from its key in every direction.

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/effects/KeyboardLayout.h"

namespace korva::lighting::effects {

using RippleMap = std::array<std::uint8_t, kKeyboardColumns>;
using RippleMaps = std::array<RippleMap, 4>;  // M0, M1, M2, M3

// Sets bit `bit` of `column` in all four maps.
void SetRippleBit(RippleMaps& maps, std::size_t column, int bit);

// Seeds a ripple at the first column-table place (columns in order, then rows) holding `key`;
// false, and nothing seeded, for a key the table does not hold.
bool SeedRipple(RippleMaps& maps, std::uint8_t key);

// Moves every ripple one step outwards.
void StepRipple(RippleMaps& maps);

// The keys under a ripple now: column by column, rows 0..5, those whose bit is set in any map.
template <typename OnKey>
void ForEachRippleKey(const RippleMaps& maps, OnKey&& onKey) {
  for (std::size_t c = 0; c < kKeyboardColumns; ++c) {
    const unsigned bits = maps[0][c] | maps[1][c] | maps[2][c] | maps[3][c];
    for (std::size_t r = 0; r < kKeyboardRows; ++r) {
      const std::uint8_t key = kKeyboardColumnTable[c][r];
      if ((bits >> r & 1U) != 0 && key != kNoKey) onKey(key);
    }
  }
}

}  // namespace korva::lighting::effects
