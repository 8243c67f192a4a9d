#pragma once
// The headset's lighting frame as its two LED controllers take it, over the I2C bus of its audio
// chip (controllers at 0x11 and 0x22):
//  - the wave, LED by LED: one list of 39 (register, value) pairs, 0x30 + i red, 0x40 + i green,
//    0x50 + i blue of LED i, sent to each controller with one list write;
//  - every other effect, one colour: LED 0's red, green and blue to the registers 0x20, 0x21, 0x22
//    of each controller, one byte per write.
// A channel is written scaled by its entry's brightness, (channel * brightness) >> 8, and never
// above 247.

#include <array>
#include <cstddef>
#include <cstdint>

#include "headset/AudioLibrary.h"
#include "lighting/effects/Frame.h"

namespace korva::headset {

inline constexpr std::array<int, 2> kLedControllers = {0x11, 0x22};
inline constexpr std::size_t kWaveListBytes = 2 * 3 * lighting::effects::kHeadsetEntries;  // 78
inline constexpr std::uint8_t kMaxLedChannel = 247;
inline constexpr int kColourRegister = 0x20;  // red; green and blue follow
// The wave's registers of LED i: red, green and blue at these plus i.
inline constexpr std::uint8_t kWaveRedRegister = 0x30;
inline constexpr std::uint8_t kWaveGreenRegister = 0x40;
inline constexpr std::uint8_t kWaveBlueRegister = 0x50;

std::uint8_t ScaledChannel(std::uint8_t channel, std::uint8_t brightness);
// The list write's (register, value) pairs of a frame.
std::array<std::uint8_t, kWaveListBytes> WaveRegisterList(const lighting::effects::HeadsetFrame& frame);
// LED 0's scaled red, green and blue.
std::array<std::uint8_t, 3> SingleColour(const lighting::effects::HeadsetFrame& frame);

// Writes a frame to both controllers: the list (wave) or the three colour registers. Stops at the
// first write the library does not take (the headset went, or the chip refused), so an absent
// headset costs one call per frame at most; returns that write's result, kAudioOk when all went.
int WriteHeadsetFrame(AudioLibrary& audio, const lighting::effects::HeadsetFrame& frame, bool wave);

}  // namespace korva::headset
