#pragma once
// An AudioChip backend for a real headset on Linux: the headset is the USB audio card whose
// USB id is 0c76:1630 (from /proc/asound/card<N>/usbid), and its volumes are set through that
// card's ALSA mixer. The chip's own effects (virtual 7.1, sound field, ENC, 3D, PWM) and its I2C
// bus are not reachable through ALSA: those operations answer kAudioFailed and change nothing.
//
// Volumes are taken as percentages (0..100, higher values count as 100) of the mixer element's
// range. The playback element gets master × left and master × right per channel.

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "headset/AudioLibraryChip.h"
#include "headset/alsa/SoundCardWatch.h"

namespace korva::headset {

struct UsbAudioCard {
  int card = -1;  // ALSA card number
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  bool operator==(const UsbAudioCard&) const = default;
};

// "0c76:1630" (as /proc/asound/card<N>/usbid holds it, line break allowed) -> ids.
std::optional<std::pair<std::uint16_t, std::uint16_t>> ParseUsbId(std::string_view text);
// The USB audio cards under `procAsound`, by card number.
std::vector<UsbAudioCard> ScanUsbAudioCards(const std::filesystem::path& procAsound);

// Percent (limited to 0..100) of the range min..max, rounded to the nearest step.
long ScaleToRange(int percent, long min, long max);
// The per-channel playback percentages for master, left and right volumes.
std::pair<int, int> ChannelPercents(int master, int left, int right);

class AlsaHeadsetChip final : public AudioChip {
 public:
  explicit AlsaHeadsetChip(std::filesystem::path procAsound = "/proc/asound",
                           std::filesystem::path deviceNodes = "/dev/snd");

  int SearchPresentDevice(PresentDeviceList& list) override;
  int PresenceSignal() const override { return cardWatch_.Fd(); }
  int SetSpeakerMasterVolume(int master) override;
  int SetSpeakerChannelVolume(int left, int right) override;
  int SetMicVolume(int volume) override;
  int SetVirtual7ch1(const Virtual71Parameters& parameters) override;
  int SetVirtual7ch1OnOff(bool on) override;
  int SetSoundFieldOnOff(bool on) override;
  int SetEncOnOff(bool on) override;
  int SetSoundField(int mode) override;
  int Config3D(int deviceId) override;
  int Set3DOnOff(bool on, int deviceId) override;
  int PwmSetConfig(int config, int deviceId) override;
  int WriteI2c(int address, int reg, std::span<const std::uint8_t> data, int timeoutMs,
               int deviceId) override;
  int WriteI2cByMode(const I2cModeWrite& write) override;

 private:
  std::optional<int> HeadsetCard();
  std::vector<UsbAudioCard> HeadsetCards();
  int ApplyPlayback();

  std::filesystem::path procAsound_;
  // The headset cards of the last scan, kept until a card comes or goes.
  std::mutex scanMutex_;
  SoundCardWatch cardWatch_;
  std::vector<UsbAudioCard> headsets_;
  std::mutex mutex_;  // guards the volumes, which two calls combine
  int master_ = 100;
  int left_ = 100;
  int right_ = 100;
};

}  // namespace korva::headset
