#include "headset/HeadsetVoiceSettings.h"

namespace korva::headset {
namespace {

// The 3D and configuration calls address the first device of the chip's device query: the
// headset the chip is built into.
constexpr int kHeadsetDeviceId = 0;
// The chip's PWM configuration that the scene presets run with.
constexpr int kScenePwmConfig = 1;

unsigned Unapplied(int result, UnappliedSetting bit) {
  return result == kAudioFailed ? bit : kUnappliedNone;
}

unsigned SendSoundField(int mode, int field, int threeD, AudioLibrary& audio) {
  unsigned unapplied = Unapplied(audio.SetSoundField(kSoundModeRange.Clamp(mode)), kUnappliedSoundField);
  unapplied |= Unapplied(audio.SetSoundField_OnOff(field != 0 ? 1 : 0), kUnappliedSoundField);
  unapplied |= Unapplied(audio.Config3D_ById(kHeadsetDeviceId), kUnapplied3D);
  unapplied |= Unapplied(audio.Set3D_OnOff_ById(threeD != 0 ? 1 : 0, kHeadsetDeviceId), kUnapplied3D);
  return unapplied;
}

}  // namespace

// mode, field, 3D, bands 125 Hz .. 16 kHz
const std::array<SceneButton, kSceneCount> kSceneButtons{{
    {0, 0, 0, {6, 6, 5, 5, 4, 3, 4, 4}},
    {1, 1, 0, {3, 4, 5, 6, 5, 5, 5, 4}},
    {2, 1, 0, {2, 3, 3, 2, 5, 4, 5, 2}},
    {3, 1, 0, {2, 3, 4, 5, 6, 7, 7, 7}},
    {1, 1, 0, {5, 0, 4, 3, 3, 3, 4, 5}},
    {0, 0, 1, {3, 3, 4, 3, 3, 3, 4, 3}},
}};

float DistanceParameter(int distance) {
  return static_cast<float>(distance * kDistanceFactor);
}
float AngleParameter(int angle) {
  return static_cast<float>(angle * kAngleFactor);
}

Virtual71Parameters ComputeVirtualParameters(const HeadsetVoiceSettings& settings) {
  Virtual71Parameters parameters{};
  for (std::size_t i = 0; i < kSpeakerCount; ++i) {
    parameters.distances[i] = DistanceParameter(settings.distances[i]);
    parameters.angles[i] = AngleParameter(settings.angles[i]);
  }
  return parameters;
}

unsigned SendSurround(const Virtual71Parameters& parameters, int virtualSurround, AudioLibrary& audio) {
  unsigned unapplied = Unapplied(audio.SetVirtual7ch1(parameters), kUnappliedSurround);
  unapplied |= Unapplied(audio.SetVirtual7ch1_OnOff(virtualSurround != 0 ? 1 : 0), kUnappliedSurround);
  return unapplied;
}

unsigned SendVoiceInfo(const HeadsetVoiceSettings& settings, const Virtual71Parameters& parameters,
                       AudioLibrary& audio) {
  unsigned unapplied =
      Unapplied(audio.SetSpeakerChannelVolume(settings.left, settings.right), kUnappliedVolume);
  unapplied |= Unapplied(audio.SetSpeakerMasterVolume(settings.master), kUnappliedVolume);
  unapplied |= Unapplied(audio.SetMicVolume(settings.mic), kUnappliedMic);
  unapplied |= SendSurround(parameters, settings.virtualSurround, audio);
  // The record is checked on load, but a scene index out of the table must never be followed.
  const bool validScene = settings.scene >= 0 && static_cast<std::size_t>(settings.scene) < kSceneCount;
  const EqScene scene = validScene ? settings.scenes[static_cast<std::size_t>(settings.scene)] : EqScene{};
  unapplied |= SendSoundField(scene.soundMode, scene.soundField, scene.threeD, audio);
  unapplied |= Unapplied(audio.SetEncOnOff(settings.enc != 0 ? 1 : 0), kUnappliedEnc);
  return unapplied;
}

unsigned SendSceneButton(const SceneButton& button, AudioLibrary& audio) {
  unsigned unapplied =
      Unapplied(audio.PWM_SetConfig_ById(kScenePwmConfig, kHeadsetDeviceId), kUnappliedSoundField);
  unapplied |= SendSoundField(button.soundMode, button.soundField, button.threeD, audio);
  return unapplied;
}

}  // namespace korva::headset
