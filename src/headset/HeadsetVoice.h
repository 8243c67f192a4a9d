#pragma once
// HeadsetVoice: the headset's voice settings and lighting record as the selected profile holds
// them, and every operation of the voice page without its controls. Each change is sent to the
// headset at once through AudioLibrary and written back into the selected profile's file; the
// page only shows what this object holds.
//
// Runs on the UI thread. The lighting record is read by the lighting threads through the
// session, which takes it from Light() after a change.

#include <filesystem>
#include <string_view>

#include "headset/AudioLibrary.h"
#include "headset/HeadsetProfiles.h"
#include "headset/HeadsetVoiceSettings.h"
#include "lighting/LightingSettings.h"

namespace korva::headset {

// Which speaker slider moved.
enum class SpeakerSlider { kDistance, kAngle };

class HeadsetVoice {
 public:
  HeadsetVoice(AudioLibrary& audio, HeadsetProfiles& profiles);

  const HeadsetVoiceSettings& Settings() const { return settings_; }
  const lighting::LightingSettings& Light() const { return light_; }
  const Virtual71Parameters& Parameters() const { return parameters_; }
  // The profile the changes are saved to (the combo's selection); -1 before the first selection.
  int Selected() const { return selected_; }
  // UnappliedSetting bits of every send since construction that the headset did not take.
  unsigned Unapplied() const { return unapplied_; }

  // Loads profile `index` (when its file reads; otherwise the current values stay), sends the voice
  // settings and stores the selection in the index. The result says why the file was not loaded.
  profile::StoreResult SelectProfile(int index);
  // Sends every voice setting as held now.
  void ApplyVoiceInfo();

  // Slider moves: the value (limited to the slider's range) is sent and saved.
  void SetMaster(int master);
  void SetChannels(int left, int right);
  void SetMic(int mic);
  // Virtual speaker `speaker` (0..7) selected: the sliders show its distance and angle; saved, not sent.
  void SelectSpeaker(int speaker);
  // A speaker slider moved: both sliders' positions make the selected speaker's parameters, and the
  // moved one is stored in its array. Sent and saved.
  void MoveSpeaker(SpeakerSlider moved, int distance, int angle);
  // Virtual 7.1 switched: sent; saved with the next voice save.
  void SetVirtual(bool on);
  // Scene button `scene` (0..5) selected: its preset is sent and its bands returned for display
  // (the profile's "eqinfo" is not changed). Out of range: nothing happens, empty result.
  const SceneButton* SelectScene(int scene);

  // Both restore buttons: the shipped default's lighting and voice (RestoreAll) or voice only
  // (RecoverVoice) become the current values, are saved and sent.
  profile::StoreResult RestoreAll();
  profile::StoreResult RecoverVoice();

  // The lighting record changed on the lighting page: saved into the selected profile.
  void SetLight(const lighting::LightingSettings& light);

 private:
  void SaveVoice();
  void SaveLight();
  void Send(unsigned unapplied) { unapplied_ |= unapplied; }

  AudioLibrary& audio_;
  HeadsetProfiles& profiles_;
  HeadsetVoiceSettings settings_{};
  lighting::LightingSettings light_{};
  Virtual71Parameters parameters_{};
  int selected_ = -1;
  unsigned unapplied_ = kUnappliedNone;
};

}  // namespace korva::headset
