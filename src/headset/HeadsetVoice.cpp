#include "headset/HeadsetVoice.h"

namespace korva::headset {
namespace {

bool IsSpeaker(int n) {
  return n >= 0 && static_cast<std::size_t>(n) < kSpeakerCount;
}

}  // namespace

HeadsetVoice::HeadsetVoice(AudioLibrary& audio, HeadsetProfiles& profiles)
    : audio_(audio), profiles_(profiles) {}

profile::StoreResult HeadsetVoice::SelectProfile(int index) {
  selected_ = index;
  HeadsetProfileResult loaded = profiles_.Load(index);
  if (loaded.result) {
    light_ = loaded.profile.light;
    if (loaded.profile.voice) settings_ = *loaded.profile.voice;
  }
  ApplyVoiceInfo();
  if (profile::StoreResult stored = profiles_.SetSelectedIndex(index); !stored && loaded.result)
    return stored;
  return loaded.result;
}

void HeadsetVoice::ApplyVoiceInfo() {
  parameters_ = ComputeVirtualParameters(settings_);
  Send(SendVoiceInfo(settings_, parameters_, audio_));
}

void HeadsetVoice::SetMaster(int master) {
  settings_.master = kVolumeRange.Clamp(master);
  Send(audio_.SetSpeakerMasterVolume(settings_.master) == kAudioFailed ? kUnappliedVolume : kUnappliedNone);
  SaveVoice();
}

void HeadsetVoice::SetChannels(int left, int right) {
  settings_.left = kVolumeRange.Clamp(left);
  settings_.right = kVolumeRange.Clamp(right);
  Send(audio_.SetSpeakerChannelVolume(settings_.left, settings_.right) == kAudioFailed ? kUnappliedVolume
                                                                                       : kUnappliedNone);
  SaveVoice();
}

void HeadsetVoice::SetMic(int mic) {
  settings_.mic = kVolumeRange.Clamp(mic);
  Send(audio_.SetMicVolume(settings_.mic) == kAudioFailed ? kUnappliedMic : kUnappliedNone);
  SaveVoice();
}

void HeadsetVoice::SelectSpeaker(int speaker) {
  if (!IsSpeaker(speaker)) return;
  settings_.speaker = speaker;
  SaveVoice();
}

void HeadsetVoice::MoveSpeaker(SpeakerSlider moved, int distance, int angle) {
  if (!IsSpeaker(settings_.speaker)) return;
  distance = kDistanceRange.Clamp(distance);
  angle = kAngleRange.Clamp(angle);
  const auto speaker = static_cast<std::size_t>(settings_.speaker);
  parameters_.distances[speaker] = DistanceParameter(distance);
  parameters_.angles[speaker] = AngleParameter(angle);
  if (moved == SpeakerSlider::kDistance) {
    settings_.distances[speaker] = distance;
  } else {
    settings_.angles[speaker] = angle;
  }
  Send(SendSurround(parameters_, settings_.virtualSurround, audio_));
  SaveVoice();
}

void HeadsetVoice::SetVirtual(bool on) {
  settings_.virtualSurround = on ? 1 : 0;
  Send(SendSurround(parameters_, settings_.virtualSurround, audio_));
}

const SceneButton* HeadsetVoice::SelectScene(int scene) {
  if (scene < 0 || static_cast<std::size_t>(scene) >= kSceneCount) return nullptr;
  const SceneButton& button = kSceneButtons[static_cast<std::size_t>(scene)];
  settings_.scene = scene;
  Send(SendSceneButton(button, audio_));
  SaveVoice();
  return &button;
}

profile::StoreResult HeadsetVoice::RestoreAll() {
  HeadsetProfileResult defaults = profiles_.ReadDefault();
  if (!defaults.result) return defaults.result;
  light_ = defaults.profile.light;
  if (defaults.profile.voice) settings_ = *defaults.profile.voice;
  SaveLight();
  SaveVoice();
  ApplyVoiceInfo();
  return {};
}

profile::StoreResult HeadsetVoice::RecoverVoice() {
  HeadsetProfileResult defaults = profiles_.ReadDefault();
  if (!defaults.result) return defaults.result;
  if (defaults.profile.voice) settings_ = *defaults.profile.voice;
  SaveVoice();
  ApplyVoiceInfo();
  return {};
}

void HeadsetVoice::SetLight(const lighting::LightingSettings& light) {
  light_ = light;
  SaveLight();
}

// Saves go to the selected profile; a failed save is only traced (by the library), as the
// headset has already taken the value.
void HeadsetVoice::SaveVoice() {
  if (selected_ >= 0) (void)profiles_.SaveVoiceInfo(selected_, settings_);
}

void HeadsetVoice::SaveLight() {
  if (selected_ >= 0) (void)profiles_.SaveLightInfo(selected_, light_);
}

}  // namespace korva::headset
