#include "profile/ProfileStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <numeric>
#include <set>
#include <thread>

#include "TempFolder.h"
#include "profile/IniFile.h"

namespace korva::profile {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteText;
using Bytes = std::vector<std::uint8_t>;

constexpr StoreKind kAllStores[] = {StoreKind::kKeyboardLight, StoreKind::kKeyboardKey,
                                    StoreKind::kMouseLight, StoreKind::kMouseKey, StoreKind::kMousepadLight};

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  std::iota(bytes.begin(), bytes.end(), seed);
  return bytes;
}

// Each store's default file holds a payload of its own, so a copy shows where it came from.
Bytes DefaultPayload(const StoreLayout& layout) {
  return Pattern(layout.payloadSize, static_cast<std::uint8_t>(0x40 + static_cast<int>(layout.kind)));
}

class ProfileStoreTest : public ::testing::Test {
 protected:
  ProfileStoreTest() {
    std::filesystem::create_directories(defaults_);
    for (StoreKind kind : kAllStores) {
      const StoreLayout& layout = LayoutOf(kind);
      EXPECT_TRUE(WriteProfileFile(defaults_ / layout.defaultFile, layout.tag, DefaultPayload(layout)));
    }
  }

  std::unique_ptr<ProfileStore> Store(StoreKind kind) {
    return std::make_unique<ProfileStore>(kind, DataFolders(temp_.path() / "home"), defaults_);
  }

  // A mouse light store whose index is `indexText`, with a valid file for each name in `files`.
  std::unique_ptr<ProfileStore> MouseLight(const std::string& indexText,
                                           const std::vector<std::string>& files) {
    auto store = Store(StoreKind::kMouseLight);
    WriteText(store->IndexPath(), indexText);
    std::uint8_t seed = 1;
    for (const std::string& name : files) {
      EXPECT_TRUE(WriteProfileFile(File(name), DeviceTag::kMouse, Pattern(kMouseLightPayloadSize, seed++)));
    }
    return store;
  }

  std::filesystem::path File(const std::string& name, const char* extension = ".led") const {
    return temp_.path() / "home" / "ms" / (name + extension);
  }

  std::size_t FilesInMouseFolder() const {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(temp_.path() / "home" / "ms"), {}));
  }

  TempFolder temp_;
  std::filesystem::path defaults_ = temp_.path() / "defaults";
};

constexpr const char* kThreeProfiles =
    "[PROFILEDENGCOUNT]\ncount=3\n"
    "[PROFILEDENGNAME]\n0=alpha\n1=beta\n2=gamma\n"
    "[PROFILELIKEDENGEXE]\n0=0\n1=1\n2=1\n"
    "[DENGPROCESS]\n0= \n1=/opt/b/game\n2=/opt/c/game\n"
    "[PROFILEDENGSELECT]\nselect=1\n";

TEST_F(ProfileStoreTest, FirstRunCreatesOneProfileFromTheDefaultFile) {
  auto light = Store(StoreKind::kMouseLight);
  auto keys = Store(StoreKind::kMouseKey);
  const ListResult lightList = light->Initialise();
  const ListResult keyList = keys->Initialise();
  ASSERT_TRUE(lightList.result) << lightList.result.error.ToString();
  ASSERT_TRUE(keyList.result) << keyList.result.error.ToString();
  EXPECT_EQ(lightList.names, std::vector<std::string>{"新配置文件1"});
  EXPECT_EQ(keyList.names, std::vector<std::string>{"新配置文件1"});

  const ProfileFileRead led = ReadProfileFile(File("新配置文件1"), DeviceTag::kMouse, kMouseLightPayloadSize);
  const ProfileFileRead pro =
      ReadProfileFile(File("新配置文件1", ".pro"), DeviceTag::kMouse, kKeyBankPayloadSize);
  EXPECT_EQ(led.payload, DefaultPayload(light->layout()));
  EXPECT_EQ(pro.payload, DefaultPayload(keys->layout()));

  const IniFile index = IniFile::Load(light->IndexPath());
  EXPECT_EQ(light->IndexPath().filename(), "msProfile.ini");
  for (const auto& [count, name, link, select] :
       {std::tuple{"PROFILEDENGCOUNT", "PROFILEDENGNAME", "PROFILELIKEDENGEXE", "PROFILEDENGSELECT"},
        std::tuple{"PROFILECOUNT", "PROFILENAME", "PROFILELIKEEXE", "PROFILESELECT"}}) {
    SCOPED_TRACE(count);
    EXPECT_EQ(index.GetString(count, "count", ""), "1");
    EXPECT_EQ(index.GetString(name, "0", ""), "新配置文件1");
    EXPECT_EQ(index.GetString(link, "0", ""), "0");
    EXPECT_EQ(index.GetString(select, "select", ""), "0");
  }
  // The second start finds the list and changes nothing.
  EXPECT_EQ(light->Initialise().names, lightList.names);
  EXPECT_EQ(light->Count(), 1);
}

TEST_F(ProfileStoreTest, EveryStoreUsesItsOwnIndexExtensionAndTag) {
  const struct {
    StoreKind kind;
    const char* folder;
    const char* index;
    const char* extension;
    DeviceTag tag;
    std::size_t payload;
  } rows[] = {
      {StoreKind::kKeyboardLight, "kb", "kbProfile.ini", ".led", DeviceTag::kKeyboard, 1958},
      {StoreKind::kKeyboardKey, "kb", "kbProfile.ini", ".pro", DeviceTag::kKeyboard, 512},
      {StoreKind::kMouseLight, "ms", "msProfile.ini", ".led", DeviceTag::kMouse, 64},
      {StoreKind::kMouseKey, "ms", "msProfile.ini", ".pro", DeviceTag::kMouse, 512},
      {StoreKind::kMousepadLight, "mp", "mpProfile.ini", ".led", DeviceTag::kMousepad, 64},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.index + std::string(row.extension));
    auto store = Store(row.kind);
    ASSERT_TRUE(store->Initialise().result);
    EXPECT_EQ(store->IndexPath(), temp_.path() / "home" / row.folder / row.index);
    const auto file = temp_.path() / "home" / row.folder / (std::string("新配置文件1") + row.extension);
    const ProfileFileRead read = ReadProfileFile(file, row.tag, row.payload);
    EXPECT_TRUE(read.ok()) << read.error.ToString();
    EXPECT_EQ(read.payload, DefaultPayload(store->layout()));
  }
}

TEST_F(ProfileStoreTest, FirstRunWithoutAUsableDefaultFileChangesNothing) {
  const StoreLayout& layout = LayoutOf(StoreKind::kMouseLight);
  const struct {
    const char* name;
    bool present;
    DeviceTag tag;
    StoreStatus status;
    const char* textId;
  } rows[] = {
      {"missing", false, DeviceTag::kMouse, StoreStatus::kFileMissing, "message_text_8"},
      {"another device's", true, DeviceTag::kKeyboard, StoreStatus::kFileInvalid, "message_text_9"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(defaults_ / layout.defaultFile);
    if (row.present) {
      ASSERT_TRUE(WriteProfileFile(defaults_ / layout.defaultFile, row.tag, DefaultPayload(layout)));
    }
    auto store = Store(StoreKind::kMouseLight);
    const ListResult list = store->Initialise();
    EXPECT_EQ(list.result.status, row.status);
    EXPECT_EQ(list.result.TextId(), row.textId);
    EXPECT_TRUE(list.names.empty());
    EXPECT_FALSE(std::filesystem::exists(store->IndexPath()));
    EXPECT_EQ(FilesInMouseFolder(), 0u);
  }
}

TEST_F(ProfileStoreTest, FirstRunKeepsAValidProfileFileOfTheSameName) {
  const Bytes mine = Pattern(kMouseLightPayloadSize, 0x99);
  std::filesystem::create_directories(File("x").parent_path());
  ASSERT_TRUE(WriteProfileFile(File("新配置文件1"), DeviceTag::kMouse, mine));
  auto store = Store(StoreKind::kMouseLight);
  ASSERT_TRUE(store->Initialise().result);
  EXPECT_EQ(store->LoadProfile(0).payload, mine);
}

TEST_F(ProfileStoreTest, ListShowsStoredNamesInOrder) {
  auto store = MouseLight("[PROFILEDENGCOUNT]\ncount=3\n[PROFILEDENGNAME]\n0=alpha\n2=gamma\n", {});
  const ListResult list = store->Initialise();
  ASSERT_TRUE(list.result);
  // An entry without a stored name shows as the index reads it.
  EXPECT_EQ(list.names, (std::vector<std::string>{"alpha", "0", "gamma"}));
}

// A damaged index still lists every profile it can read; the user's profiles never drop out of
// the list because some other line of the file went bad.
TEST_F(ProfileStoreTest, ADamagedIndexKeepsItsReadableList) {
  using namespace std::string_literals;
  std::string oversized = kThreeProfiles;
  while (oversized.size() <= 4u * 1024u * 1024u) oversized += "; " + std::string(1000, '.') + "\n";
  oversized += "[PROFILEDENGNAME]\n3=late\n";
  const struct {
    const char* name;
    std::string index;
    std::vector<std::string> names;
  } rows[] = {
      {"NUL byte in a path",
       std::string(kThreeProfiles) + "[PROCESS]\n0=/opt/\0game\n"s,
       {"alpha", "beta", "gamma"}},
      {"Latin-1 byte in a name",
       "[PROFILEDENGCOUNT]\ncount=3\n[PROFILEDENGNAME]\n0=alpha\n1=caf\xE9\n2=gamma\n[PROFILEDENGSELECT]"
       "\nselect=0\n",
       {"alpha", "0", "gamma"}},
      {"larger than an index can be", oversized, {"alpha", "beta", "gamma"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(temp_.path() / "home");
    auto store = MouseLight(row.index, {"alpha", "beta", "gamma"});
    const ListResult list = store->Initialise();
    ASSERT_TRUE(list.result) << list.result.error.ToString();
    EXPECT_EQ(list.names, row.names);
    // Listing writes nothing.
    EXPECT_EQ(testing::ReadText(store->IndexPath()), row.index);

    // The first write keeps the whole old file in a backup and the readable list in the index.
    ASSERT_TRUE(store->SelectProfile(2).result);
    const std::filesystem::path backup = BackupPath(store->IndexPath(), 0);
    EXPECT_EQ(backup.filename(), "msProfile.ini.bad");
    EXPECT_EQ(testing::ReadText(backup), row.index);
    EXPECT_EQ(store->Names(), row.names);
    EXPECT_EQ(store->SelectedIndex(), 2);
    EXPECT_FALSE(IniFile::Load(store->IndexPath()).corrupt());
    for (const char* file : {"alpha", "beta", "gamma"}) EXPECT_TRUE(std::filesystem::exists(File(file)));
  }
}

// Only an index of which nothing can be read starts over, and only after a backup that never
// replaces an earlier one.
TEST_F(ProfileStoreTest, AnUnreadableIndexStartsOverAfterANumberedBackup) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  const std::vector<std::uint8_t> first{0xFF, 0xFE, '[', 0, 'S', 0, ']', 0, '\n', 0};
  const std::vector<std::uint8_t> second{0x00, 0x01, 0x02, 0x03};
  for (const auto& [bytes, number] : {std::pair{first, 0}, std::pair{second, 1}}) {
    SCOPED_TRACE(number);
    testing::WriteBytes(store->IndexPath(), bytes);
    const ListResult list = store->Initialise();
    ASSERT_TRUE(list.result) << list.result.error.ToString();
    EXPECT_EQ(list.names, std::vector<std::string>{"新配置文件1"});
    EXPECT_EQ(ReadBytes(BackupPath(store->IndexPath(), number)), bytes);
    std::filesystem::remove(File("新配置文件1"));
  }
  EXPECT_EQ(ReadBytes(BackupPath(store->IndexPath(), 0)), first);
  for (const char* file : {"alpha", "beta", "gamma"}) EXPECT_TRUE(std::filesystem::exists(File(file)));
}

// Only a count of 0 is a first run. A negative one lists nothing and leaves the names alone.
TEST_F(ProfileStoreTest, ANegativeCountListsNothingAndRewritesNoName) {
  const std::string index =
      "[PROFILEDENGCOUNT]\ncount=-2\n[PROFILEDENGNAME]\n0=alpha\n1=beta\n[PROFILEDENGSELECT]\nselect=1\n";
  auto store = MouseLight(index, {"alpha", "beta"});
  const ListResult list = store->Initialise();
  EXPECT_TRUE(list.result);
  EXPECT_TRUE(list.names.empty());
  EXPECT_EQ(store->Count(), 0);
  EXPECT_EQ(store->SelectedIndex(), 0);
  EXPECT_EQ(testing::ReadText(store->IndexPath()), index);
  EXPECT_FALSE(std::filesystem::exists(File("新配置文件1")));
  EXPECT_EQ(store->SaveProfile(Pattern(kMouseLightPayloadSize, 1)).status, StoreStatus::kNoSuchProfile);
  EXPECT_EQ(store->LoadProfile(0).payload, Bytes{});
  EXPECT_EQ(ReadProfileFile(File("alpha"), DeviceTag::kMouse, kMouseLightPayloadSize).payload,
            Pattern(kMouseLightPayloadSize, 1));
}

TEST_F(ProfileStoreTest, AFullListTakesNoMoreProfiles) {
  auto indexOf = [](int count) {
    std::string text = "[PROFILEDENGCOUNT]\ncount=" + std::to_string(count) + "\n[PROFILEDENGNAME]\n";
    for (int i = 0; i < count; ++i) text += std::to_string(i) + "=p" + std::to_string(i) + "\n";
    return text + "[PROFILEDENGSELECT]\nselect=0\n";
  };
  auto store = MouseLight(indexOf(kMaxProfileCount - 1), {"p0"});
  const IndexResult last = store->AddProfile();
  ASSERT_TRUE(last.result) << last.result.error.ToString();
  EXPECT_EQ(last.index, kMaxProfileCount - 1);

  const std::string full = testing::ReadText(store->IndexPath());
  const std::size_t files = FilesInMouseFolder();
  const IndexResult added = store->AddProfile();
  const IndexResult copied = store->CopyProfile(0);
  for (const StoreResult& refused : {added.result, copied.result}) {
    EXPECT_EQ(refused.status, StoreStatus::kProfileLimit);
    EXPECT_EQ(refused.TextId(), "message_text_profile_limit");
    EXPECT_EQ(refused.error.file, store->IndexPath().string());
  }
  EXPECT_EQ(added.index, -1);
  EXPECT_EQ(store->Count(), kMaxProfileCount);
  EXPECT_EQ(testing::ReadText(store->IndexPath()), full);
  EXPECT_EQ(FilesInMouseFolder(), files);
}

// Every message the store asks the page to show has its text in both languages.
TEST(ProfileStoreTexts, EveryTextIdHasATextInBothLanguages) {
  const char* source = std::getenv("KORVA_SOURCE_DIR");
  if (source == nullptr) GTEST_SKIP() << "KORVA_SOURCE_DIR is not set";
  for (const char* language : {"lan_cn.xml", "lan_en.xml"}) {
    SCOPED_TRACE(language);
    const std::string texts = testing::ReadText(std::filesystem::path(source) / "skin" / language);
    ASSERT_FALSE(texts.empty());
    for (StoreStatus status :
         {StoreStatus::kFileMissing, StoreStatus::kFileInvalid, StoreStatus::kNoSuchProfile,
          StoreStatus::kNameEmpty, StoreStatus::kNameTaken, StoreStatus::kNameRefused,
          StoreStatus::kLastProfile, StoreStatus::kProfileLimit}) {
      const std::string id(StoreResult{status, {}}.TextId());
      ASSERT_FALSE(id.empty());
      EXPECT_NE(texts.find("<Text id=\"" + id + "\">"), std::string::npos) << id;
    }
  }
}

// For the combo the page sets (and the arrival hands over) as for the saves.
TEST_F(ProfileStoreTest, SelectOutsideTheListMeansTheFirstProfile) {
  for (const char* select : {"-1", "3", "1000", "abc", ""}) {
    SCOPED_TRACE(select);
    auto store =
        MouseLight(std::string("[PROFILEDENGCOUNT]\ncount=3\n[PROFILEDENGNAME]\n0=alpha\n1=beta\n2=gamma\n"
                               "[PROFILEDENGSELECT]\nselect=") +
                       select + "\n",
                   {"alpha", "beta", "gamma"});
    EXPECT_EQ(store->SelectedIndex(), 0);
    EXPECT_EQ(ReadSelectedIndex(DataFolders(temp_.path() / "home"), StoreKind::kMouseLight), 0);
    const Bytes saved = Pattern(kMouseLightPayloadSize, 0x70);
    ASSERT_TRUE(store->SaveProfile(saved));
    EXPECT_EQ(store->LoadProfile(0).payload, saved);
    EXPECT_EQ(FilesInMouseFolder(), 4u);  // index + three profiles, nothing named after a bad entry
  }
}

TEST_F(ProfileStoreTest, NoFileIsNamedAfterAMissingOrUnsafeEntry) {
  const struct {
    const char* name;
    std::string index;
    StoreStatus status;
  } rows[] = {
      {"no name stored",
       "[PROFILEDENGCOUNT]\ncount=2\n[PROFILEDENGNAME]\n0=alpha\n[PROFILEDENGSELECT]\nselect=1\n",
       StoreStatus::kNoSuchProfile},
      {"empty list", "[PROFILEDENGSELECT]\nselect=0\n", StoreStatus::kNoSuchProfile},
      {"path in the name",
       "[PROFILEDENGCOUNT]\ncount=2\n[PROFILEDENGNAME]\n0=alpha\n1=../../"
       "escape\n[PROFILEDENGSELECT]\nselect=1\n",
       StoreStatus::kNameRefused},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto store = MouseLight(row.index, {"alpha"});
    const StoreResult saved = store->SaveProfile(Pattern(kMouseLightPayloadSize, 5));
    EXPECT_EQ(saved.status, row.status);
    EXPECT_NE(saved.TextId(), "");
    EXPECT_EQ(store->LoadProfile(1).result.status, row.status);
    EXPECT_EQ(FilesInMouseFolder(), 2u);  // index and alpha only
    EXPECT_FALSE(std::filesystem::exists(temp_.path() / "escape.led"));
    std::filesystem::remove_all(temp_.path() / "home");
  }
}

TEST_F(ProfileStoreTest, SaveAndSelectGoThroughTheSelectedProfile) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  const Bytes payload = Pattern(kMouseLightPayloadSize, 0x30);
  ASSERT_TRUE(store->SaveProfile(payload));
  EXPECT_EQ(store->LoadProfile(1).payload, payload);  // select=1 is beta

  const PayloadResult selected = store->SelectProfile(2);
  ASSERT_TRUE(selected.result);
  EXPECT_EQ(selected.payload, Pattern(kMouseLightPayloadSize, 3));
  EXPECT_EQ(store->SelectedIndex(), 2);

  // Out of range: nothing loaded, select unchanged.
  EXPECT_EQ(store->SelectProfile(3).result.status, StoreStatus::kNoSuchProfile);
  EXPECT_EQ(store->SelectProfile(-1).result.status, StoreStatus::kNoSuchProfile);
  EXPECT_EQ(store->SelectedIndex(), 2);

  // A payload of the wrong size is never written.
  const auto before = ReadBytes(File("gamma"));
  EXPECT_EQ(store->SaveProfile(Pattern(56, 0)).status, StoreStatus::kWriteFailed);
  EXPECT_EQ(ReadBytes(File("gamma")), before);
}

TEST_F(ProfileStoreTest, LoadReportsMissingAndDamagedFiles) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta"});
  testing::WriteBytes(File("beta"), {0x55, 0xAA, 0, 0});
  const struct {
    int index;
    StoreStatus status;
    const char* textId;
  } rows[] = {{1, StoreStatus::kFileInvalid, "message_text_9"},
              {2, StoreStatus::kFileMissing, "message_text_8"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.index);
    const PayloadResult load = store->SelectProfile(row.index);
    EXPECT_EQ(load.result.status, row.status);
    EXPECT_EQ(load.result.TextId(), row.textId);
    EXPECT_TRUE(load.payload.empty());
  }
}

TEST_F(ProfileStoreTest, AddTakesTheLowestFreeNumberAndTheDefaultPayload) {
  auto store = MouseLight(
      "[PROFILEDENGCOUNT]\ncount=2\n[PROFILEDENGNAME]\n0=新配置文件1\n1=新配置文件3\n[PROFILEDENGSELECT]"
      "\nselect=0\n",
      {"新配置文件1", "新配置文件3"});
  const IndexResult added = store->AddProfile();
  ASSERT_TRUE(added.result) << added.result.error.ToString();
  EXPECT_EQ(added.index, 2);
  EXPECT_EQ(added.name, "新配置文件2");
  EXPECT_EQ(store->Names(), (std::vector<std::string>{"新配置文件1", "新配置文件3", "新配置文件2"}));
  EXPECT_EQ(store->LoadProfile(2).payload, DefaultPayload(store->layout()));
  EXPECT_FALSE(store->ReadLink(2).linked);
}

TEST_F(ProfileStoreTest, AddWithoutDefaultFileLeavesTheListAlone) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  std::filesystem::remove(defaults_ / store->layout().defaultFile);
  const IndexResult added = store->AddProfile();
  EXPECT_EQ(added.result.TextId(), "message_text_8");
  EXPECT_EQ(store->Count(), 3);
  EXPECT_EQ(FilesInMouseFolder(), 4u);
}

TEST_F(ProfileStoreTest, DeleteMovesTheFollowingEntriesDown) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  const IndexResult deleted = store->DeleteProfile(1);
  ASSERT_TRUE(deleted.result) << deleted.result.error.ToString();
  EXPECT_EQ(deleted.index, 1);
  EXPECT_EQ(deleted.name, "gamma");
  EXPECT_EQ(store->Names(), (std::vector<std::string>{"alpha", "gamma"}));
  EXPECT_FALSE(std::filesystem::exists(File("beta")));
  EXPECT_EQ(store->SelectedIndex(), 1);

  const ProfileLink moved = store->ReadLink(1);
  EXPECT_TRUE(moved.linked);
  EXPECT_EQ(moved.executable, "/opt/c/game");
  // As before: the old last link entries stay in the file beyond the count.
  EXPECT_EQ(IniFile::Load(store->IndexPath()).GetString("DENGPROCESS", "2", ""), "/opt/c/game");
}

TEST_F(ProfileStoreTest, NewProfileNeverInheritsAStaleLink) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  ASSERT_TRUE(store->DeleteProfile(0).result);  // leaves link "1" and a path under key 2
  const IndexResult added = store->AddProfile();
  ASSERT_TRUE(added.result);
  ASSERT_EQ(added.index, 2);
  const ProfileLink link = store->ReadLink(2);
  EXPECT_FALSE(link.linked);
  EXPECT_EQ(link.executable, "");

  ASSERT_TRUE(store->DeleteProfile(2).result);
  const IndexResult copied = store->CopyProfile(0);
  ASSERT_TRUE(copied.result);
  ASSERT_EQ(copied.index, 2);
  EXPECT_FALSE(store->ReadLink(2).linked);
}

TEST_F(ProfileStoreTest, TheLastProfileCannotBeDeleted) {
  auto store = Store(StoreKind::kMousepadLight);
  ASSERT_TRUE(store->Initialise().result);
  const IndexResult deleted = store->DeleteProfile(0);
  EXPECT_EQ(deleted.result.status, StoreStatus::kLastProfile);
  EXPECT_EQ(deleted.result.TextId(), "message_text_11");
  EXPECT_EQ(store->Count(), 1);
}

TEST_F(ProfileStoreTest, CopyAppendsTheSuffixUntilTheNameIsFree) {
  auto store = MouseLight(
      "[PROFILEDENGCOUNT]\ncount=2\n[PROFILEDENGNAME]\n0=fps\n1=FPS copy\n[PROFILEDENGSELECT]\nselect=0\n",
      {"fps", "FPS copy"});
  const IndexResult copied = store->CopyProfile(0);
  ASSERT_TRUE(copied.result);
  EXPECT_EQ(copied.name, "fps copy copy");
  EXPECT_EQ(store->LoadProfile(2).payload, store->LoadProfile(0).payload);
}

TEST_F(ProfileStoreTest, CopyOfAMissingFileAddsNothing) {
  auto store = MouseLight(kThreeProfiles, {"alpha"});
  EXPECT_EQ(store->CopyProfile(1).result.TextId(), "message_text_8");
  EXPECT_EQ(store->Count(), 3);
}

TEST_F(ProfileStoreTest, RenameRefusesEmptyTakenAndUnsafeNames) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  const struct {
    const char* name;
    std::string newName;
    StoreStatus status;
    const char* textId;
  } rows[] = {
      {"empty", "", StoreStatus::kNameEmpty, "message_text_14"},
      {"its own name in another case", "BETA", StoreStatus::kNameTaken, "message_text_15"},
      {"another profile's name", "Gamma", StoreStatus::kNameTaken, "message_text_15"},
      {"path", "../beta", StoreStatus::kNameRefused, "message_text_name_refused"},
      {"control character", "be\nta", StoreStatus::kNameRefused, "message_text_name_refused"},
      {"too long", std::string(65, 'b'), StoreStatus::kNameRefused, "message_text_name_refused"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const StoreResult renamed = store->RenameProfile(1, row.newName);
    EXPECT_EQ(renamed.status, row.status);
    EXPECT_EQ(renamed.TextId(), row.textId);
    EXPECT_EQ(store->Names(), (std::vector<std::string>{"alpha", "beta", "gamma"}));
    EXPECT_EQ(FilesInMouseFolder(), 4u);
  }
}

TEST_F(ProfileStoreTest, RenameMovesTheFile) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  const Bytes content = store->LoadProfile(1).payload;
  ASSERT_TRUE(store->RenameProfile(1, "racing"));
  EXPECT_EQ(store->Names(), (std::vector<std::string>{"alpha", "racing", "gamma"}));
  EXPECT_FALSE(std::filesystem::exists(File("beta")));
  EXPECT_EQ(store->LoadProfile(1).payload, content);
}

TEST_F(ProfileStoreTest, RenameOfAMissingFileKeepsTheIndex) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "gamma"});
  EXPECT_EQ(store->RenameProfile(1, "racing").TextId(), "message_text_8");
  EXPECT_EQ(store->Names(), (std::vector<std::string>{"alpha", "beta", "gamma"}));
  EXPECT_FALSE(std::filesystem::exists(File("racing")));
}

TEST_F(ProfileStoreTest, ImportReplacesTheContentOnlyFromAFileOfTheSameDevice) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  const Bytes before = store->LoadProfile(0).payload;
  const auto source = temp_.path() / "picked.led";
  ASSERT_TRUE(WriteProfileFile(source, DeviceTag::kKeyboard, Pattern(kMouseLightPayloadSize, 0xA0)));
  EXPECT_EQ(store->ImportProfile(0, source).TextId(), "message_text_9");
  EXPECT_EQ(store->LoadProfile(0).payload, before);
  EXPECT_EQ(store->ImportProfile(0, temp_.path() / "none.led").TextId(), "message_text_8");
  EXPECT_EQ(store->LoadProfile(0).payload, before);

  const Bytes imported = Pattern(kMouseLightPayloadSize, 0xB0);
  ASSERT_TRUE(WriteProfileFile(source, DeviceTag::kMouse, imported));
  ASSERT_TRUE(store->ImportProfile(0, source));
  EXPECT_EQ(store->LoadProfile(0).payload, imported);
  EXPECT_EQ(store->Names(), (std::vector<std::string>{"alpha", "beta", "gamma"}));

  // A longer file of the same device gives the store's payload from its first bytes.
  const Bytes longer = Pattern(kKeyBankPayloadSize, 0xC0);
  ASSERT_TRUE(WriteProfileFile(source, DeviceTag::kMouse, longer));
  ASSERT_TRUE(store->ImportProfile(0, source));
  EXPECT_EQ(store->LoadProfile(0).payload, Bytes(longer.begin(), longer.begin() + kMouseLightPayloadSize));
}

TEST_F(ProfileStoreTest, ExportWritesAWholeProfileFile) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  const auto target = temp_.path() / "shared.led";
  ASSERT_TRUE(store->ExportProfile(2, target));
  EXPECT_EQ(ReadBytes(target), ReadBytes(File("gamma")));
  EXPECT_EQ(store->ExportProfile(5, target).status, StoreStatus::kNoSuchProfile);

  // The save dialog accepts any legal name, the longest included.
  const auto longest = temp_.path() / (std::string(255 - 4, 'x') + ".led");
  const StoreResult exported = store->ExportProfile(1, longest);
  ASSERT_TRUE(exported) << exported.error.ToString();
  EXPECT_EQ(ReadBytes(longest), ReadBytes(File("beta")));
}

TEST_F(ProfileStoreTest, RestoreReadsTheDefaultPayload) {
  auto store = Store(StoreKind::kKeyboardLight);
  const PayloadResult defaults = store->ReadDefaultPayload();
  ASSERT_TRUE(defaults.result);
  EXPECT_EQ(defaults.payload, DefaultPayload(store->layout()));
}

TEST_F(ProfileStoreTest, LinksAreStoredPerProfile) {
  auto store = MouseLight(kThreeProfiles, {"alpha", "beta", "gamma"});
  ASSERT_TRUE(store->WriteLink(0, {true, "/usr/games/quake"}));
  EXPECT_TRUE(store->ReadLink(0).linked);
  EXPECT_EQ(store->ReadLink(0).executable, "/usr/games/quake");

  ASSERT_TRUE(store->WriteLink(0, {false, "/usr/games/quake"}));
  const IniFile index = IniFile::Load(store->IndexPath());
  EXPECT_EQ(index.GetString("PROFILELIKEDENGEXE", "0", ""), "0");
  EXPECT_FALSE(store->ReadLink(0).linked);
  EXPECT_EQ(store->ReadLink(0).executable, "");

  // A path that would break the index is refused, the link left as it was.
  EXPECT_EQ(store->WriteLink(1, {true, "/tmp/a\n[PROFILEDENGCOUNT]"}).status, StoreStatus::kWriteFailed);
  EXPECT_EQ(store->ReadLink(1).executable, "/opt/b/game");
  EXPECT_EQ(store->WriteLink(3, {true, "/x"}).status, StoreStatus::kNoSuchProfile);
}

TEST_F(ProfileStoreTest, StoresOfOneDeviceShareTheIndexFile) {
  auto light = Store(StoreKind::kKeyboardLight);
  auto keys = Store(StoreKind::kKeyboardKey);
  ASSERT_TRUE(light->Initialise().result);
  ASSERT_TRUE(keys->Initialise().result);
  ASSERT_TRUE(keys->AddProfile().result);
  ASSERT_TRUE(keys->SelectProfile(1).result);
  EXPECT_EQ(light->Count(), 1);
  EXPECT_EQ(light->SelectedIndex(), 0);
  EXPECT_EQ(keys->Count(), 2);
  EXPECT_EQ(keys->SelectedIndex(), 1);
}

// The page, the device watcher and the application-link watcher share one store object.
TEST_F(ProfileStoreTest, ConcurrentOperationsLoseNoProfile) {
  auto store = Store(StoreKind::kMouseKey);
  ASSERT_TRUE(store->Initialise().result);
  constexpr int kAddsPerThread = 5;
  auto adder = [&store] {
    for (int i = 0; i < kAddsPerThread; ++i) ASSERT_TRUE(store->AddProfile().result);
  };
  std::thread page(adder);
  std::thread watcher([&store] {
    for (int i = 0; i < kAddsPerThread; ++i) {
      ASSERT_TRUE(store->SaveProfile(Pattern(kKeyBankPayloadSize, static_cast<std::uint8_t>(i))));
    }
  });
  adder();
  page.join();
  watcher.join();

  const std::vector<std::string> names = store->Names();
  EXPECT_EQ(names.size(), 1u + 2 * kAddsPerThread);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  for (int i = 0; i < static_cast<int>(names.size()); ++i) EXPECT_TRUE(store->LoadProfile(i).result) << i;
}

}  // namespace
}  // namespace korva::profile
