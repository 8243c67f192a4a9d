#include "lighting/effects/StreamPacking.h"

#include <algorithm>
#include <span>

namespace korva::lighting::effects {
namespace {

void PutLed(std::span<std::uint8_t> buffer, std::size_t led, const FrameEntry& e) {
  buffer[3 * led] = Scaled(e.red, e.brightness);
  buffer[3 * led + 1] = Scaled(e.green, e.brightness);
  buffer[3 * led + 2] = Scaled(e.blue, e.brightness);
}

template <std::size_t N>
std::array<std::uint8_t, N * 3> PackInOrder(const Frame<N>& frame) {
  std::array<std::uint8_t, N * 3> buffer{};
  for (std::size_t i = 0; i < N; ++i) PutLed(buffer, i, frame[i]);
  return buffer;
}

constexpr std::uint8_t HeadsetChannel(std::uint8_t channel, std::uint8_t brightness) {
  return std::min(Scaled(channel, brightness), kHeadsetChannelLimit);
}

}  // namespace

std::array<std::uint8_t, kKeyboardStreamSize> PackKeyboardStream(const KeyboardFrame& frame) {
  std::array<std::uint8_t, kKeyboardStreamSize> buffer{};
  for (std::size_t key = 0; key < kKeyboardEntries; ++key) {
    const std::uint8_t led = kKeyboardLedMap[key];
    if (led != kNotStreamed) PutLed(buffer, led, frame[key]);
  }
  return buffer;
}

std::array<std::uint8_t, kMouseStreamSize> PackMouseStream(const MouseFrame& frame) {
  return PackInOrder(frame);
}

std::array<std::uint8_t, kMousepadStreamSize> PackMousepadStream(const MousepadFrame& frame) {
  return PackInOrder(frame);
}

std::array<std::uint8_t, kHeadsetPairListSize> PackHeadsetPairList(const HeadsetFrame& frame) {
  constexpr std::array<std::uint8_t, 3> kFirstRegister{0x30, 0x40, 0x50};
  std::array<std::uint8_t, kHeadsetPairListSize> pairs{};
  std::size_t at = 0;
  for (std::size_t channel = 0; channel < 3; ++channel) {
    for (std::size_t i = 0; i < kHeadsetEntries; ++i) {
      const FrameEntry& e = frame[i];
      const std::uint8_t value = channel == 0 ? e.red : channel == 1 ? e.green : e.blue;
      pairs[at++] = static_cast<std::uint8_t>(kFirstRegister[channel] + i);
      pairs[at++] = HeadsetChannel(value, e.brightness);
    }
  }
  return pairs;
}

std::array<HeadsetRegisterByte, 3> PackHeadsetSingleColour(const HeadsetFrame& frame) {
  const FrameEntry& e = frame[0];
  return {{{0x20, HeadsetChannel(e.red, e.brightness)},
           {0x21, HeadsetChannel(e.green, e.brightness)},
           {0x22, HeadsetChannel(e.blue, e.brightness)}}};
}

}  // namespace korva::lighting::effects
