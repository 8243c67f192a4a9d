#pragma once
// HeadsetVoiceSettings: the headset's audio settings as the voice page shows them and the profile
// files keep them (member "VoiceInfo"), the fixed table of sound scenes, and the sends that put
// the settings into effect through AudioLibrary.
//
// The headset stores nothing itself: the host sends every value again whenever a profile is
// selected, so the record here is the one source of truth for what the headset should play.

#include <array>
#include <cstddef>

#include "headset/AudioLibrary.h"
#include "headset/AudioLibraryTypes.h"

namespace korva::headset {

inline constexpr std::size_t kSpeakerCount = 8;  // virtual speakers of the 7.1 surround
inline constexpr std::size_t kBandCount = 8;     // equaliser bands, 125 Hz .. 16 kHz
inline constexpr std::size_t kSceneCount = 6;    // sound scenes of the voice page

// Slider ranges of the voice page. Values read from a profile file are limited to them before use,
// so a hand-edited file can never send the chip a level the page could not have chosen.
struct SliderRange {
  int min;
  int max;
  int Clamp(int value) const { return value < min ? min : (value > max ? max : value); }
};
inline constexpr SliderRange kVolumeRange{0, 100};    // master, left, right, microphone (percent)
inline constexpr SliderRange kDistanceRange{0, 100};  // x 0.017: 0 .. 1.7 (metres)
inline constexpr SliderRange kAngleRange{0, 100};     // x 0.0628: 0 .. 2 pi (radians)
inline constexpr SliderRange kBandRange{0, 12};       // equaliser band level
inline constexpr SliderRange kSoundModeRange{0, kMaxSoundFieldMode};

// Factors from slider positions to the surround parameters.
inline constexpr double kDistanceFactor = 0.017;
inline constexpr double kAngleFactor = 0.0628;

// One sound scene as a profile file defines it (one entry of "eqinfo").
struct EqScene {
  int threeD = 0;                       // "3d": 3D effect on (0/1)
  int soundField = 0;                   // "soundfield": sound field on (0/1)
  int soundMode = 0;                    // "soundmode": the sound field's mode
  std::array<int, kBandCount> bands{};  // "125hz" .. "16khz"
  friend bool operator==(const EqScene&, const EqScene&) = default;
};

struct HeadsetVoiceSettings {
  int master = 0;           // "master"
  int right = 0;            // "right"
  int left = 0;             // "left"
  int mic = 0;              // "micvol"
  int scene = 0;            // "eqselect": index into `scenes`, 0..kSceneCount-1
  int virtualSurround = 0;  // "virtual": virtual 7.1 on (0/1)
  int speaker = 0;          // "distance" (sic): the selected virtual speaker, 0..kSpeakerCount-1
  int enc = 0;              // "enc" (0/1)
  std::array<int, kSpeakerCount> distances{};  // "disvalue"
  std::array<int, kSpeakerCount> angles{};     // "Anvalue"
  std::array<EqScene, kSceneCount> scenes{};   // "eqinfo"
  friend bool operator==(const HeadsetVoiceSettings&, const HeadsetVoiceSettings&) = default;
};

// What a scene button sends and shows. Selecting a scene on the page uses these fixed values, not
// the file's "eqinfo" entry of the same number: the buttons are the headset's presets, while a
// profile load replays the scene the file describes.
struct SceneButton {
  int soundMode;
  int soundField;
  int threeD;
  std::array<int, kBandCount> bands;
};
extern const std::array<SceneButton, kSceneCount> kSceneButtons;

// The surround parameters of all eight speakers (distance x 0.017, angle x 0.0628, computed in
// double precision and stored as single precision; the reserved word stays 0).
Virtual71Parameters ComputeVirtualParameters(const HeadsetVoiceSettings& settings);
float DistanceParameter(int distance);
float AngleParameter(int angle);

// Settings that a send could not put into effect (the backend answered kAudioFailed: it has no
// such control, as the ALSA backend for the chip's effects), one bit each.
enum UnappliedSetting : unsigned {
  kUnappliedNone = 0,
  kUnappliedVolume = 1u << 0,
  kUnappliedMic = 1u << 1,
  kUnappliedSurround = 1u << 2,
  kUnappliedSoundField = 1u << 3,
  kUnapplied3D = 1u << 4,
  kUnappliedEnc = 1u << 5,
};

// Sends every setting, in the order the headset expects: channel volumes, master, microphone,
// surround parameters and switch, sound field mode and switch, 3D configuration and switch, enc.
// The scene values come from settings.scenes[settings.scene]. Returns the UnappliedSetting bits.
unsigned SendVoiceInfo(const HeadsetVoiceSettings& settings, const Virtual71Parameters& parameters,
                       AudioLibrary& audio);

// Sends a scene button's effect values (configuration, sound field, 3D). Returns UnappliedSetting bits.
unsigned SendSceneButton(const SceneButton& button, AudioLibrary& audio);

// Sends the surround parameters and switch. Returns UnappliedSetting bits.
unsigned SendSurround(const Virtual71Parameters& parameters, int virtualSurround, AudioLibrary& audio);

}  // namespace korva::headset
