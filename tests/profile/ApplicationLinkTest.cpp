#include "profile/ApplicationLink.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "TempFolder.h"
#include "profile/IniFile.h"

namespace korva::profile {
namespace {

using testing::TempFolder;
using testing::WriteText;

TEST(ApplicationLink, CheckLinkRules) {
  const std::vector<ProfileLink> links = {
      {true, "/usr/games/racer"},
      {false, " "},
      {false, "/usr/bin/old"},  // an unlink that left a path behind: not linked
  };
  const struct {
    const char* name;
    const char* chosen;
    LinkCheck expected;
  } rows[] = {
      {"a new program", "/usr/bin/editor", LinkCheck::kAccepted},
      {"linked already (any profile, the selected one too)", "/usr/games/racer", LinkCheck::kAlreadyLinked},
      {"linked already, other letter case", "/USR/games/Racer", LinkCheck::kAlreadyLinked},
      {"path of an unlinked profile", "/usr/bin/old", LinkCheck::kAccepted},
      {"no path at all", "racer", LinkCheck::kNoPath},
      {"nothing chosen", "", LinkCheck::kNoPath},
  };
  for (const auto& row : rows) EXPECT_EQ(CheckLink(links, row.chosen), row.expected) << row.name;

  // Whether the store has anything to follow: a flag without a program path links nothing.
  EXPECT_TRUE(AnyLinked(links));
  EXPECT_FALSE(AnyLinked({{false, "/usr/bin/old"}, {true, " "}, {true, ""}}));
  EXPECT_FALSE(AnyLinked({}));
}

TEST(ApplicationLink, ForegroundMatching) {
  TempFolder temp;
  const std::filesystem::path real = temp.path() / "racer";
  WriteText(real, "#!/bin/sh\n");
  const std::filesystem::path alias = temp.path() / "racer-link";
  std::filesystem::create_symlink(real, alias);

  const std::vector<ProfileLink> links = {
      {false, real.string()},      // 0: not linked
      {true, "/usr/games/other"},  // 1
      {true, alias.string()},      // 2: linked through a symbolic link
  };
  const struct {
    const char* name;
    std::string foreground;
    int expected;
  } rows[] = {
      {"the linked program (as /proc resolves it)", real.string(), 2},
      {"the program replaced while running", real.string() + " (deleted)", 2},
      {"another linked program, other case", "/USR/GAMES/OTHER", 1},
      {"a program linked nowhere", "/usr/bin/editor", -1},
      {"no foreground application", "", -1},
      {"a name without a path", "racer", -1},
  };
  for (const auto& row : rows) EXPECT_EQ(LinkedProfileOf(links, row.foreground), row.expected) << row.name;
  EXPECT_EQ(ExecutableFileName("/usr/games/racer"), "racer");
  EXPECT_EQ(ExecutableFileName("racer"), "racer");
}

class LinkedStoreTest : public ::testing::Test {
 protected:
  LinkedStoreTest() {
    const StoreLayout& layout = LayoutOf(StoreKind::kMouseLight);
    std::filesystem::create_directories(defaults_);
    EXPECT_TRUE(
        WriteProfileFile(defaults_ / layout.defaultFile, layout.tag, Bytes(layout.payloadSize, 0x11)));
    store_ =
        std::make_unique<ProfileStore>(StoreKind::kMouseLight, DataFolders(temp_.path() / "home"), defaults_);
    WriteText(
        store_->IndexPath(),
        "[PROFILEDENGCOUNT]\ncount=3\n[PROFILEDENGNAME]\n0=a\n1=b\n2=c\n"
        "[PROFILELIKEDENGEXE]\n0=0\n1=1\n2=1\n[DENGPROCESS]\n0= \n1=/usr/games/racer\n2=/usr/bin/editor\n"
        "[PROFILEDENGSELECT]\nselect=0\n");
    for (const char* name : {"a", "b", "c"})
      EXPECT_TRUE(WriteProfileFile(File(name), DeviceTag::kMouse, Bytes(64, 0)));
  }
  using Bytes = std::vector<std::uint8_t>;
  std::filesystem::path File(const std::string& name) const {
    return store_->IndexPath().parent_path() / (name + ".led");
  }
  Bytes Payload(const std::string& name) const {
    return ReadProfileFile(File(name), DeviceTag::kMouse, kMouseLightPayloadSize).payload;
  }

  TempFolder temp_;
  std::filesystem::path defaults_ = temp_.path() / "defaults";
  std::unique_ptr<ProfileStore> store_;
};

TEST_F(LinkedStoreTest, LinksAreReadInOneGoAndUnlinkStoresASpace) {
  const std::vector<ProfileLink> links = store_->Links();
  ASSERT_EQ(links.size(), 3u);
  EXPECT_FALSE(links[0].linked);
  EXPECT_TRUE(links[1].linked);
  EXPECT_EQ(links[2].executable, "/usr/bin/editor");

  ASSERT_TRUE(store_->WriteLink(1, ProfileLink{}));
  EXPECT_EQ(ReadIniString(store_->IndexPath(), "PROFILELIKEDENGEXE", "1", "?"), "0");
  // The reads trim; the file holds a single space after "=".
  std::ifstream file(store_->IndexPath());
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("1= \n"), std::string::npos) << text;
}

// Settings changed while a linked profile is shown belong to that profile: the hand-chosen profile
// must not be overwritten with the linked one's values.
TEST_F(LinkedStoreTest, SavesGoIntoTheLinkedProfileShown) {
  const Bytes changed(64, 0x5A);
  ASSERT_TRUE(store_->ShowLinkedProfile(2).result);
  EXPECT_EQ(store_->SelectedIndex(), 0) << "select keeps the hand-chosen profile";
  EXPECT_EQ(store_->SavedIndex(), 2);
  ASSERT_TRUE(store_->SaveProfile(changed));
  EXPECT_EQ(Payload("c"), changed);
  EXPECT_EQ(Payload("a"), Bytes(64, 0));

  // The hand-chosen profile shown again: saves go there.
  ASSERT_TRUE(store_->ShowLinkedProfile(0).result);
  EXPECT_EQ(store_->SavedIndex(), 0);
  ASSERT_TRUE(store_->ShowLinkedProfile(1).result);
  ASSERT_TRUE(store_->SelectProfile(1).result);  // a choice by hand
  EXPECT_EQ(store_->SavedIndex(), 1);
  ASSERT_TRUE(store_->ShowLinkedProfile(2).result);
  ASSERT_TRUE(store_->DeleteProfile(0).result);  // the entries move: back to the selection
  EXPECT_EQ(store_->SavedIndex(), store_->SelectedIndex());

  // A profile that cannot be loaded leaves the save target alone.
  std::filesystem::remove(File("b"));
  EXPECT_FALSE(store_->ShowLinkedProfile(0).result);
  EXPECT_EQ(store_->SavedIndex(), store_->SelectedIndex());
}

}  // namespace
}  // namespace korva::profile
