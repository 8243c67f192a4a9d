#include "profile/IniFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "TempFolder.h"

namespace korva::profile {
namespace {

using testing::ReadText;
using testing::TempFolder;
using testing::WriteBytes;
using testing::WriteText;

class IniFileTest : public ::testing::Test {
 protected:
  TempFolder temp_;
  std::filesystem::path path_ = temp_.path() / "msProfile.ini";
};

TEST_F(IniFileTest, ReadsFollowTheProfileStringRules) {
  WriteText(path_,
            "; profile index\n"
            "[PROFILEDENGCOUNT]\n"
            "count=3\n"
            "[PROFILEDENGNAME]\n"
            "0=新配置文件1\n"
            "1 =  spaced  \n"
            "2=\n"
            "0=second zero\n"
            "[PROFILEDENGSELECT]\n"
            "select=2\n");
  const struct {
    const char* name;
    const char* section;
    const char* key;
    const char* expected;
  } rows[] = {
      {"exact case", "PROFILEDENGCOUNT", "count", "3"},
      {"section ignores case", "profiledengcount", "count", "3"},
      {"key ignores case", "PROFILEDENGSELECT", "SELECT", "2"},
      {"UTF-8 value", "PROFILEDENGNAME", "0", "新配置文件1"},
      {"surrounding spaces removed", "PROFILEDENGNAME", "1", "spaced"},
      {"empty value is not the default", "PROFILEDENGNAME", "2", ""},
      {"missing key gives the default", "PROFILEDENGNAME", "3", "dflt"},
      {"missing section gives the default", "PROFILECOUNT", "count", "dflt"},
  };
  const IniFile ini = IniFile::Load(path_);
  EXPECT_FALSE(ini.corrupt());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ini.GetString(row.section, row.key, "dflt"), row.expected);
    EXPECT_EQ(ReadIniString(path_, row.section, row.key, "dflt"), row.expected);
  }
}

TEST_F(IniFileTest, MissingFileReadsAsDefaults) {
  EXPECT_EQ(ReadIniString(path_, "PROFILECOUNT", "count", "0"), "0");
  EXPECT_EQ(ReadIniInt(path_, "PROFILECOUNT", "count", 7), 7);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(IniFileTest, IntegersReadLikeAtoi) {
  const struct {
    const char* text;
    int expected;
  } rows[] = {{"12", 12},
              {"  -5", -5},
              {"+8", 8},
              {"7abc", 7},
              {"abc", 0},
              {"", 0},
              {"99999999999", INT_MAX},
              {"-99999999999", INT_MIN}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    WriteText(path_, std::string("[S]\nk=") + row.text + "\n");
    EXPECT_EQ(ReadIniInt(path_, "S", "k", 42), row.expected);
  }
}

TEST_F(IniFileTest, WriteChangesOneKeyAndKeepsTheRest) {
  WriteText(path_,
            "; kept comment\n"
            "[PROFILECOUNT]\n"
            "count=2\n"
            "[PROFILENAME]\n"
            "0=alpha\n"
            "1=beta\n");
  ASSERT_TRUE(WriteIniString(path_, "profilename", "1", "gamma"));
  const std::string once = ReadText(path_);
  EXPECT_EQ(once.rfind("; kept comment\n", 0), 0u) << once;
  const IniFile ini = IniFile::Load(path_);
  EXPECT_EQ(ini.GetString("PROFILECOUNT", "count", ""), "2");
  EXPECT_EQ(ini.GetString("PROFILENAME", "0", ""), "alpha");
  EXPECT_EQ(ini.GetString("PROFILENAME", "1", ""), "gamma");
  // Sections keep their order and spelling; repeated writes do not make the file grow.
  EXPECT_LT(once.find("[PROFILECOUNT]"), once.find("[PROFILENAME]"));
  ASSERT_TRUE(WriteIniString(path_, "PROFILENAME", "1", "gamma"));
  EXPECT_EQ(ReadText(path_), once);
}

TEST_F(IniFileTest, WriteCreatesFileAndSection) {
  ASSERT_TRUE(WriteIniInt(path_, "PROFILESELECT", "select", 4));
  ASSERT_TRUE(WriteIniString(path_, "PROFILENAME", "0", "新配置文件1"));
  EXPECT_EQ(ReadIniInt(path_, "PROFILESELECT", "select", 0), 4);
  EXPECT_EQ(ReadIniString(path_, "PROFILENAME", "0", ""), "新配置文件1");
}

// Reads see the first of several equal keys; a write changes that one and drops the later ones,
// which no read could reach.
TEST_F(IniFileTest, DuplicateKeysReadAndWriteTheFirst) {
  WriteText(path_, "[S]\nk=first\nk=second\nother=1\n");
  EXPECT_EQ(ReadIniString(path_, "S", "k", ""), "first");
  ASSERT_TRUE(WriteIniString(path_, "S", "K", "new"));
  EXPECT_EQ(ReadText(path_), "[S]\nk=new\nother=1\n");
}

TEST_F(IniFileTest, TextThatCannotBeReadBackIsRefused) {
  WriteText(path_, "[S]\nk=old\n");
  const struct {
    const char* name;
    std::string section, key, value;
  } rows[] = {
      {"line break in value", "S", "k", "a\n[PROFILECOUNT]\ncount=99"},
      {"carriage return in value", "S", "k", "a\rb"},
      {"NUL in value", "S", "k", std::string("a\0b", 3)},
      {"not UTF-8", "S", "k", "\xff\xfe"},
      {"equals sign in key", "S", "a=b", "v"},
      {"bracket in section", "S]x", "k", "v"},
      {"empty key", "S", "", "v"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(WriteIniString(path_, row.section, row.key, row.value));
    EXPECT_EQ(ReadText(path_), "[S]\nk=old\n");
  }
}

// A damaged line costs its own keys only: every other line reads as before, and the report
// names the file and the line.
TEST_F(IniFileTest, DamagedLinesAreLeftOutAndTheRestIsRead) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::string text;
    std::size_t damagedLine;
    const char* inS;  // S/b as read: the key after the damage, in the same section
  } rows[] = {
      {"NUL byte in a line", "[S]\na=1\nbad=x\0y\nb=2\n[T]\nc=3\n"s, 3, "2"},
      {"Latin-1 byte in a line", "[S]\na=1\nname=caf\xE9\nb=2\n[T]\nc=3\n", 3, "2"},
      {"block of zero bytes", "[S]\na=1\nb=2\n"s + std::string(600, '\0') + "\n[T]\nc=3\n", 4, "2"},
      // The keys under a section of unknown name are not counted into the section before it.
      {"section line damaged", "[S]\na=1\n[T\xE9]\nb=9\n[T]\nc=3\n", 3, "dflt"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteText(path_, row.text);
    const IniFile ini = IniFile::Load(path_);
    EXPECT_TRUE(ini.corrupt());
    EXPECT_FALSE(ini.empty());
    EXPECT_EQ(ini.GetString("S", "a", "dflt"), "1");
    EXPECT_EQ(ini.GetString("S", "b", "dflt"), row.inS);
    EXPECT_EQ(ini.GetString("T", "c", "dflt"), "3");
    EXPECT_EQ(ini.GetString("S", "bad", "dflt"), "dflt");
    ASSERT_FALSE(ini.damage().empty());
    EXPECT_EQ(ini.damage().front().file, path_.string());
    EXPECT_EQ(ini.damage().front().line, row.damagedLine);
    EXPECT_NE(ini.problem().find("In file " + path_.string() + ", line " + std::to_string(row.damagedLine)),
              std::string::npos)
        << ini.problem();
    // Reading changes nothing on disk.
    EXPECT_EQ(ReadText(path_), row.text);
    EXPECT_FALSE(std::filesystem::exists(BackupPath(path_, 0)));
  }
}

TEST_F(IniFileTest, BeyondTheSizeLimitTheLinesBeforeItAreRead) {
  std::string text = "[S]\na=1\n";
  const std::string filler = "; " + std::string(1000, '-') + "\n";
  while (text.size() <= 4u * 1024u * 1024u) text += filler;
  text += "[T]\nlate=1\n";
  WriteText(path_, text);
  const IniFile ini = IniFile::Load(path_);
  EXPECT_TRUE(ini.corrupt());
  EXPECT_EQ(ini.GetString("S", "a", "dflt"), "1");
  EXPECT_EQ(ini.GetString("T", "late", "dflt"), "dflt");
  ASSERT_FALSE(ini.damage().empty());
  EXPECT_GT(ini.damage().back().line, 2u);
}

TEST_F(IniFileTest, AFileWithNothingReadableReadsAsDefaults) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } rows[] = {
      {"binary with NUL bytes", {0x00, 0x5B, 0x53, 0x5D, 0x0A, 0x6B, 0x3D, 0x31, 0x00, 0xFF}},
      {"UTF-16 text", {0xFF, 0xFE, '[', 0, 'S', 0, ']', 0, '\n', 0, 'k', 0, '=', 0, '1', 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteBytes(path_, row.bytes);
    const IniFile ini = IniFile::Load(path_);
    EXPECT_TRUE(ini.corrupt());
    EXPECT_TRUE(ini.empty());
    EXPECT_EQ(ini.GetString("S", "k", "dflt"), "dflt");
    EXPECT_EQ(ReadIniInt(path_, "S", "k", 5), 5);
  }
}

TEST_F(IniFileTest, FolderInPlaceOfTheFileReadsAsDefaultsAndIsNotReplaced) {
  std::filesystem::create_directory(path_);
  EXPECT_EQ(ReadIniString(path_, "S", "k", "dflt"), "dflt");
  EXPECT_FALSE(WriteIniString(path_, "S", "k", "v"));
  EXPECT_TRUE(std::filesystem::is_directory(path_));
}

// A write to a damaged file keeps what could be read, and the whole old file in a backup; a
// later damage gets a backup of its own, never one written over the first.
TEST_F(IniFileTest, WritingOverADamagedFileKeepsEveryBackup) {
  using namespace std::string_literals;
  const std::string first = "[S]\na=1\nbad=\xE9\n"s;
  const std::string second = "[S]\na=1\nz=\0\n"s;
  WriteText(path_, first);
  ASSERT_TRUE(WriteIniString(path_, "S", "b", "2"));
  EXPECT_EQ(ReadText(BackupPath(path_, 0)), first);
  const IniFile repaired = IniFile::Load(path_);
  EXPECT_FALSE(repaired.corrupt());
  EXPECT_EQ(repaired.GetString("S", "a", ""), "1");
  EXPECT_EQ(repaired.GetString("S", "b", ""), "2");

  // A sound file is written without a backup.
  ASSERT_TRUE(WriteIniString(path_, "S", "c", "3"));
  EXPECT_FALSE(std::filesystem::exists(BackupPath(path_, 1)));

  WriteText(path_, second);
  ASSERT_TRUE(WriteIniString(path_, "S", "b", "4"));
  EXPECT_EQ(ReadText(BackupPath(path_, 0)), first);
  EXPECT_EQ(ReadText(BackupPath(path_, 1)), second);
  EXPECT_EQ(BackupPath(path_, 1).filename(), "msProfile.ini.bad.1");
  EXPECT_EQ(ReadIniString(path_, "S", "a", ""), "1");
  EXPECT_EQ(ReadIniString(path_, "S", "b", ""), "4");
}

TEST_F(IniFileTest, UpdateChangesSeveralKeysInOneWrite) {
  ASSERT_TRUE(UpdateIniFile(path_, [](IniFile& ini) {
    ini.SetInt("PROFILECOUNT", "count", 1);
    ini.SetString("PROFILENAME", "0", "one");
    ini.SetInt("PROFILESELECT", "select", 0);
  }));
  const IniFile ini = IniFile::Load(path_);
  EXPECT_EQ(ini.GetInt("PROFILECOUNT", "count", -1), 1);
  EXPECT_EQ(ini.GetString("PROFILENAME", "0", ""), "one");
  EXPECT_EQ(ini.GetInt("PROFILESELECT", "select", -1), 0);
}

TEST_F(IniFileTest, ConcurrentWritersLoseNoKey) {
  constexpr int kPerThread = 20;
  auto writer = [this](const char* section) {
    for (int i = 0; i < kPerThread; ++i) ASSERT_TRUE(WriteIniInt(path_, section, std::to_string(i), i));
  };
  std::thread a(writer, "A");
  std::thread b(writer, "B");
  a.join();
  b.join();
  const IniFile ini = IniFile::Load(path_);
  for (int i = 0; i < kPerThread; ++i) {
    EXPECT_EQ(ini.GetInt("A", std::to_string(i), -1), i);
    EXPECT_EQ(ini.GetInt("B", std::to_string(i), -1), i);
  }
}

}  // namespace
}  // namespace korva::profile
