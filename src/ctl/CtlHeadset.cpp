#include "ctl/CtlHeadset.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "ctl/CtlRunner.h"
#include "headset/HeadsetProfiles.h"
#include "headset/HeadsetVoice.h"

namespace korva::ctl {
namespace {

using headset::HeadsetProfiles;
using headset::HeadsetVoiceSettings;
using session::DeviceSession;

// The voice page's English names: its scene buttons, band labels and speaker options.
constexpr std::array<std::string_view, headset::kSceneCount> kSceneNames = {"Default", "Game",  "Movie",
                                                                            "Music",   "Voice", "Custom"};
constexpr std::array<std::string_view, headset::kBandCount> kBandNames = {"125", "250", "500", "1k",
                                                                          "2k",  "4k",  "8k",  "16k"};
constexpr std::array<std::string_view, headset::kSpeakerCount> kSpeakerNames = {"FL", "FR", "C",  "SW",
                                                                                "SL", "SR", "BL", "BR"};

// The settings the headset did not take, as the page's notice lists them (JSON name, text).
struct UnappliedName {
  headset::UnappliedSetting bit;
  const char* json;
  const char* text;
};
constexpr UnappliedName kUnappliedNames[] = {
    {headset::kUnappliedVolume, "volume", "speaker volumes"},
    {headset::kUnappliedMic, "microphone", "microphone volume"},
    {headset::kUnappliedSurround, "virtual71", "virtual 7.1 and speakers"},
    {headset::kUnappliedSoundField, "soundField", "sound scene (sound field)"},
    {headset::kUnapplied3D, "3d", "3D effect"},
    {headset::kUnappliedEnc, "enc", "ENC noise reduction"},
};

std::string_view OnOff(int value) {
  return value != 0 ? "on" : "off";
}

template <std::size_t N>
std::string Named(const std::array<std::string_view, N>& names, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < N
             ? std::string(names[static_cast<std::size_t>(index)])
             : std::to_string(index);
}

void ShowUnapplied(unsigned unapplied, Json::Value& json, std::ostringstream& text) {
  Json::Value names(Json::arrayValue);
  std::string line;
  for (const UnappliedName& name : kUnappliedNames) {
    if ((unapplied & name.bit) == 0) continue;
    names.append(name.json);
    line += (line.empty() ? "" : ", ") + std::string(name.text);
  }
  json["notApplied"] = names;
  if (!line.empty()) text << "kept in the profile, not applied by this headset: " << line << '\n';
}

void ShowVoice(const HeadsetVoiceSettings& voice, Json::Value& json, std::ostringstream& text) {
  json["master"] = voice.master;
  json["left"] = voice.left;
  json["right"] = voice.right;
  json["microphone"] = voice.mic;
  text << "volume: master " << voice.master << ", left " << voice.left << ", right " << voice.right
       << ", microphone " << voice.mic << '\n';

  // The scene's values as a selection of the profile sends them.
  const auto sceneIndex =
      static_cast<std::size_t>(std::clamp(voice.scene, 0, static_cast<int>(headset::kSceneCount) - 1));
  const headset::EqScene& scene = voice.scenes[sceneIndex];
  Json::Value equaliser(Json::objectValue);
  equaliser["scene"] = Named(kSceneNames, voice.scene);
  Json::Value bands(Json::objectValue);
  text << "equaliser: " << Named(kSceneNames, voice.scene) << ';';
  for (std::size_t i = 0; i < headset::kBandCount; ++i) {
    bands[std::string(kBandNames[i])] = scene.bands[i];
    text << ' ' << kBandNames[i] << ' ' << scene.bands[i] << (i + 1 < headset::kBandCount ? "," : "\n");
  }
  equaliser["bands"] = bands;
  equaliser["soundField"] = scene.soundField != 0;
  equaliser["soundMode"] = scene.soundMode;
  equaliser["3d"] = scene.threeD != 0;
  json["equaliser"] = equaliser;
  text << "sound field: " << OnOff(scene.soundField) << ", mode " << scene.soundMode
       << "; 3D: " << OnOff(scene.threeD) << '\n';

  json["virtual71"] = voice.virtualSurround != 0;
  json["speaker"] = Named(kSpeakerNames, voice.speaker);
  Json::Value speakers(Json::arrayValue);
  text << "virtual 7.1: " << OnOff(voice.virtualSurround) << "; speaker "
       << Named(kSpeakerNames, voice.speaker) << "; distance/angle:";
  for (std::size_t i = 0; i < headset::kSpeakerCount; ++i) {
    Json::Value speaker(Json::objectValue);
    speaker["name"] = std::string(kSpeakerNames[i]);
    speaker["distance"] = voice.distances[i];
    speaker["angle"] = voice.angles[i];
    speakers.append(speaker);
    text << ' ' << kSpeakerNames[i] << ' ' << voice.distances[i] << '/' << voice.angles[i]
         << (i + 1 < headset::kSpeakerCount ? "," : "\n");
  }
  json["speakers"] = speakers;
  json["enc"] = voice.enc != 0;
  text << "ENC noise reduction: " << OnOff(voice.enc) << '\n';
}

HeadsetProfiles Library(DeviceSession& session) {
  return HeadsetProfiles(session.Folders(), session.DefaultsFolder());
}

std::string ProfileName(const std::vector<std::string>& names, int index) {
  return index >= 0 && index < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(index)]
                                                              : std::string();
}

CtlResult LibraryFailure(const profile::StoreResult& result, std::string_view what) {
  return CtlResult::Failure(kExitDevice, std::string(what) + ": " + result.error.ToString());
}

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

CtlResult Listed(const HeadsetProfiles& profiles) {
  return ListedProfiles(profiles.Names(), profiles.SelectedIndex());
}

// A new profile `name` holding `file`. The library's new profile starts from the default file and
// becomes the selection: on any failure it goes again, and the selection is given back either way.
CtlResult Import(HeadsetProfiles& profiles, const CtlCommand& command, const CtlHooks& hooks) {
  const std::vector<std::string> names = profiles.Names();
  if (CtlResult refused = CheckNewProfileName(names, command.profileName); refused.exitCode != kExitOk)
    return refused;
  const int selected = profiles.SelectedIndex();
  const profile::IndexResult added = profiles.Add();
  if (!added.result) return LibraryFailure(added.result, "the new profile");
  profile::StoreResult result = profiles.Rename(added.index, command.profileName);
  std::string what = "the new profile's name";
  if (result) {
    result = profiles.Import(added.index, command.file);
    what = "import of " + command.file.string();
  }
  if (!result) (void)profiles.Delete(added.index);
  // The selection was written by the library's add: the profile in effect stays the selected one.
  const profile::StoreResult reselected = profiles.SetSelectedIndex(selected);
  if (hooks.headsetProfilesChanged) hooks.headsetProfilesChanged();
  if (!result) return LibraryFailure(result, what);
  if (!reselected) return LibraryFailure(reselected, "the selection");
  return Listed(profiles);
}

CtlResult Select(DeviceSession& session, HeadsetProfiles& profiles, int index, const CtlHooks& hooks) {
  // Only a profile that loads: the voice page would keep and send its current values instead.
  const headset::HeadsetProfileResult loaded = profiles.Load(index);
  if (!loaded.result)
    return LibraryFailure(loaded.result, "selecting '" + ProfileName(profiles.Names(), index) + "'");
  if (!Present(session, DeviceKind::kHeadset)) {
    if (const profile::StoreResult stored = profiles.SetSelectedIndex(index); !stored)
      return LibraryFailure(stored, "the selection");
    if (hooks.headsetProfilesChanged) hooks.headsetProfilesChanged();
    return Listed(profiles);
  }
  unsigned unapplied = headset::kUnappliedNone;
  if (hooks.selectHeadsetProfile) {
    hooks.selectHeadsetProfile(index);
    if (const headset::HeadsetVoice* voice = hooks.headsetVoice ? hooks.headsetVoice() : nullptr)
      unapplied = voice->Unapplied();
  } else {
    headset::HeadsetVoice voice(session.Audio(), profiles);
    // A profile without voice settings keeps the ones the headset has, as on the voice page: those
    // of the profile selected until now (the headset keeps nothing itself, so they are sent again).
    if (!loaded.profile.voice) (void)voice.SelectProfile(profiles.SelectedIndex());
    if (const profile::StoreResult selected = voice.SelectProfile(index); !selected)
      return LibraryFailure(selected, "selecting '" + ProfileName(profiles.Names(), index) + "'");
    session.Controller(DeviceKind::kHeadset).SetLighting(voice.Light());
    session.PublishLighting();
    unapplied = voice.Unapplied();
  }
  CtlResult result = Listed(profiles);
  std::ostringstream text(result.text, std::ios::ate);
  ShowUnapplied(unapplied, result.json, text);
  result.text = text.str();
  return result;
}

}  // namespace

void ShowHeadsetVoice(DeviceSession& session, const CtlHooks& hooks, Json::Value& json,
                      std::ostringstream& text) {
  HeadsetProfiles profiles = Library(session);
  const std::vector<std::string> names = profiles.Names();
  const headset::HeadsetVoice* held = hooks.headsetVoice ? hooks.headsetVoice() : nullptr;
  if (held && held->Selected() < 0) held = nullptr;
  const int index = held ? held->Selected() : profiles.SelectedIndex();
  const std::string name = ProfileName(names, index);
  json["profile"] = name.empty() ? Json::Value() : Json::Value(name);
  text << "profile: " << (name.empty() ? "none" : name) << '\n';

  std::optional<HeadsetVoiceSettings> settings;
  std::string missing;
  if (held) {
    settings = held->Settings();
  } else if (headset::HeadsetProfileResult loaded = profiles.Load(index); !loaded.result) {
    missing = ErrorLine(loaded.result.error.ToString());
  } else if (!loaded.profile.voice) {
    missing = "the profile holds none";
  } else {
    settings = loaded.profile.voice;
  }
  if (!settings) {
    json["voice"] = Json::Value();
    text << "voice: unknown (" << missing << ")\n";
    return;
  }
  Json::Value voice(Json::objectValue);
  ShowVoice(*settings, voice, text);
  // Only the program knows what the headset refused: it sent the settings.
  if (held) ShowUnapplied(held->Unapplied(), voice, text);
  json["voice"] = voice;
}

CtlResult HeadsetProfilesCommand(DeviceSession& session, const CtlCommand& command, const CtlHooks& hooks) {
  if (command.store != StoreChoice::kLight)
    return CtlResult::Failure(kExitUsage,
                              "the headset has no key profiles (its profiles keep voice and lighting)");
  HeadsetProfiles profiles = Library(session);
  // The first use makes "profile1" from the default file, as the voice page's start does.
  if (const profile::ListResult listed = profiles.Initialise(); !listed.result)
    return LibraryFailure(listed.result, "the headset's profiles");
  if (command.action == ProfileAction::kList) return Listed(profiles);
  if (command.action == ProfileAction::kImport) return Import(profiles, command, hooks);
  const int index = IndexOf(profiles.Names(), command.profileName);
  if (index < 0) return CtlResult::Failure(kExitUsage, "no profile named '" + command.profileName + "'");
  if (command.action == ProfileAction::kExport) {
    if (const profile::StoreResult exported = profiles.Export(index, command.file); !exported)
      return LibraryFailure(exported, "export to " + command.file.string());
    return Listed(profiles);
  }
  return Select(session, profiles, index, hooks);
}

}  // namespace korva::ctl
