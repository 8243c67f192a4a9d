#include "headset/alsa/AudioLibraryAlsa.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "common/Log.h"

namespace korva::headset {
namespace {

constexpr int kFullPercent = 100;
// Mixer element names of USB audio headsets, most specific first.
constexpr std::array<const char*, 4> kPlaybackElements = {"PCM", "Speaker", "Headphone", "Master"};
constexpr std::array<const char*, 3> kCaptureElements = {"Mic", "Headset", "Capture"};

std::optional<std::uint16_t> ParseHex16(std::string_view text) {
  if (text.size() != 4) return std::nullopt;
  std::uint16_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// One open mixer of a card, closed on every path.
class Mixer {
 public:
  explicit Mixer(int card) {
    const std::string name = "hw:" + std::to_string(card);
    if (snd_mixer_open(&mixer_, 0) < 0) {
      mixer_ = nullptr;
      return;
    }
    if (snd_mixer_attach(mixer_, name.c_str()) < 0 ||
        snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 || snd_mixer_load(mixer_) < 0) {
      snd_mixer_close(mixer_);
      mixer_ = nullptr;
    }
  }
  ~Mixer() {
    if (mixer_) snd_mixer_close(mixer_);
  }
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  explicit operator bool() const { return mixer_ != nullptr; }

  // The first element of `names` with a playback (or capture) volume.
  template <std::size_t N>
  snd_mixer_elem_t* Find(const std::array<const char*, N>& names, bool playback) const {
    for (const char* name : names) {
      snd_mixer_selem_id_t* id = nullptr;
      if (snd_mixer_selem_id_malloc(&id) < 0) return nullptr;
      snd_mixer_selem_id_set_name(id, name);
      snd_mixer_elem_t* element = snd_mixer_find_selem(mixer_, id);
      snd_mixer_selem_id_free(id);
      if (element && (playback ? snd_mixer_selem_has_playback_volume(element)
                               : snd_mixer_selem_has_capture_volume(element))) {
        return element;
      }
    }
    return nullptr;
  }

 private:
  snd_mixer_t* mixer_ = nullptr;
};

}  // namespace

std::optional<std::pair<std::uint16_t, std::uint16_t>> ParseUsbId(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto vendor = ParseHex16(text.substr(0, colon));
  const auto product = ParseHex16(text.substr(colon + 1));
  if (!vendor || !product) return std::nullopt;
  return std::pair{*vendor, *product};
}

std::vector<UsbAudioCard> ScanUsbAudioCards(const std::filesystem::path& procAsound) {
  std::vector<UsbAudioCard> cards;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(procAsound, error)) {
    const std::string name = entry.path().filename().string();
    constexpr std::string_view kPrefix = "card";
    if (!name.starts_with(kPrefix)) continue;
    int number = -1;
    const char* digits = name.data() + kPrefix.size();
    const auto [end, ec] = std::from_chars(digits, name.data() + name.size(), number);
    if (ec != std::errc{} || end != name.data() + name.size() || number < 0) continue;
    std::ifstream file(entry.path() / "usbid");
    std::string text;
    if (!file || !std::getline(file, text)) continue;  // not a USB card
    if (const auto ids = ParseUsbId(text)) cards.push_back({number, ids->first, ids->second});
  }
  std::ranges::sort(cards, {}, &UsbAudioCard::card);
  return cards;
}

long ScaleToRange(int percent, long min, long max) {
  if (max <= min) return min;
  const int p = std::clamp(percent, 0, kFullPercent);
  return min + std::lround(static_cast<double>(max - min) * p / kFullPercent);
}

std::pair<int, int> ChannelPercents(int master, int left, int right) {
  const auto limit = [](int v) { return std::clamp(v, 0, kFullPercent); };
  const int m = limit(master);
  return {m * limit(left) / kFullPercent, m * limit(right) / kFullPercent};
}

AlsaHeadsetChip::AlsaHeadsetChip(std::filesystem::path procAsound, std::filesystem::path deviceNodes)
    : procAsound_(std::move(procAsound)), cardWatch_(std::move(deviceNodes)) {}

std::vector<UsbAudioCard> AlsaHeadsetChip::HeadsetCards() {
  std::lock_guard lock(scanMutex_);
  if (cardWatch_.Changed()) {
    headsets_.clear();
    for (const UsbAudioCard& card : ScanUsbAudioCards(procAsound_)) {
      if (card.vendorId == kHeadsetVendorId && card.productId == kHeadsetProductId) headsets_.push_back(card);
    }
  }
  return headsets_;
}

std::optional<int> AlsaHeadsetChip::HeadsetCard() {
  const std::vector<UsbAudioCard> cards = HeadsetCards();
  if (cards.empty()) return std::nullopt;
  return cards.front().card;
}

// Lists only the headsets it serves, as the vendor's query does: another USB audio device
// first in the list would hide the headset from the watcher, which looks at entry 0 only.
int AlsaHeadsetChip::SearchPresentDevice(PresentDeviceList& list) {
  for (const UsbAudioCard& card : HeadsetCards()) {
    if (list.count == kMaxPresentDevices) break;
    list.vendorIds[list.count] = card.vendorId;
    list.productIds[list.count] = card.productId;
    ++list.count;
  }
  return kAudioOk;
}

// Called with mutex_ held.
int AlsaHeadsetChip::ApplyPlayback() {
  const std::optional<int> card = HeadsetCard();
  if (!card) return kAudioNoDevice;
  const Mixer mixer(*card);
  snd_mixer_elem_t* element = mixer ? mixer.Find(kPlaybackElements, true) : nullptr;
  if (!element) {
    Trace("alsa headset: no playback volume on card " + std::to_string(*card));
    return kAudioFailed;
  }
  long min = 0;
  long max = 0;
  snd_mixer_selem_get_playback_volume_range(element, &min, &max);
  const auto [left, right] = ChannelPercents(master_, left_, right_);
  int status = 0;
  if (snd_mixer_selem_is_playback_mono(element)) {
    status = snd_mixer_selem_set_playback_volume_all(element, ScaleToRange(std::max(left, right), min, max));
  } else {
    status =
        snd_mixer_selem_set_playback_volume(element, SND_MIXER_SCHN_FRONT_LEFT, ScaleToRange(left, min, max));
    if (status >= 0) {
      status = snd_mixer_selem_set_playback_volume(element, SND_MIXER_SCHN_FRONT_RIGHT,
                                                   ScaleToRange(right, min, max));
    }
  }
  return status < 0 ? kAudioFailed : kAudioOk;
}

int AlsaHeadsetChip::SetSpeakerMasterVolume(int master) {
  std::lock_guard lock(mutex_);
  master_ = master;
  return ApplyPlayback();
}

int AlsaHeadsetChip::SetSpeakerChannelVolume(int left, int right) {
  std::lock_guard lock(mutex_);
  left_ = left;
  right_ = right;
  return ApplyPlayback();
}

int AlsaHeadsetChip::SetMicVolume(int volume) {
  const std::optional<int> card = HeadsetCard();
  if (!card) return kAudioNoDevice;
  const Mixer mixer(*card);
  snd_mixer_elem_t* element = mixer ? mixer.Find(kCaptureElements, false) : nullptr;
  if (!element) return kAudioFailed;
  long min = 0;
  long max = 0;
  snd_mixer_selem_get_capture_volume_range(element, &min, &max);
  return snd_mixer_selem_set_capture_volume_all(element, ScaleToRange(volume, min, max)) < 0 ? kAudioFailed
                                                                                             : kAudioOk;
}

// The chip's effect engine and its I2C bus sit behind the vendor's USB requests, which ALSA
// does not carry.
int AlsaHeadsetChip::SetVirtual7ch1(const Virtual71Parameters&) {
  return kAudioFailed;
}
int AlsaHeadsetChip::SetVirtual7ch1OnOff(bool) {
  return kAudioFailed;
}
int AlsaHeadsetChip::SetSoundFieldOnOff(bool) {
  return kAudioFailed;
}
int AlsaHeadsetChip::SetEncOnOff(bool) {
  return kAudioFailed;
}
int AlsaHeadsetChip::SetSoundField(int) {
  return kAudioFailed;
}
int AlsaHeadsetChip::Config3D(int) {
  return kAudioFailed;
}
int AlsaHeadsetChip::Set3DOnOff(bool, int) {
  return kAudioFailed;
}
int AlsaHeadsetChip::PwmSetConfig(int, int) {
  return kAudioFailed;
}
int AlsaHeadsetChip::WriteI2c(int, int, std::span<const std::uint8_t>, int, int) {
  return kAudioFailed;
}
int AlsaHeadsetChip::WriteI2cByMode(const I2cModeWrite&) {
  return kAudioFailed;
}

}  // namespace korva::headset
