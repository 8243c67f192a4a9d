#include "lighting/effects/Ripple.h"

namespace korva::lighting::effects {
namespace {

constexpr std::uint8_t Up(std::uint8_t b) {
  return static_cast<std::uint8_t>(b << 1);
}
constexpr std::uint8_t Down(std::uint8_t b) {
  return static_cast<std::uint8_t>(b >> 1);
}

}  // namespace

void SetRippleBit(RippleMaps& maps, std::size_t column, int bit) {
  for (RippleMap& m : maps) m[column] = static_cast<std::uint8_t>(m[column] | (1U << bit));
}

bool SeedRipple(RippleMaps& maps, std::uint8_t key) {
  if (key == kNoKey) return false;
  for (std::size_t c = 0; c < kKeyboardColumns; ++c) {
    for (std::size_t r = 0; r < kKeyboardRows; ++r) {
      if (kKeyboardColumnTable[c][r] == key) {
        SetRippleBit(maps, c, static_cast<int>(r));
        return true;
      }
    }
  }
  return false;
}

void StepRipple(RippleMaps& maps) {
  RippleMap& m0 = maps[0];
  RippleMap& m1 = maps[1];
  RippleMap& m2 = maps[2];
  RippleMap& m3 = maps[3];
  constexpr std::size_t last = kKeyboardColumns - 1;

  // M0 and M3 travel towards column 0: each column takes its right neighbour, which then moves
  // one row on. Column 0 first, as nothing arrives there from the left.
  m3[0] = Down(m3[0]);
  m0[0] = Up(m0[0]);
  for (std::size_t c = 0; c < last; ++c) {
    m3[c] |= m3[c + 1];
    m3[c + 1] = Down(m3[c + 1]);
    m0[c] |= m0[c + 1];
    m0[c + 1] = Up(m0[c + 1]);
  }
  // M1 and M2 travel towards the last column, working backwards so that a bit moves one column
  // per step. The last column keeps what it had, moved one row on.
  m2[last] = static_cast<std::uint8_t>(Down(m2[last]) | m2[last - 1]);
  m1[last] = static_cast<std::uint8_t>(Up(m1[last]) | m1[last - 1]);
  m2[last - 1] = Down(m2[last - 1]);
  m1[last - 1] = Up(m1[last - 1]);
  for (std::size_t c = last - 1; c-- > 0;) {
    m2[c + 1] |= m2[c];
    m1[c + 1] |= m1[c];
    m2[c] = Down(m2[c]);
    m1[c] = Up(m1[c]);
  }
}

}  // namespace korva::lighting::effects
