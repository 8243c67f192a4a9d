#include "headset/HeadsetProfileFormat.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "headset/HeadsetJsonFile.h"
#include "profile/DataFolders.h"
#include "tests/profile/TempFolder.h"

namespace korva::headset {
namespace {

using profile::testing::ReadText;
using profile::testing::TempFolder;
using profile::testing::WriteText;

Json::Value Parse(const std::string& text) {
  auto parsed = ParseJson(text);
  EXPECT_TRUE(parsed) << text;
  return parsed ? parsed.value() : Json::Value();
}

TEST(ParseVoiceInfo, ReadsValuesLimitsLevelsAndRefusesWhatItCannotUse) {
  struct Row {
    const char* name;
    const char* json;
    bool ok;
    std::function<void(const HeadsetVoiceSettings&)> check;
  };
  const Row rows[] = {
      {"missing members read as zero", "{}", true,
       [](const HeadsetVoiceSettings& s) { EXPECT_EQ(s, HeadsetVoiceSettings{}); }},
      {"every member",
       R"({"master":80,"right":70,"left":60,"micvol":50,"eqselect":5,"virtual":1,"distance":7,"enc":1,
          "disvalue":[{"value":1},{"value":2}],"Anvalue":[{},{},{"value":100}],
          "eqinfo":[{},{},{"3d":1,"soundfield":1,"soundmode":3,"125hz":1,"16khz":8}]})",
       true,
       [](const HeadsetVoiceSettings& s) {
         EXPECT_EQ(s.master, 80);
         EXPECT_EQ(s.right, 70);
         EXPECT_EQ(s.left, 60);
         EXPECT_EQ(s.mic, 50);
         EXPECT_EQ(s.scene, 5);
         EXPECT_EQ(s.virtualSurround, 1);
         EXPECT_EQ(s.speaker, 7);
         EXPECT_EQ(s.enc, 1);
         EXPECT_EQ(s.distances, (std::array<int, 8>{1, 2, 0, 0, 0, 0, 0, 0}));
         EXPECT_EQ(s.angles, (std::array<int, 8>{0, 0, 100, 0, 0, 0, 0, 0}));
         EXPECT_EQ(s.scenes[2], (EqScene{1, 1, 3, {1, 0, 0, 0, 0, 0, 0, 8}}));
       }},
      {"levels are limited to their sliders",
       R"({"master":500,"left":-3,"micvol":101,"disvalue":[{"value":1000}],"Anvalue":[{"value":-1}],
          "eqinfo":[{"125hz":99,"250hz":-99}]})",
       true,
       [](const HeadsetVoiceSettings& s) {
         EXPECT_EQ(s.master, kVolumeRange.max);
         EXPECT_EQ(s.left, kVolumeRange.min);
         EXPECT_EQ(s.mic, kVolumeRange.max);
         EXPECT_EQ(s.distances[0], kDistanceRange.max);
         EXPECT_EQ(s.angles[0], kAngleRange.min);
         EXPECT_EQ(s.scenes[0].bands[0], kBandRange.max);
         EXPECT_EQ(s.scenes[0].bands[1], kBandRange.min);
       }},
      {"switches read as booleans", R"({"virtual":5,"enc":true})", true,
       [](const HeadsetVoiceSettings& s) {
         EXPECT_EQ(s.virtualSurround, 1);
         EXPECT_EQ(s.enc, 1);
       }},
      {"extra array entries are ignored", R"({"disvalue":[{},{},{},{},{},{},{},{},{"value":"x"}]})", true,
       nullptr},
      {"integral real number", R"({"master":40.0})", true,
       [](const HeadsetVoiceSettings& s) { EXPECT_EQ(s.master, 40); }},
      {"volume as text", R"({"master":"80"})", false, nullptr},
      {"fraction", R"({"micvol":5.5})", false, nullptr},
      {"number beyond int", R"({"left":99999999999})", false, nullptr},
      {"huge real", R"({"right":1e300})", false, nullptr},
      {"scene past the table", R"({"eqselect":6})", false, nullptr},
      {"negative scene", R"({"eqselect":-1})", false, nullptr},
      {"speaker past the arrays", R"({"distance":8})", false, nullptr},
      {"array that is a number", R"({"disvalue":5})", false, nullptr},
      {"entry that is a number", R"({"Anvalue":[5]})", false, nullptr},
      {"entry value that is an object", R"({"Anvalue":[{"value":{}}]})", false, nullptr},
      {"scene list that is an object", R"({"eqinfo":{}})", false, nullptr},
      {"band as text", R"({"eqinfo":[{"1khz":"loud"}]})", false, nullptr},
      {"sound mode past a register", R"({"eqinfo":[{"soundmode":300}]})", false, nullptr},
      {"switch as an array", R"({"enc":[1]})", false, nullptr},
      {"voice info that is an array", "[]", false, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto parsed = ParseVoiceInfo(Parse(row.json));
    ASSERT_EQ(parsed.ok(), row.ok) << (parsed ? "" : parsed.error().ToString());
    if (row.ok && row.check) row.check(parsed.value());
    if (!row.ok) {
      EXPECT_NE(parsed.error().message.find('"'), std::string::npos) << "names the member";
    }
  }
}

TEST(ParseLightInfo, LimitsLevelsAndRefusesAnUnknownMode) {
  struct Row {
    const char* name;
    const char* json;
    bool ok;
    lighting::LightingSettings expected;
  };
  const Row rows[] = {
      {"every member",
       R"({"SelectItem":2,"Light":9,"Speed":3,"Direction":1,"MultiColor":1,"Red":1,"Green":2,"Blue":3})",
       true,
       {2, 9, 3, 1, 1, 1, 2, 3}},
      {"levels limited",
       R"({"Light":99,"Speed":-5,"Direction":7,"MultiColor":9,"Red":300,"Green":-1,"Blue":256})",
       true,
       {0, 14, 0, 1, 1, 255, 0, 255}},
      {"missing members read as zero", "{}", true, {}},
      {"mode past the list", R"({"SelectItem":4})", false, {}},
      {"colour as text", R"({"Red":"ff"})", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto parsed = ParseLightInfo(Parse(row.json));
    ASSERT_EQ(parsed.ok(), row.ok);
    if (row.ok) {
      EXPECT_EQ(parsed.value(), row.expected);
    }
  }
}

TEST(ParseHeadsetProfile, ReadsBothMembersOrNothing) {
  struct Row {
    const char* name;
    const char* json;
    bool ok;
    bool hasVoice;
  };
  const Row rows[] = {
      {"both members", R"({"VoiceInfo":{"master":5},"LightInfo":{"Red":7}})", true, true},
      {"no voice info", R"({"LightInfo":{"Red":7}})", true, false},
      {"null voice info", R"({"VoiceInfo":null,"LightInfo":{"Red":7}})", true, false},
      {"not an object", "[1,2]", false, false},
      {"light info of the wrong type", R"({"LightInfo":[],"VoiceInfo":{}})", false, false},
      {"bad voice refuses the good light", R"({"LightInfo":{"Red":7},"VoiceInfo":{"master":"x"}})", false,
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto parsed = ParseHeadsetProfile(Parse(row.json));
    ASSERT_EQ(parsed.ok(), row.ok);
    if (!row.ok) continue;
    EXPECT_EQ(parsed->voice.has_value(), row.hasVoice);
    EXPECT_EQ(parsed->light.red, 7);
    if (row.hasVoice) {
      EXPECT_EQ(parsed->voice->master, 5);
    }
  }
}

TEST(StoreProfileMembers, WritesEveryMemberAndKeepsUnknownOnes) {
  Json::Value document = Parse(R"({"Other":{"kept":true},
      "VoiceInfo":{"note":"mine","eqinfo":[{"label":"flat"}],"disvalue":"broken"},
      "LightInfo":7})");
  HeadsetVoiceSettings voice;
  voice.master = 90;
  voice.scene = 3;
  voice.speaker = 6;
  voice.distances[7] = 44;
  voice.angles[1] = 12;
  voice.scenes[0] = {1, 0, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
  voice.scenes[5].bands[7] = 11;
  const lighting::LightingSettings light{3, 14, 2, 1, 0, 10, 20, 30};

  ASSERT_TRUE(StoreVoiceInfo(document, voice));
  ASSERT_TRUE(StoreLightInfo(document, light));

  EXPECT_TRUE(document["Other"]["kept"].asBool());
  EXPECT_EQ(document["VoiceInfo"]["note"].asString(), "mine");
  EXPECT_EQ(document["VoiceInfo"]["eqinfo"][0]["label"].asString(), "flat");
  EXPECT_EQ(document["VoiceInfo"]["distance"].asInt(), 6);
  EXPECT_EQ(document["VoiceInfo"]["eqinfo"][0]["16khz"].asInt(), 8);
  auto reread = ParseHeadsetProfile(document);
  ASSERT_TRUE(reread) << reread.error().ToString();
  EXPECT_EQ(*reread->voice, voice);
  EXPECT_EQ(reread->light, light);

  Json::Value notAnObject(Json::arrayValue);
  EXPECT_FALSE(StoreVoiceInfo(notAnObject, voice));
  EXPECT_FALSE(StoreLightInfo(notAnObject, light));
  EXPECT_TRUE(notAnObject.empty());
}

// A same-mode copy from the keyboard can bring a mode the headset does not have; the profile must
// still load afterwards, with its stored mode and the copied colours.
TEST(StoreProfileMembers, KeepsTheStoredModeForAModeTheHeadsetLacks) {
  Json::Value document = Parse(R"({"LightInfo":{"SelectItem":2}})");
  const lighting::LightingSettings copied{
      static_cast<std::uint8_t>(kHeadsetLightModeCount), 9, 3, 0, 1, 50, 60, 70};

  ASSERT_TRUE(StoreLightInfo(document, copied));

  auto reread = ParseHeadsetProfile(document);
  ASSERT_TRUE(reread) << reread.error().ToString();
  lighting::LightingSettings expected = copied;
  expected.mode = 2;
  EXPECT_EQ(reread->light, expected);
}

TEST(JsonFile, RefusesHostileInputWithoutCrashing) {
  TempFolder temp;
  struct Row {
    const char* name;
    std::string content;
  };
  const Row rows[] = {
      {"empty", ""},
      {"not JSON", "VoiceInfo = 1"},
      {"cut short", R"({"VoiceInfo":{"master":)"},
      {"deep nesting", std::string(100000, '[') + std::string(100000, ']')},
      {"deep objects",
       [] {
         std::string text;
         for (int i = 0; i < 5000; ++i) text += "{\"a\":";
         return text + "1" + std::string(5000, '}');
       }()},
      {"10 MB", "{\"pad\":\"" + std::string(10 * 1024 * 1024, 'x') + "\"}"},
      // Written back, this name would come out as "Red" and set the colour.
      {"not UTF-8", "{\"LightInfo\":{\"Re\xC1\xA4\":7}}"},
      // Written back, this name would come out as "Light" and set the brightness.
      {"NUL in a member name", R"({"LightInfo":{"Light\u0000":2}})"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto path = temp.path() / "p.json";
    WriteText(path, row.content);
    auto read = ReadJsonFile(path);
    EXPECT_FALSE(read);
    if (!read) {
      EXPECT_NE(read.error().ToString().find(path.string()), std::string::npos);
    }
  }
  EXPECT_FALSE(ReadJsonFile(temp.path() / "missing.json"));
}

TEST(JsonFile, WritesStyledTextWholeAndReadsItBack) {
  TempFolder temp;
  const auto path = temp.path() / "p.json";
  WriteText(path, "old content");
  Json::Value value(Json::objectValue);
  value["VoiceInfo"]["master"] = 42;
  ASSERT_TRUE(WriteJsonFile(path, value));

  const std::string text = ReadText(path);
  EXPECT_EQ(text.find("{\n   \"VoiceInfo\" : {\n      \"master\" : 42\n   }\n}\n"), 0u) << text;
  EXPECT_EQ(text.back(), '\n');
  auto read = ReadJsonFile(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(read.value(), value);
  // Written through a temporary that is gone afterwards.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 1);

  EXPECT_FALSE(WriteJsonFile(temp.path() / "no-such-folder" / "p.json", value));
}

TEST(ShippedDefaultProfile, ReadsAsAHeadsetProfileWithVoiceAndLight) {
  const auto path = profile::DefaultFilesFolder(profile::ProgramFolder()) / "hslightdefault.json";
  auto document = ReadJsonFile(path);
  ASSERT_TRUE(document) << document.error().ToString();
  auto parsed = ParseHeadsetProfile(document.value());
  ASSERT_TRUE(parsed) << parsed.error().ToString();
  ASSERT_TRUE(parsed->voice.has_value());
  // The default's scenes are the scene buttons' presets, so a loaded default plays what its
  // buttons show.
  for (std::size_t k = 0; k < kSceneCount; ++k) {
    EXPECT_EQ(parsed->voice->scenes[k].bands, kSceneButtons[k].bands) << "scene " << k;
    EXPECT_EQ(parsed->voice->scenes[k].soundMode, kSceneButtons[k].soundMode) << "scene " << k;
  }
  EXPECT_GT(parsed->voice->master, 0);
  EXPECT_GT(parsed->light.brightness, 0);
}

}  // namespace
}  // namespace korva::headset
