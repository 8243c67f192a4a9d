#include "headset/HeadsetProfiles.h"

#include <gtest/gtest.h>

#include "HeadsetTestFolder.h"

namespace korva::headset {
namespace {

using testing::HeadsetFolder;
using testing::kTestDefault;
using testing::ReadText;
using testing::WriteText;

TEST(HeadsetProfilesStart, FirstStartCopiesTheDefaultToProfile1) {
  HeadsetFolder folder;
  const profile::ListResult list = folder.profiles().Initialise();
  ASSERT_TRUE(list.result.ok()) << list.result.error.ToString();
  EXPECT_EQ(list.names, std::vector<std::string>{"profile1"});
  EXPECT_EQ(folder.IndexValue("PROFILECOUNT", "count"), "1");
  EXPECT_EQ(folder.IndexValue("PROFILENAME", "0"), "profile1");
  EXPECT_EQ(folder.IndexValue("PROFILESELECT", "select"), "0");
  EXPECT_EQ(ReadText(folder.File("profile1")), kTestDefault);

  // A second start lists what is there and writes nothing.
  const auto before = folder.Snapshot();
  EXPECT_EQ(folder.profiles().Initialise().names, std::vector<std::string>{"profile1"});
  EXPECT_EQ(folder.Snapshot(), before);
}

TEST(HeadsetProfilesStart, WithoutADefaultFileNothingIsListedAndTheIndexStaysEmpty) {
  struct Row {
    const char* name;
    const char* defaultContent;  // nullptr: no default file
    std::string_view textId;
  };
  const Row rows[] = {
      {"missing default", nullptr, "message_text_8"},
      {"default that is no headset profile", R"({"LightInfo":{"SelectItem":"wave"}})", "message_text_8"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HeadsetFolder folder;
    std::filesystem::remove(folder.defaults() / kHeadsetDefaultFile);
    if (row.defaultContent) WriteText(folder.defaults() / kHeadsetDefaultFile, row.defaultContent);
    const profile::ListResult list = folder.profiles().Initialise();
    EXPECT_EQ(list.result.TextId(), row.textId);
    EXPECT_TRUE(list.names.empty());
    EXPECT_TRUE(folder.Snapshot().empty());
  }
}

TEST(HeadsetProfilesAdd, TakesTheLowestFreeNumberIgnoringCaseAndSelectsTheNewProfile) {
  HeadsetFolder folder;
  folder.Write({"profile1", "PROFILE3"}, 0, "{}");
  const profile::IndexResult added = folder.profiles().Add();
  ASSERT_TRUE(added.result.ok()) << added.result.error.ToString();
  EXPECT_EQ(added.name, "profile2");
  EXPECT_EQ(added.index, 2);
  EXPECT_EQ(folder.profiles().Names(), (std::vector<std::string>{"profile1", "PROFILE3", "profile2"}));
  EXPECT_EQ(folder.IndexValue("PROFILELIKEDENGEXE", "2"), "0");
  EXPECT_EQ(folder.IndexValue("PROFILESELECT", "select"), "2");
  EXPECT_EQ(ReadText(folder.File("profile2")), kTestDefault);
}

TEST(HeadsetProfilesAdd, NeverWritesOverAFileThatIsNotListed) {
  HeadsetFolder folder;
  folder.Write({"profile1"}, 0);
  WriteText(folder.File("profile2"), "someone's data");
  const profile::IndexResult added = folder.profiles().Add();
  ASSERT_TRUE(added.result.ok());
  EXPECT_EQ(added.name, "profile3");
  EXPECT_EQ(ReadText(folder.File("profile2")), "someone's data");
}

TEST(HeadsetProfilesRename, RefusesBadNamesAndChangesNothing) {
  struct Row {
    const char* name;
    std::string newName;
    std::string_view textId;
  };
  const Row rows[] = {
      {"its own name", "beta", "message_text_15"},
      {"another listed name in other letters", "ALPHA", "message_text_15"},
      {"a file of that name exists", "stray", "message_text_15"},
      {"empty", "", "message_text_14"},
      {"a path", "../beta", "message_text_name_refused"},
      {"dot dot", "..", "message_text_name_refused"},
      {"a control character", "a\nb", "message_text_name_refused"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HeadsetFolder folder;
    folder.Write({"alpha", "beta", "gamma"}, 1);
    WriteText(folder.File("stray"), "not listed");
    const auto before = folder.Snapshot();
    EXPECT_EQ(folder.profiles().Rename(1, row.newName).TextId(), row.textId);
    EXPECT_EQ(folder.Snapshot(), before);
  }
}

TEST(HeadsetProfilesRename, WritesTheNewFileThenTheIndexThenRemovesTheOldFile) {
  HeadsetFolder folder;
  folder.Write({"alpha", "beta"}, 1, R"({"VoiceInfo":{"master":12}})");
  ASSERT_TRUE(folder.profiles().Rename(1, "quiet").ok());
  EXPECT_EQ(folder.profiles().Names(), (std::vector<std::string>{"alpha", "quiet"}));
  EXPECT_EQ(ReadText(folder.File("quiet")), R"({"VoiceInfo":{"master":12}})");
  EXPECT_FALSE(std::filesystem::exists(folder.File("beta")));
  EXPECT_TRUE(std::filesystem::exists(folder.File("alpha")));
}

TEST(HeadsetProfilesDelete, RewritesTheIndexAndSelectsTheLastProfile) {
  HeadsetFolder folder;
  folder.Write({"alpha", "beta", "gamma"}, 1);
  const profile::IndexResult deleted = folder.profiles().Delete(1);
  ASSERT_TRUE(deleted.result.ok());
  EXPECT_EQ(deleted.index, 1);
  EXPECT_EQ(deleted.name, "gamma");
  EXPECT_EQ(folder.IndexValue("PROFILECOUNT", "count"), "2");
  EXPECT_EQ(folder.IndexValue("PROFILENAME", "0"), "alpha");
  EXPECT_EQ(folder.IndexValue("PROFILENAME", "1"), "gamma");
  EXPECT_EQ(folder.IndexValue("PROFILENAME", "2"), "<none>");
  EXPECT_EQ(folder.IndexValue("PROFILESELECT", "select"), "1");
  EXPECT_FALSE(std::filesystem::exists(folder.File("beta")));

  ASSERT_TRUE(folder.profiles().Delete(0).result.ok());
  const auto before = folder.Snapshot();
  EXPECT_EQ(folder.profiles().Delete(0).result.TextId(), "message_text_11");
  EXPECT_EQ(folder.Snapshot(), before);
}

TEST(HeadsetProfilesLoad, GivesNothingForFilesItCannotUse) {
  struct Row {
    const char* name;
    std::string content;
    profile::StoreStatus status;
  };
  const Row rows[] = {
      {"not JSON", "master=80", profile::StoreStatus::kFileMissing},
      {"empty", "", profile::StoreStatus::kFileMissing},
      {"wrong type", R"({"VoiceInfo":{"master":"loud"}})", profile::StoreStatus::kFileInvalid},
      {"huge numbers", R"({"VoiceInfo":{"master":1e300,"left":99999999999}})",
       profile::StoreStatus::kFileInvalid},
      {"scene past the table", R"({"VoiceInfo":{"eqselect":99}})", profile::StoreStatus::kFileInvalid},
      {"deep nesting", std::string(50000, '[') + std::string(50000, ']'), profile::StoreStatus::kFileMissing},
      {"10 MB", "{\"VoiceInfo\":{},\"pad\":\"" + std::string(10 * 1024 * 1024, ' ') + "\"}",
       profile::StoreStatus::kFileMissing},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HeadsetFolder folder;
    folder.Write({"alpha"}, 0, row.content);
    EXPECT_EQ(folder.profiles().Load(0).result.status, row.status);
  }
}

TEST(HeadsetProfilesLoad, ANameFromTheIndexThatIsNoFileNameIsNeverOpened) {
  HeadsetFolder folder;
  folder.Write({"alpha"}, 0);
  WriteText(folder.Index(), "[PROFILECOUNT]\ncount=1\n[PROFILENAME]\n0=../../escape\n");
  WriteText(folder.hs() / ".." / ".." / "escape.json", kTestDefault);
  EXPECT_EQ(folder.profiles().Load(0).result.status, profile::StoreStatus::kNameRefused);
  EXPECT_EQ(folder.profiles().SaveVoiceInfo(0, {}).status, profile::StoreStatus::kNameRefused);
  EXPECT_EQ(ReadText(folder.hs() / ".." / ".." / "escape.json"), kTestDefault);
}

TEST(HeadsetProfilesSave, RewritesOneMemberAndNeverRecreatesAMissingFile) {
  HeadsetFolder folder;
  folder.Write({"alpha"}, 0, R"({"Mine":[1,2],"LightInfo":{"Red":9},"VoiceInfo":{"master":1}})");
  HeadsetVoiceSettings voice;
  voice.master = 33;
  ASSERT_TRUE(folder.profiles().SaveVoiceInfo(0, voice).ok());
  const HeadsetProfileResult loaded = folder.profiles().Load(0);
  ASSERT_TRUE(loaded.result.ok());
  EXPECT_EQ(loaded.profile.voice->master, 33);
  EXPECT_EQ(loaded.profile.light.red, 9);
  EXPECT_NE(ReadText(folder.File("alpha")).find("\"Mine\""), std::string::npos);

  std::filesystem::remove(folder.File("alpha"));
  EXPECT_FALSE(folder.profiles().SaveLightInfo(0, {}).ok());
  EXPECT_FALSE(std::filesystem::exists(folder.File("alpha")));
  WriteText(folder.File("alpha"), "[]");
  EXPECT_FALSE(folder.profiles().SaveVoiceInfo(0, voice).ok());
  EXPECT_EQ(ReadText(folder.File("alpha")), "[]");
}

TEST(HeadsetProfilesImport, ReplacesTheProfileOnlyWithAHeadsetProfile) {
  struct Row {
    const char* name;
    const char* content;  // nullptr: the file does not exist
    std::string_view textId;
  };
  const Row rows[] = {
      {"missing file", nullptr, "message_text_8"},
      {"not JSON", "<xml/>", "message_text_9"},
      {"JSON but not an object", "[1]", "message_text_9"},
      {"wrong type inside", R"({"LightInfo":{"Light":"max"}})", "message_text_9"},
      {"a headset profile", R"({"VoiceInfo":{"master":3}})", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HeadsetFolder folder;
    folder.Write({"alpha", "beta"}, 1);
    const auto source = folder.defaults() / "chosen.json";
    if (row.content) WriteText(source, row.content);
    const auto before = folder.Snapshot();
    const profile::StoreResult imported = folder.profiles().Import(1, source);
    EXPECT_EQ(imported.TextId(), row.textId);
    if (imported.ok()) {
      EXPECT_EQ(ReadText(folder.File("beta")), row.content);
      EXPECT_EQ(ReadText(folder.File("alpha")), kTestDefault);
    } else {
      EXPECT_EQ(folder.Snapshot(), before);
    }
  }
}

TEST(HeadsetProfilesExport, CopiesTheFileOverTheTarget) {
  HeadsetFolder folder;
  folder.Write({"alpha"}, 0, R"({"VoiceInfo":{"master":8}})");
  const auto target = folder.defaults() / "out.json";
  WriteText(target, "old");
  ASSERT_TRUE(folder.profiles().Export(0, target).ok());
  EXPECT_EQ(ReadText(target), R"({"VoiceInfo":{"master":8}})");
  EXPECT_FALSE(folder.profiles().Export(5, target).ok());
}

}  // namespace
}  // namespace korva::headset
