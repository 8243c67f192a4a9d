// The headset in korvactl: its voice settings in `show headset`, and its profile library under
// `profiles headset`, against the simulated headset; every change read back by a new session, from
// the library's files and from what the headset was sent.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "headset/HeadsetJsonFile.h"
#include "headset/HeadsetProfiles.h"
#include "headset/HeadsetVoice.h"
#include "tests/ctl/SimulatedCtl.h"

namespace korva::ctl {
namespace {

namespace fs = std::filesystem;

class CtlHeadsetTest : public test::SimulatedCtlTest {
 protected:
  // The library as the voice page opens it.
  headset::HeadsetProfiles Library() const {
    const char* source = std::getenv("KORVA_SOURCE_DIR");
    return headset::HeadsetProfiles(folders, profile::DefaultFilesFolder(source ? source : "."));
  }
  fs::path Folder() const { return folders.GetDeviceFolder(DeviceKind::kHeadset); }

  // The first profile exported to `name` in the test's folder, its JSON changed by `edit`.
  template <typename Edit>
  std::string ProfileFile(const std::string& name, Edit edit) {
    const fs::path file = home.path() / name;
    EXPECT_EQ(Run("profiles headset export profile1 " + file.string()).exitCode, kExitOk);
    auto document = headset::ReadJsonFile(file);
    EXPECT_TRUE(document);
    if (!document) return file.string();
    edit(document.value());
    EXPECT_TRUE(headset::WriteJsonFile(file, document.value()));
    return file.string();
  }

  // Every file of the headset's folder with its bytes.
  std::map<std::string, std::string> FolderContent() const {
    std::map<std::string, std::string> content;
    for (const fs::directory_entry& entry : fs::directory_iterator(Folder())) {
      std::ifstream in(entry.path(), std::ios::binary);
      content[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return content;
  }
};

Json::Value Array(std::initializer_list<const char*> items) {
  Json::Value array(Json::arrayValue);
  for (const char* item : items) array.append(item);
  return array;
}

headset::HeadsetVoiceSettings DistinctVoice() {
  headset::HeadsetVoiceSettings voice;
  voice.master = 11;
  voice.left = 22;
  voice.right = 33;
  voice.mic = 44;
  voice.scene = 3;
  voice.scenes[3] = {1, 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
  voice.virtualSurround = 1;
  voice.speaker = 2;
  for (std::size_t i = 0; i < headset::kSpeakerCount; ++i) {
    voice.distances[i] = 10 + static_cast<int>(i);
    voice.angles[i] = 50 + static_cast<int>(i);
  }
  voice.enc = 1;
  return voice;
}

TEST_F(CtlHeadsetTest, ShowsTheVoiceSettingsUnderThePagesNames) {
  ASSERT_EQ(Run("profiles headset").exitCode, kExitOk);  // the first use makes "profile1"
  ASSERT_TRUE(Library().SaveVoiceInfo(0, DistinctVoice()));
  const CtlResult shown = Run("show headset --json");
  ASSERT_EQ(shown.exitCode, kExitOk) << shown.error;
  EXPECT_EQ(shown.json["profile"].asString(), "profile1");
  const Json::Value& voice = shown.json["voice"];
  EXPECT_EQ(voice["master"].asInt(), 11);
  EXPECT_EQ(voice["left"].asInt(), 22);
  EXPECT_EQ(voice["right"].asInt(), 33);
  EXPECT_EQ(voice["microphone"].asInt(), 44);
  const Json::Value& equaliser = voice["equaliser"];
  EXPECT_EQ(equaliser["scene"].asString(), "Music");
  EXPECT_EQ(equaliser["bands"]["125"].asInt(), 1);
  EXPECT_EQ(equaliser["bands"]["1k"].asInt(), 4);
  EXPECT_EQ(equaliser["bands"]["16k"].asInt(), 8);
  EXPECT_TRUE(equaliser["soundField"].asBool());
  EXPECT_EQ(equaliser["soundMode"].asInt(), 2);
  EXPECT_TRUE(equaliser["3d"].asBool());
  EXPECT_TRUE(voice["virtual71"].asBool());
  EXPECT_EQ(voice["speaker"].asString(), "C");
  ASSERT_EQ(voice["speakers"].size(), headset::kSpeakerCount);
  EXPECT_EQ(voice["speakers"][7]["name"].asString(), "BR");
  EXPECT_EQ(voice["speakers"][7]["distance"].asInt(), 17);
  EXPECT_EQ(voice["speakers"][7]["angle"].asInt(), 57);
  EXPECT_TRUE(voice["enc"].asBool());
  // korvactl on its own sent nothing: it cannot say what the headset refuses.
  EXPECT_FALSE(voice.isMember("notApplied"));
  EXPECT_TRUE(shown.json["lighting"].isObject());

  const std::string text = Run("show headset").text;
  for (const std::string line :
       {"profile: profile1\n", "volume: master 11, left 22, right 33, microphone 44\n",
        "equaliser: Music; 125 1, 250 2, 500 3, 1k 4, 2k 5, 4k 6, 8k 7, 16k 8\n",
        "sound field: on, mode 2; 3D: on\n", "virtual 7.1: on; speaker C; distance/angle: FL 10/50,",
        "ENC noise reduction: on\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST_F(CtlHeadsetTest, ImportExportAndSelect) {
  const CtlResult listed = Run("profiles headset --json");
  ASSERT_EQ(listed.exitCode, kExitOk) << listed.error;
  EXPECT_EQ(listed.json["profiles"], Array({"profile1"}));
  EXPECT_EQ(listed.json["selected"].asString(), "profile1");

  const std::string loud = ProfileFile("loud.json", [](Json::Value& profile) {
    profile["VoiceInfo"]["master"] = 77;
    profile["LightInfo"]["SelectItem"] = 2;
  });
  const int master = headsetChip->AudioState().masterVolume;
  const CtlResult imported = Run("profiles headset import " + loud + " Loud");
  ASSERT_EQ(imported.exitCode, kExitOk) << imported.error;
  EXPECT_EQ(imported.json["profiles"][1].asString(), "Loud");
  EXPECT_EQ(imported.json["selected"].asString(), "profile1");  // the selection stays
  EXPECT_EQ(headsetChip->AudioState().masterVolume, master);    // an import sends nothing

  const CtlResult selected = Run("profiles headset select Loud");
  ASSERT_EQ(selected.exitCode, kExitOk) << selected.error;
  EXPECT_EQ(selected.json["selected"].asString(), "Loud");
  EXPECT_EQ(selected.json["notApplied"], Json::Value(Json::arrayValue));
  EXPECT_EQ(headsetChip->AudioState().masterVolume, 77);

  const CtlResult shown = Run("show headset");
  EXPECT_EQ(shown.json["profile"].asString(), "Loud");
  EXPECT_EQ(shown.json["voice"]["master"].asInt(), 77);
  EXPECT_EQ(shown.json["lighting"]["mode"].asInt(), 2);
  // The export is the library's file, byte for byte.
  const fs::path copy = home.path() / "copy.json";
  ASSERT_EQ(Run("profiles headset export Loud " + copy.string()).exitCode, kExitOk);
  std::ifstream exported(copy, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(exported), {}), FolderContent().at("Loud.json"));
}

// Refused names and files: exit code 2 or 1, one line, and the library as it was.
TEST_F(CtlHeadsetTest, RefusalsLeaveTheLibraryAsItWas) {
  const std::string good = ProfileFile("good.json", [](Json::Value&) {});
  const fs::path broken = home.path() / "broken.json";
  std::ofstream(broken) << "{ \"VoiceInfo\": ";
  const std::string notProfile =
      ProfileFile("text.json", [](Json::Value& profile) { profile["VoiceInfo"]["master"] = "loud"; });
  const std::map<std::string, std::string> before = FolderContent();
  struct Case {
    std::string line;
    int exitCode;
    std::string says;
  };
  const Case cases[] = {
      {"profiles headset select Nobody", kExitUsage, "no profile named 'Nobody'"},
      {"profiles headset export Nobody " + good, kExitUsage, "no profile named 'Nobody'"},
      {"profiles headset import " + good + " PROFILE1", kExitUsage,
       "a profile named 'PROFILE1' exists already"},
      {"profiles headset import " + good + " a/b", kExitUsage, "the profile name 'a/b' is refused"},
      {"profiles headset import " + good + " ..", kExitUsage, "is refused"},
      {"profiles headset --store key", kExitUsage, "the headset has no key profiles"},
      {"profiles headset import " + broken.string() + " Fresh", kExitDevice, "import of " + broken.string()},
      {"profiles headset import " + notProfile + " Fresh", kExitDevice, "import of " + notProfile},
      {"profiles headset import /nonexistent/x.json Fresh", kExitDevice, "import of /nonexistent/x.json"},
      {"profiles headset export profile1 /nonexistent/x.json", kExitDevice, "export to /nonexistent/x.json"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const CtlResult result = Run(c.line);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos) << "one line: " << result.error;
    EXPECT_EQ(FolderContent(), before);
  }

  // A listed profile whose file went bad is not selected: nothing is sent, the selection stays.
  ASSERT_EQ(Run("profiles headset import " + good + " Second").exitCode, kExitOk);
  std::ofstream(Folder() / "Second.json") << "not json";
  const int master = headsetChip->AudioState().masterVolume;
  const CtlResult bad = Run("profiles headset select Second");
  EXPECT_EQ(bad.exitCode, kExitDevice);
  EXPECT_NE(bad.error.find("selecting 'Second'"), std::string::npos) << bad.error;
  EXPECT_EQ(Run("profiles headset").json["selected"].asString(), "profile1");
  EXPECT_EQ(headsetChip->AudioState().masterVolume, master);
}

TEST_F(CtlHeadsetTest, SelectionWithoutVoiceOrWithoutTheHeadset) {
  ASSERT_EQ(Run("profiles headset select profile1").exitCode, kExitOk);
  const int master = headsetChip->AudioState().masterVolume;
  ASSERT_GT(master, 0);
  // A profile of lighting only keeps the voice settings the headset has.
  const std::string dark = ProfileFile("dark.json", [](Json::Value& profile) {
    profile.removeMember("VoiceInfo");
    profile["LightInfo"]["SelectItem"] = 3;
  });
  ASSERT_EQ(Run("profiles headset import " + dark + " Dark").exitCode, kExitOk);
  ASSERT_EQ(Run("profiles headset select Dark").exitCode, kExitOk);
  EXPECT_EQ(headsetChip->AudioState().masterVolume, master);
  const CtlResult shown = Run("show headset");
  EXPECT_EQ(shown.json["lighting"]["mode"].asInt(), 3);
  EXPECT_TRUE(shown.json["voice"].isNull());
  EXPECT_NE(shown.text.find("voice: unknown (the profile holds none)\n"), std::string::npos) << shown.text;

  // No headset: the choice is stored for its next arrival, and nothing is sent.
  headsetChip->SetPresent(false);
  const CtlResult stored = Run("profiles headset select profile1");
  ASSERT_EQ(stored.exitCode, kExitOk) << stored.error;
  EXPECT_FALSE(stored.json.isMember("notApplied"));
  headsetChip->SetPresent(true);
  EXPECT_EQ(Run("show headset").json["profile"].asString(), "profile1");
}

// In the program the voice page holds the settings and makes the choice; korvactl's own library
// code only checks and lists.
TEST_F(CtlHeadsetTest, TheProgramsVoicePageDoesTheWork) {
  ASSERT_EQ(Run("profiles headset").exitCode, kExitOk);
  headset::AudioLibrary pageAudio;
  ASSERT_EQ(pageAudio.Bind(headsetChip), headset::kAudioBindOk);
  headset::HeadsetProfiles pageProfiles = Library();
  headset::HeadsetVoice page(pageAudio, pageProfiles);
  std::vector<std::string> heard;
  CtlHooks hooks;
  hooks.headsetVoice = [&] { return &page; };
  hooks.selectHeadsetProfile = [&](int index) {
    heard.push_back("select " + std::to_string(index));
    (void)page.SelectProfile(index);
  };
  hooks.headsetProfilesChanged = [&] { heard.push_back("list"); };

  // Before the page loaded a profile, the file is shown.
  const bool stored = Run("show headset").json["voice"]["virtual71"].asBool();
  EXPECT_FALSE(Run("show headset", hooks).json["voice"].isMember("notApplied"));

  const CtlResult selected = Run("profiles headset select profile1", hooks);
  ASSERT_EQ(selected.exitCode, kExitOk) << selected.error;
  EXPECT_EQ(heard, std::vector<std::string>{"select 0"});
  EXPECT_EQ(selected.json["notApplied"], Json::Value(Json::arrayValue));

  // The page's switch is saved with its next voice save, and a volume the headset refused is
  // listed: both only the program knows.
  page.SetVirtual(!stored);
  headsetChip->SetRefuseAll(true);
  page.SetMic(5);
  headsetChip->SetRefuseAll(false);
  const CtlResult shown = Run("show headset", hooks);
  EXPECT_EQ(shown.json["voice"]["virtual71"].asBool(), !stored);
  EXPECT_EQ(shown.json["voice"]["microphone"].asInt(), 5);
  EXPECT_EQ(shown.json["voice"]["notApplied"], Array({"microphone"}))
      << shown.json["voice"]["notApplied"].toStyledString();
  EXPECT_NE(shown.text.find("not applied by this headset: microphone volume\n"), std::string::npos)
      << shown.text;

  heard.clear();
  const std::string file = ProfileFile("copy.json", [](Json::Value&) {});
  ASSERT_EQ(Run("profiles headset import " + file + " Copy", hooks).exitCode, kExitOk);
  EXPECT_EQ(heard, std::vector<std::string>{"list"});
}

}  // namespace
}  // namespace korva::ctl
