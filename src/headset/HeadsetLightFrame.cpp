#include "headset/HeadsetLightFrame.h"

#include <algorithm>

namespace korva::headset {
namespace {

namespace fx = lighting::effects;

// The list write's arguments as the controllers take them: list mode 0xAA, parameter 0,
// two-byte entries, no flags; every write waits at most 1000 ms; the headset is device 0.
constexpr int kListMode = 0xAA;
constexpr int kListParameter = 0;
constexpr int kListEntrySize = 2;
constexpr int kListFlags = 0;
constexpr int kTimeoutMs = 1000;
constexpr int kDeviceId = 0;

}  // namespace

std::uint8_t ScaledChannel(std::uint8_t channel, std::uint8_t brightness) {
  return static_cast<std::uint8_t>(std::min<unsigned>((unsigned{channel} * brightness) >> 8, kMaxLedChannel));
}

std::array<std::uint8_t, kWaveListBytes> WaveRegisterList(const fx::HeadsetFrame& frame) {
  std::array<std::uint8_t, kWaveListBytes> list{};
  std::size_t at = 0;
  const auto put = [&](std::uint8_t base, std::uint8_t fx::FrameEntry::*channel) {
    for (std::size_t i = 0; i < frame.size(); ++i) {
      list[at++] = static_cast<std::uint8_t>(base + i);
      list[at++] = ScaledChannel(frame[i].*channel, frame[i].brightness);
    }
  };
  put(kWaveRedRegister, &fx::FrameEntry::red);
  put(kWaveGreenRegister, &fx::FrameEntry::green);
  put(kWaveBlueRegister, &fx::FrameEntry::blue);
  return list;
}

std::array<std::uint8_t, 3> SingleColour(const fx::HeadsetFrame& frame) {
  const fx::FrameEntry& led = frame[0];
  return {ScaledChannel(led.red, led.brightness), ScaledChannel(led.green, led.brightness),
          ScaledChannel(led.blue, led.brightness)};
}

int WriteHeadsetFrame(AudioLibrary& audio, const fx::HeadsetFrame& frame, bool wave) {
  if (wave) {
    const std::array<std::uint8_t, kWaveListBytes> list = WaveRegisterList(frame);
    for (int address : kLedControllers) {
      const int result = audio.WriteI2C_ByMode_ById(address, kListMode, kListParameter, kListEntrySize, list,
                                                    static_cast<int>(list.size()), kTimeoutMs, kListFlags, kDeviceId);
      if (result != kAudioOk) return result;
    }
    return kAudioOk;
  }
  const std::array<std::uint8_t, 3> colour = SingleColour(frame);
  for (int address : kLedControllers) {
    for (std::size_t c = 0; c < colour.size(); ++c) {
      const int result = audio.Write_I2C_ById(address, kColourRegister + static_cast<int>(c),
                                              std::span<const std::uint8_t>(&colour[c], 1), 1, kTimeoutMs, kDeviceId);
      if (result != kAudioOk) return result;
    }
  }
  return kAudioOk;
}

}  // namespace korva::headset
