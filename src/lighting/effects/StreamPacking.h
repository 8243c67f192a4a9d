#pragma once
// A rendered frame as the device receives it. The keyboard, the mouse and the mousepad take
// 3 bytes per LED, each channel already dimmed by the entry's brightness, at 3 x the LED's
// stream position (the keyboard through its LED map, keys without an LED left out). The headset's
// two LED controllers take register/value pairs: the full 13-LED list in the wave, and only LED
// 0's colour in its three colour registers otherwise.

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/effects/Frame.h"
#include "lighting/effects/KeyboardLayout.h"

namespace korva::lighting::effects {

inline constexpr std::size_t kKeyboardStreamSize = kStreamLeds * 3;       // 378
inline constexpr std::size_t kMouseStreamSize = kMouseEntries * 3;        // 60
inline constexpr std::size_t kMousepadStreamSize = kMousepadEntries * 3;  // 45

std::array<std::uint8_t, kKeyboardStreamSize> PackKeyboardStream(const KeyboardFrame& frame);
std::array<std::uint8_t, kMouseStreamSize> PackMouseStream(const MouseFrame& frame);
std::array<std::uint8_t, kMousepadStreamSize> PackMousepadStream(const MousepadFrame& frame);

// The headset's LED controllers on its audio chip's I2C bus; every write goes to both, in this order.
inline constexpr std::array<std::uint8_t, 2> kHeadsetLedControllers{0x11, 0x22};
// The controllers take no channel above this value.
inline constexpr std::uint8_t kHeadsetChannelLimit = 247;

// The wave's list: (0x30 + i, red i) for the 13 LEDs, then (0x40 + i, green i), then (0x50 + i, blue i).
inline constexpr std::size_t kHeadsetPairListSize = kHeadsetEntries * 3 * 2;  // 78
std::array<std::uint8_t, kHeadsetPairListSize> PackHeadsetPairList(const HeadsetFrame& frame);

// The other modes light every LED alike: LED 0's red, green and blue to the registers 0x20..0x22.
struct HeadsetRegisterByte {
  std::uint8_t reg;
  std::uint8_t value;
  friend bool operator==(const HeadsetRegisterByte&, const HeadsetRegisterByte&) = default;
};
std::array<HeadsetRegisterByte, 3> PackHeadsetSingleColour(const HeadsetFrame& frame);

}  // namespace korva::lighting::effects
