#pragma once
// Colours and lighting frames. A frame holds one 4-byte entry per LED (red, green, blue,
// brightness); the brightness byte is applied only when the frame is written (stream buffers,
// preview alpha), so a renderer can keep a full colour and a separate dimming value.

#include <array>
#include <cstddef>
#include <cstdint>

namespace korva::lighting::effects {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct FrameEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t brightness = 0;

  constexpr Rgb colour() const { return {red, green, blue}; }
  friend bool operator==(const FrameEntry&, const FrameEntry&) = default;
};

constexpr FrameEntry MakeEntry(Rgb colour, std::uint8_t brightness) {
  return {colour.red, colour.green, colour.blue, brightness};
}

inline constexpr std::size_t kKeyboardEntries = 126;
inline constexpr std::size_t kMouseEntries = 20;
inline constexpr std::size_t kMousepadEntries = 15;
inline constexpr std::size_t kHeadsetEntries = 13;

template <std::size_t N>
using Frame = std::array<FrameEntry, N>;
using KeyboardFrame = Frame<kKeyboardEntries>;
using MouseFrame = Frame<kMouseEntries>;
using MousepadFrame = Frame<kMousepadEntries>;
using HeadsetFrame = Frame<kHeadsetEntries>;

// x scaled by y: (x * y) >> 8, so 255 scaled by 255 is 254.
constexpr std::uint8_t Scaled(std::uint8_t x, std::uint8_t y) {
  return static_cast<std::uint8_t>((x * y) >> 8);
}
// x scaled+1 by y: (x * (y + 1)) >> 8, so scaling by 255 keeps x whole.
constexpr std::uint8_t ScaledPlus1(std::uint8_t x, std::uint8_t y) {
  return static_cast<std::uint8_t>((x * (y + 1)) >> 8);
}
constexpr Rgb ScaledPlus1(Rgb c, std::uint8_t y) {
  return {ScaledPlus1(c.red, y), ScaledPlus1(c.green, y), ScaledPlus1(c.blue, y)};
}

// The preview key's tint word: (green << 16) | (blue << 8) | red, the order the key's painter reads.
constexpr std::uint32_t PreviewTint(const FrameEntry& e) {
  return (static_cast<std::uint32_t>(e.green) << 16) | (static_cast<std::uint32_t>(e.blue) << 8) | e.red;
}

}  // namespace korva::lighting::effects
