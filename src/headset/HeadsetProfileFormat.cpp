#include "headset/HeadsetProfileFormat.h"

#include <cstdint>
#include <string>

namespace korva::headset {
namespace {

// How a value outside its range is taken: a level is limited to its slider, an index or a switch
// that is out of range makes the profile unreadable.
enum class OutOfRange { kClamp, kRefuse };

struct IntRule {
  const char* key;
  SliderRange range;
  OutOfRange outOfRange;
};

constexpr SliderRange kSwitchRange{0, 1};

korva::Error FormatError(const std::string& where, const std::string& what) {
  return korva::Error::Plain("\"" + where + "\" " + what);
}

// The object's member `key` as an integer: a missing member or null reads 0, a boolean 0 or 1.
korva::Result<int> ReadInt(const Json::Value& object, const IntRule& rule, const std::string& path) {
  const std::string where = path + rule.key;
  const Json::Value* member = object.find(rule.key, rule.key + std::char_traits<char>::length(rule.key));
  int value = 0;
  if (member == nullptr || member->isNull()) {
    value = 0;
  } else if (member->isBool()) {
    value = member->asBool() ? 1 : 0;
  } else if (member->isInt()) {
    value = member->asInt();
  } else {
    return FormatError(where, "is not an integer");
  }
  if (value >= rule.range.min && value <= rule.range.max) return value;
  if (rule.outOfRange == OutOfRange::kClamp) return rule.range.Clamp(value);
  return FormatError(where, "is " + std::to_string(value) + ", outside " + std::to_string(rule.range.min) +
                                ".." + std::to_string(rule.range.max));
}

// A switch read as a boolean: any non-zero integer is on.
korva::Result<int> ReadSwitch(const Json::Value& object, const char* key, const std::string& path) {
  auto value = ReadInt(object, {key, {INT32_MIN, INT32_MAX}, OutOfRange::kClamp}, path);
  if (!value) return value;
  return value.value() != 0 ? 1 : 0;
}

// `value` must be an object (or absent, read as an empty object).
korva::Result<const Json::Value*> ObjectMember(const Json::Value& parent, const char* key,
                                               const std::string& path) {
  static const Json::Value kEmptyObject(Json::objectValue);
  const Json::Value* member = parent.find(key, key + std::char_traits<char>::length(key));
  if (member == nullptr || member->isNull()) return &kEmptyObject;
  if (!member->isObject()) return FormatError(path + key, "is not an object");
  return member;
}

// The array `key` of objects, visited entry by entry up to `count`; missing entries read as {}.
template <typename Visit>
korva::Result<void> ForEachEntry(const Json::Value& parent, const char* key, std::size_t count,
                                 const std::string& path, Visit&& visit) {
  static const Json::Value kEmptyObject(Json::objectValue);
  const Json::Value* array = parent.find(key, key + std::char_traits<char>::length(key));
  if (array != nullptr && !array->isNull() && !array->isArray())
    return FormatError(path + key, "is not an array");
  for (std::size_t i = 0; i < count; ++i) {
    const std::string where = path + key + "[" + std::to_string(i) + "].";
    const Json::Value* entry = &kEmptyObject;
    if (array != nullptr && array->isArray() && i < array->size()) {
      const Json::Value& element = (*array)[static_cast<Json::ArrayIndex>(i)];
      if (!element.isNull() && !element.isObject()) return FormatError(where, "is not an object");
      if (element.isObject()) entry = &element;
    }
    auto visited = visit(*entry, i, where);
    if (!visited) return visited;
  }
  return {};
}

// Voice record members that are plain integers, with their ranges.
struct VoiceField {
  IntRule rule;
  int HeadsetVoiceSettings::*member;
};
const VoiceField kVoiceFields[] = {
    {{"master", kVolumeRange, OutOfRange::kClamp}, &HeadsetVoiceSettings::master},
    {{"right", kVolumeRange, OutOfRange::kClamp}, &HeadsetVoiceSettings::right},
    {{"left", kVolumeRange, OutOfRange::kClamp}, &HeadsetVoiceSettings::left},
    {{"micvol", kVolumeRange, OutOfRange::kClamp}, &HeadsetVoiceSettings::mic},
    {{"eqselect", {0, static_cast<int>(kSceneCount) - 1}, OutOfRange::kRefuse}, &HeadsetVoiceSettings::scene},
    {{"distance", {0, static_cast<int>(kSpeakerCount) - 1}, OutOfRange::kRefuse},
     &HeadsetVoiceSettings::speaker},
};
// Voice switches, read as booleans.
struct VoiceSwitch {
  const char* key;
  int HeadsetVoiceSettings::*member;
};
const VoiceSwitch kVoiceSwitches[] = {
    {"virtual", &HeadsetVoiceSettings::virtualSurround},
    {"enc", &HeadsetVoiceSettings::enc},
};

constexpr const char* kDistanceArray = "disvalue";
constexpr const char* kAngleArray = "Anvalue";
constexpr const char* kSceneArray = "eqinfo";
constexpr const char* kArrayValueKey = "value";
constexpr const char* kBandKeys[kBandCount] = {"125hz", "250hz", "500hz", "1khz",
                                               "2khz",  "4khz",  "8khz",  "16khz"};

struct SceneField {
  IntRule rule;
  int EqScene::*member;
};
const SceneField kSceneFields[] = {
    {{"3d", kSwitchRange, OutOfRange::kClamp}, &EqScene::threeD},
    {{"soundfield", kSwitchRange, OutOfRange::kClamp}, &EqScene::soundField},
    {{"soundmode", kSoundModeRange, OutOfRange::kRefuse}, &EqScene::soundMode},
};

struct LightField {
  IntRule rule;
  std::uint8_t lighting::LightingSettings::*member;
};
const LightField kLightFields[] = {
    {{"SelectItem", {0, kHeadsetLightModeCount - 1}, OutOfRange::kRefuse}, &lighting::LightingSettings::mode},
    {{"Light", {0, lighting::LightingSettings::kMaxBrightness}, OutOfRange::kClamp},
     &lighting::LightingSettings::brightness},
    {{"Speed", {0, lighting::LightingSettings::kMaxSpeed}, OutOfRange::kClamp},
     &lighting::LightingSettings::speed},
    {{"Direction", kSwitchRange, OutOfRange::kClamp}, &lighting::LightingSettings::direction},
    {{"MultiColor", kSwitchRange, OutOfRange::kClamp}, &lighting::LightingSettings::multicolour},
    {{"Red", {0, 255}, OutOfRange::kClamp}, &lighting::LightingSettings::red},
    {{"Green", {0, 255}, OutOfRange::kClamp}, &lighting::LightingSettings::green},
    {{"Blue", {0, 255}, OutOfRange::kClamp}, &lighting::LightingSettings::blue},
};
// "MultiColor" is read as a boolean, like the voice switches.
constexpr std::string_view kLightBooleanKey = "MultiColor";

korva::Result<void> ReadSpeakerArray(const Json::Value& voice, const char* key, SliderRange range,
                                     std::array<int, kSpeakerCount>& out) {
  return ForEachEntry(
      voice, key, kSpeakerCount, std::string(kVoiceInfoKey) + ".",
      [&](const Json::Value& entry, std::size_t i, const std::string& where) -> korva::Result<void> {
        auto value = ReadInt(entry, {kArrayValueKey, range, OutOfRange::kClamp}, where);
        if (!value) return value.error();
        out[i] = value.value();
        return {};
      });
}

// The member `key` of `parent` as an object to write into; replaced by an empty object when it is
// something else.
Json::Value& WritableObject(Json::Value& parent, const char* key) {
  Json::Value& member = parent[key];
  if (!member.isObject()) member = Json::Value(Json::objectValue);
  return member;
}

// The array `key` of `parent` with at least `count` object entries, keeping entries it has.
Json::Value& WritableArray(Json::Value& parent, const char* key, std::size_t count) {
  Json::Value& array = parent[key];
  if (!array.isArray()) array = Json::Value(Json::arrayValue);
  for (std::size_t i = 0; i < count; ++i) {
    Json::Value& entry = array[static_cast<Json::ArrayIndex>(i)];
    if (!entry.isObject()) entry = Json::Value(Json::objectValue);
  }
  return array;
}

void StoreSpeakerArray(Json::Value& voice, const char* key, const std::array<int, kSpeakerCount>& values) {
  Json::Value& array = WritableArray(voice, key, kSpeakerCount);
  for (std::size_t i = 0; i < kSpeakerCount; ++i)
    array[static_cast<Json::ArrayIndex>(i)][kArrayValueKey] = values[i];
}

}  // namespace

korva::Result<HeadsetVoiceSettings> ParseVoiceInfo(const Json::Value& voice) {
  const std::string path = std::string(kVoiceInfoKey) + ".";
  if (!voice.isNull() && !voice.isObject()) return FormatError(kVoiceInfoKey, "is not an object");
  HeadsetVoiceSettings settings;
  for (const VoiceField& field : kVoiceFields) {
    auto value = ReadInt(voice, field.rule, path);
    if (!value) return value.error();
    settings.*field.member = value.value();
  }
  for (const VoiceSwitch& field : kVoiceSwitches) {
    auto value = ReadSwitch(voice, field.key, path);
    if (!value) return value.error();
    settings.*field.member = value.value();
  }
  if (auto read = ReadSpeakerArray(voice, kDistanceArray, kDistanceRange, settings.distances); !read)
    return read.error();
  if (auto read = ReadSpeakerArray(voice, kAngleArray, kAngleRange, settings.angles); !read)
    return read.error();
  auto scenes = ForEachEntry(
      voice, kSceneArray, kSceneCount, path,
      [&](const Json::Value& entry, std::size_t i, const std::string& where) -> korva::Result<void> {
        EqScene& scene = settings.scenes[i];
        for (const SceneField& field : kSceneFields) {
          auto value = ReadInt(entry, field.rule, where);
          if (!value) return value.error();
          scene.*field.member = value.value();
        }
        for (std::size_t band = 0; band < kBandCount; ++band) {
          auto value = ReadInt(entry, {kBandKeys[band], kBandRange, OutOfRange::kClamp}, where);
          if (!value) return value.error();
          scene.bands[band] = value.value();
        }
        return {};
      });
  if (!scenes) return scenes.error();
  return settings;
}

korva::Result<lighting::LightingSettings> ParseLightInfo(const Json::Value& light) {
  const std::string path = std::string(kLightInfoKey) + ".";
  if (!light.isNull() && !light.isObject()) return FormatError(kLightInfoKey, "is not an object");
  lighting::LightingSettings record{};
  for (const LightField& field : kLightFields) {
    auto value = field.rule.key == kLightBooleanKey ? ReadSwitch(light, field.rule.key, path)
                                                    : ReadInt(light, field.rule, path);
    if (!value) return value.error();
    record.*field.member = static_cast<std::uint8_t>(value.value());
  }
  return record;
}

korva::Result<HeadsetProfile> ParseHeadsetProfile(const Json::Value& document) {
  if (!document.isObject()) return korva::Error::Plain("the document is not a JSON object");
  HeadsetProfile profile;
  auto light = ObjectMember(document, kLightInfoKey, "");
  if (!light) return light.error();
  auto lightRecord = ParseLightInfo(*light.value());
  if (!lightRecord) return lightRecord.error();
  profile.light = lightRecord.value();
  const Json::Value& voiceInfo = document[kVoiceInfoKey];
  if (!voiceInfo.isNull()) {
    auto voice = ParseVoiceInfo(voiceInfo);
    if (!voice) return voice.error();
    profile.voice = voice.value();
  }
  return profile;
}

bool StoreVoiceInfo(Json::Value& document, const HeadsetVoiceSettings& settings) {
  if (!document.isObject()) return false;
  Json::Value& voice = WritableObject(document, kVoiceInfoKey);
  for (const VoiceField& field : kVoiceFields) voice[field.rule.key] = settings.*field.member;
  for (const VoiceSwitch& field : kVoiceSwitches) voice[field.key] = settings.*field.member;
  StoreSpeakerArray(voice, kDistanceArray, settings.distances);
  StoreSpeakerArray(voice, kAngleArray, settings.angles);
  Json::Value& scenes = WritableArray(voice, kSceneArray, kSceneCount);
  for (std::size_t i = 0; i < kSceneCount; ++i) {
    Json::Value& entry = scenes[static_cast<Json::ArrayIndex>(i)];
    for (const SceneField& field : kSceneFields) entry[field.rule.key] = settings.scenes[i].*field.member;
    for (std::size_t band = 0; band < kBandCount; ++band)
      entry[kBandKeys[band]] = settings.scenes[i].bands[band];
  }
  return true;
}

bool StoreLightInfo(Json::Value& document, const lighting::LightingSettings& light) {
  if (!document.isObject()) return false;
  Json::Value& info = WritableObject(document, kLightInfoKey);
  for (const LightField& field : kLightFields) {
    const int value = light.*field.member;
    // A mode the headset does not have (a same-mode copy from a device with more modes) would make
    // the reader refuse the whole profile: the stored mode stays.
    if (field.rule.outOfRange == OutOfRange::kRefuse && field.rule.range.Clamp(value) != value) continue;
    info[field.rule.key] = value;
  }
  return true;
}

}  // namespace korva::headset
