#pragma once
// LightingSettings: the 8-byte lighting record every device of the family uses, and the record
// of the synchronised lighting. The bytes are the same wherever the record is kept (bytes 1..8 of
// the keyboard's and the mouse's active settings, the mousepad record, the headset profile):
//
//   byte 0  mode          effect number; the list of modes is the device's own
//   byte 1  brightness    level 0..14 (index of the brightness table)
//   byte 2  speed         0..14 (index of the frame delay tables)
//   byte 3  direction     1 left, 0 right
//   byte 4  multicolour   1 cycle through the colour wheel, 0 single colour
//   byte 5  red           0..255
//   byte 6  green         0..255
//   byte 7  blue          0..255

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korva::lighting {

struct LightingSettings {
  static constexpr std::size_t kSize = 8;
  static constexpr std::uint8_t kMaxBrightness = 14;
  static constexpr std::uint8_t kMaxSpeed = 14;

  std::uint8_t mode = 0;
  std::uint8_t brightness = 0;
  std::uint8_t speed = 0;
  std::uint8_t direction = 0;
  std::uint8_t multicolour = 0;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  // The record from its 8 stored bytes, in the order above.
  static LightingSettings FromBytes(std::span<const std::uint8_t, kSize> bytes) {
    return {bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7]};
  }
  std::array<std::uint8_t, kSize> ToBytes() const {
    return {mode, brightness, speed, direction, multicolour, red, green, blue};
  }
  // Writes the 8 bytes into a record kept inside a larger image (for example bytes 1..8 of the
  // mouse's active settings).
  void CopyTo(std::span<std::uint8_t, kSize> bytes) const {
    const auto b = ToBytes();
    for (std::size_t i = 0; i < kSize; ++i) bytes[i] = b[i];
  }

  friend bool operator==(const LightingSettings&, const LightingSettings&) = default;
};

static_assert(sizeof(LightingSettings) == LightingSettings::kSize, "the record is stored byte for byte");

}  // namespace korva::lighting
