#include "profile/DataFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "TempFolder.h"

namespace korva::profile {
namespace {

using testing::TempFolder;

bool EndsWithSeparator(const std::filesystem::path& path) {
  const std::string text = path.string();
  return !text.empty() && text.back() == '/';
}

class DataFoldersTest : public ::testing::Test {
 protected:
  TempFolder temp_;
  std::filesystem::path base_ = temp_.path() / "KORVA";
  DataFolders folders_{base_};
};

TEST_F(DataFoldersTest, FirstRequestCreatesBaseThenDeviceFolder) {
  ASSERT_FALSE(std::filesystem::exists(base_));
  const std::filesystem::path mouse = folders_.GetDeviceFolder(DeviceKind::kMouse);
  EXPECT_EQ(mouse, base_ / "ms" / "");
  EXPECT_TRUE(EndsWithSeparator(mouse));
  EXPECT_TRUE(std::filesystem::is_directory(base_));
  EXPECT_TRUE(std::filesystem::is_directory(base_ / "ms"));
  EXPECT_EQ(folders_.GetBaseFolder(), base_ / "");
}

TEST_F(DataFoldersTest, SecondRequestGivesTheSamePathAndKeepsTheFolder) {
  const std::filesystem::path first = folders_.GetDeviceFolder(DeviceKind::kKeyboard);
  std::ofstream(first / "kbProfile.ini") << "[PROFILECOUNT]\ncount=1\n";
  struct stat before {};
  ASSERT_EQ(::stat(first.c_str(), &before), 0);

  const std::filesystem::path second = folders_.GetDeviceFolder(DeviceKind::kKeyboard);
  struct stat after {};
  ASSERT_EQ(::stat(second.c_str(), &after), 0);
  EXPECT_EQ(first, second);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_TRUE(std::filesystem::exists(second / "kbProfile.ini"));
}

TEST_F(DataFoldersTest, FolderRemovedWhileRunningIsCreatedAgain) {
  const std::filesystem::path headset = folders_.GetDeviceFolder(DeviceKind::kHeadset);
  std::filesystem::remove_all(base_);
  ASSERT_FALSE(std::filesystem::exists(headset));
  EXPECT_EQ(folders_.GetDeviceFolder(DeviceKind::kHeadset), headset);
  EXPECT_TRUE(std::filesystem::is_directory(headset));
}

// Temporaries of writes that a killed process left behind go when the folder is first opened;
// everything else stays.
TEST_F(DataFoldersTest, OpeningAFolderRemovesStaleTemporaries) {
  std::filesystem::create_directories(base_ / "ms");
  auto age = [](const std::filesystem::path& path) {
    std::filesystem::last_write_time(path,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  };
  const struct {
    std::filesystem::path path;
    bool old;
    bool removed;
  } rows[] = {
      {base_ / ".korva-Aa0001", true, true},          {base_ / "ms" / ".korva-Bb0002", true, true},
      {base_ / "ms" / ".korva-Cc0003", false, false},  // perhaps a write under way
      {base_ / "ms" / "msProfile.ini", true, false},  {base_ / "ms" / ".msProfile.ini.Dd0004", true, false},
  };
  for (const auto& row : rows) {
    std::ofstream(row.path) << "x";
    if (row.old) age(row.path);
  }
  EXPECT_EQ(folders_.GetDeviceFolder(DeviceKind::kMouse), base_ / "ms" / "");
  for (const auto& row : rows) EXPECT_EQ(std::filesystem::exists(row.path), !row.removed) << row.path;
}

TEST_F(DataFoldersTest, EveryDeviceKindHasItsOwnSubFolder) {
  const struct {
    DeviceKind kind;
    const char* name;
  } rows[] = {{DeviceKind::kKeyboard, "kb"},
              {DeviceKind::kMouse, "ms"},
              {DeviceKind::kMousepad, "mp"},
              {DeviceKind::kHeadset, "hs"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DeviceFolderName(row.kind), row.name);
    EXPECT_EQ(folders_.GetDeviceFolder(row.kind), base_ / row.name / "");
  }
}

TEST(ResolveBaseFolderTest, ChoosesFromTheEnvironmentInOrder) {
  const struct {
    const char* name;
    FolderEnvironment env;
    std::filesystem::path expected;
  } rows[] = {
      {"KORVA_HOME wins", {"/data/korva", "/xdg", "/home/u"}, "/data/korva/"},
      {"KORVA_HOME with separator", {"/data/korva/", "", "/home/u"}, "/data/korva/"},
      {"XDG_CONFIG_HOME", {"", "/xdg", "/home/u"}, "/xdg/KORVA/"},
      {"relative XDG_CONFIG_HOME is ignored", {"", "xdg", "/home/u"}, "/home/u/.config/KORVA/"},
      {"HOME only", {"", "", "/home/u"}, "/home/u/.config/KORVA/"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ResolveBaseFolder(row.env), row.expected);
  }
}

TEST(ResolveBaseFolderTest, FromEnvironmentUsesKorvaHome) {
  TempFolder temp;
  ASSERT_EQ(::setenv("KORVA_HOME", temp.path().c_str(), 1), 0);
  EXPECT_EQ(DataFolders::FromEnvironment().GetBaseFolder(), temp.path() / "");
}

TEST(ProgramFolderTest, ChoosesEnvironmentThenSourceTreeThenInstalledFolder) {
  TempFolder temp;
  const std::filesystem::path tree = temp.path() / "tree";
  std::filesystem::create_directories(tree / "data");
  const std::filesystem::path exe = temp.path() / "prefix" / "bin" / "korva";

  EXPECT_EQ(ResolveProgramFolder({"/from/env", tree.string(), exe}), "/from/env/");
  EXPECT_EQ(ResolveProgramFolder({"", tree.string(), exe}), tree / "");
  // A source tree that is not there (the binary was moved to another machine) is skipped.
  EXPECT_EQ(ResolveProgramFolder({"", (temp.path() / "gone").string(), exe}),
            temp.path() / "prefix" / "share" / "korva" / "");
  // An installed program finds its own files even where its source tree is still there.
  std::filesystem::create_directories(temp.path() / "prefix" / "share" / "korva" / "data");
  EXPECT_EQ(ResolveProgramFolder({"", tree.string(), exe}), temp.path() / "prefix" / "share" / "korva" / "");
}

TEST(ProgramFolderTest, HoldsTheShippedDefaultFiles) {
  const std::filesystem::path data = DefaultFilesFolder(ProgramFolder());
  EXPECT_EQ(data.filename(), "");
  EXPECT_TRUE(std::filesystem::is_regular_file(data / "msdengdefault.led")) << data;
}

}  // namespace
}  // namespace korva::profile
