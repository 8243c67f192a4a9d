#pragma once
// The content of a headset profile file: a JSON object with the members "VoiceInfo" (the voice
// settings) and "LightInfo" (the headset's lighting record).
//
//   "VoiceInfo": { "master", "right", "left", "micvol", "eqselect", "virtual", "distance", "enc",
//                  "disvalue": [ {"value": n} x 8 ], "Anvalue": [ {"value": n} x 8 ],
//                  "eqinfo": [ {"3d", "soundfield", "soundmode", "125hz" .. "16khz"} x 6 ] }
//   "LightInfo": { "SelectItem", "Light", "Speed", "Direction", "MultiColor", "Red", "Green", "Blue" }
//
// Reading: a missing member or array entry reads as 0. A member that is there but cannot be read
// as an integer (a string, an object, a fraction, a number beyond int) is a format error, and so is
// an index out of its table ("eqselect", "distance", "SelectItem"); either refuses the whole
// profile, so nothing of it is applied. Levels are limited to their slider ranges.
//
// Writing sets every member of the record inside the parsed document and keeps every other
// member, so members this program does not know survive a save. A light mode outside the headset's
// modes is not written (the stored one stays), so a save never leaves a file the reader refuses.

#include <json/value.h>

#include <optional>

#include "common/Result.h"
#include "headset/HeadsetVoiceSettings.h"
#include "lighting/LightingSettings.h"

namespace korva::headset {

inline constexpr const char* kVoiceInfoKey = "VoiceInfo";
inline constexpr const char* kLightInfoKey = "LightInfo";

// Modes of the headset lighting: wave, colour cycle, breathing, static.
inline constexpr int kHeadsetLightModeCount = 4;

struct HeadsetProfile {
  std::optional<HeadsetVoiceSettings> voice;  // empty when the file has no "VoiceInfo"
  lighting::LightingSettings light{};
};

korva::Result<HeadsetVoiceSettings> ParseVoiceInfo(const Json::Value& voiceInfo);
korva::Result<lighting::LightingSettings> ParseLightInfo(const Json::Value& lightInfo);
// The whole document: a JSON object whose "VoiceInfo" and "LightInfo", where present, are objects
// that read without error.
korva::Result<HeadsetProfile> ParseHeadsetProfile(const Json::Value& document);

// Set the record's members inside `document` (a JSON object), keeping all others. False, with
// `document` unchanged, when it is not an object.
bool StoreVoiceInfo(Json::Value& document, const HeadsetVoiceSettings& settings);
bool StoreLightInfo(Json::Value& document, const lighting::LightingSettings& light);

}  // namespace korva::headset
