#pragma once
// A backend that sets volumes but has none of the chip's effects, as a plain USB sound card (the
// ALSA backend answers the same way).

#include "headset/AudioLibraryChip.h"

namespace korva::headset::testing {

class VolumesOnlyChip final : public AudioChip {
 public:
  int SearchPresentDevice(PresentDeviceList&) override { return kAudioOk; }
  int SetSpeakerMasterVolume(int) override { return kAudioOk; }
  int SetSpeakerChannelVolume(int, int) override { return kAudioOk; }
  int SetMicVolume(int) override { return kAudioOk; }
  int SetVirtual7ch1(const Virtual71Parameters&) override { return kAudioFailed; }
  int SetVirtual7ch1OnOff(bool) override { return kAudioFailed; }
  int SetSoundFieldOnOff(bool) override { return kAudioFailed; }
  int SetEncOnOff(bool) override { return kAudioFailed; }
  int SetSoundField(int) override { return kAudioFailed; }
  int Config3D(int) override { return kAudioFailed; }
  int Set3DOnOff(bool, int) override { return kAudioFailed; }
  int PwmSetConfig(int, int) override { return kAudioFailed; }
  int WriteI2c(int, int, std::span<const std::uint8_t>, int, int) override { return kAudioFailed; }
  int WriteI2cByMode(const I2cModeWrite&) override { return kAudioFailed; }
};

}  // namespace korva::headset::testing
