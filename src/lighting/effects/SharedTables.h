#pragma once
// The tables every device's effects share: brightness levels, frame delays, the colour wheel W,
// the breathing curve C and the wave curve V. All are built at compile time from the few numbers
// that define them, so the full tables never have to be typed out (and cannot drift from them).

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "lighting/effects/Frame.h"

namespace korva::lighting::effects {

inline constexpr std::size_t kLevels = 15;  // brightness levels and speeds are both 0..14
inline constexpr std::uint8_t kMaxLevel = 14;

// Brightness of each level. The device firmware's own table carries a 16th entry, 0, that no
// level reaches; it is left out so that an index past level 14 cannot compile into a read.
inline constexpr std::array<std::uint8_t, kLevels> kBrightness{0,   60,  75,  90,  105, 120, 135, 150,
                                                               165, 180, 195, 210, 225, 240, 255};

// Frame delays in ms, indexed by mode * 15 + speed.
inline constexpr std::size_t kKeyboardDelayModes = 10;  // the keyboard's modes; the headset uses rows 0..3
inline constexpr std::size_t kMousepadDelayModes = 9;

namespace detail {

constexpr std::array<std::uint8_t, kKeyboardDelayModes * kLevels> MakeKeyboardDelays() {
  std::array<std::uint8_t, kKeyboardDelayModes * kLevels> t{};
  for (std::size_t mode = 0; mode < kKeyboardDelayModes; ++mode) {
    for (std::size_t speed = 1; speed < kLevels; ++speed) {
      // The click ripple (mode 9) runs 4 ms shorter at every speed.
      t[mode * kLevels + speed] = static_cast<std::uint8_t>((mode == 9 ? 5 : 9) + 4 * speed);
    }
    std::uint8_t first = 9;
    if (mode == 0) first = 2;
    if (mode == 4 || mode == 7) first = 3;
    if (mode == 9) first = 0;
    t[mode * kLevels] = first;
  }
  t[2 * kLevels + 14] = 63;  // the one entry off the line: breathing at its slowest speed
  return t;
}

constexpr std::array<std::uint8_t, kMousepadDelayModes * kLevels> MakeMousepadDelays() {
  std::array<std::uint8_t, kMousepadDelayModes * kLevels> t{};
  for (std::size_t mode = 0; mode < kMousepadDelayModes; ++mode) {
    t[mode * kLevels] = 9;
    for (std::size_t speed = 1; speed < kLevels; ++speed) {
      t[mode * kLevels + speed] = static_cast<std::uint8_t>(9 + 4 * speed);
    }
  }
  return t;
}

inline constexpr std::array<std::uint8_t, 32> kRise{1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,
                                                    44,  50,  57,  65,  73,  81,  89,  99,  109, 119, 129,
                                                    140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
inline constexpr std::array<std::uint8_t, 32> kFall{248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124,
                                                    114, 104, 94,  85,  77,  69,  61,  53,  47,  41,  35,
                                                    29,  24,  20,  16,  12,  8,   6,   4,   2,   0};

// 192 steps round the hue circle in six ramps, then the first 64 again so that a position up to
// 255 (a seed byte) can index it without wrapping.
constexpr std::array<Rgb, 256> MakeWheel() {
  std::array<Rgb, 256> w{};
  for (std::size_t k = 0; k < 32; ++k) {
    const std::uint8_t u = kRise[k];
    const std::uint8_t d = kFall[k];
    w[k] = {255, u, 0};
    w[32 + k] = {d, 255, 0};
    w[64 + k] = {0, 255, u};
    w[96 + k] = {0, d, 255};
    w[128 + k] = {u, 0, 255};
    w[160 + k] = {255, 0, d};
  }
  for (std::size_t k = 0; k < 64; ++k) w[192 + k] = w[k];
  return w;
}

inline constexpr std::array<std::uint8_t, 64> kBreathRise{
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

// A rise and its mirror: values[from..64) then the same values backwards.
template <std::size_t From>
constexpr std::array<std::uint8_t, 2 * (64 - From)> Mirrored() {
  constexpr std::size_t n = 64 - From;
  std::array<std::uint8_t, 2 * n> t{};
  for (std::size_t i = 0; i < n; ++i) {
    t[i] = kBreathRise[From + i];
    t[2 * n - 1 - i] = kBreathRise[From + i];
  }
  return t;
}

}  // namespace detail

inline constexpr auto kKeyboardDelays = detail::MakeKeyboardDelays();
inline constexpr auto kMousepadDelays = detail::MakeMousepadDelays();

inline constexpr std::size_t kWheelCycle = 192;  // the wheel's own period; positions step within it
inline constexpr std::array<Rgb, 256> kWheel = detail::MakeWheel();

inline constexpr std::size_t kBreathLength = 128;
inline constexpr auto kBreath = detail::Mirrored<0>();  // C

inline constexpr std::size_t kWaveLength = 96;
inline constexpr auto kWave = detail::Mirrored<16>();  // V: from 22 up to 255 and back

static_assert(kBreath.size() == kBreathLength && kWave.size() == kWaveLength);

// The delay tables are read only through these. Callers pass values already checked by
// EffectRecord.h; the limits are applied here again so that no caller can read past a table.
constexpr std::chrono::milliseconds KeyboardDelay(std::size_t mode, std::size_t speed) {
  mode = mode < kKeyboardDelayModes ? mode : kKeyboardDelayModes - 1;
  speed = speed < kLevels ? speed : kLevels - 1;
  return std::chrono::milliseconds{kKeyboardDelays[mode * kLevels + speed]};
}
constexpr std::chrono::milliseconds MousepadDelay(std::size_t mode, std::size_t speed) {
  mode = mode < kMousepadDelayModes ? mode : kMousepadDelayModes - 1;
  speed = speed < kLevels ? speed : kLevels - 1;
  return std::chrono::milliseconds{kMousepadDelays[mode * kLevels + speed]};
}

// The wheel colour at position p taken in the wheel's cycle (p may run past 192 when offsets are
// added to it).
constexpr Rgb WheelAt(std::size_t p) {
  return kWheel[p % kWheelCycle];
}

}  // namespace korva::lighting::effects
