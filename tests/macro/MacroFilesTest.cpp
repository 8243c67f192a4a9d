// The index and macro files: what is read, what is written, and files that break the rules.

#include "macro/MacroFiles.h"

#include <gtest/gtest.h>

#include "profile/IniFile.h"
#include "tests/macro/MacroTestLibrary.h"

namespace korva::macro {
namespace {

using test_library::ReadText;
using test_library::TestLibrary;
using test_library::WriteText;

const std::vector<std::string> kThree = {"name_1", "Jump", "宏2"};

TEST(MacroIndex, MissingIndexIsAnEmptyLibraryAndWrittenNamesReadBack) {
  TestLibrary lib;
  ASSERT_TRUE(LoadMacroIndex(lib.library).ok());
  EXPECT_TRUE(LoadMacroIndex(lib.library).value().empty());

  ASSERT_TRUE(WriteMacroIndex(lib.library, kThree).ok());
  const auto names = LoadMacroIndex(lib.library);
  ASSERT_TRUE(names.ok()) << names.error().ToString();
  EXPECT_EQ(names.value(), kThree);

  // A shorter list leaves no entry of the longer one behind.
  ASSERT_TRUE(WriteMacroIndex(lib.library, {"Jump"}).ok());
  const profile::IniFile file = profile::IniFile::Load(lib.Index());
  EXPECT_EQ(file.GetString("MACROCOUNT", "count", ""), "1");
  EXPECT_EQ(file.GetString("MACRONAME", "0", ""), "Jump");
  EXPECT_FALSE(file.HasKey("MACRONAME", "1"));
  EXPECT_FALSE(file.HasKey("MACRONAME", "2"));
}

TEST(MacroIndex, TheIndexIsFoundWhateverTheLetterCaseOfItsName) {
  TestLibrary lib;
  WriteText(lib.folder.path() / "KBMACRO.INI", "[MACROCOUNT]\ncount=1\n[MACRONAME]\n0=Jump\n");
  const auto names = LoadMacroIndex(lib.library);
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(names.value(), std::vector<std::string>{"Jump"});
  ASSERT_TRUE(WriteMacroIndex(lib.library, {"Jump", "Run"}).ok());
  EXPECT_FALSE(std::filesystem::exists(lib.Index())) << "the existing file is rewritten, no second one made";
  EXPECT_EQ(LoadMacroIndex(lib.library).value().size(), 2u);
}

TEST(MacroIndex, RewritingTheMouseIndexKeepsTheCursorMacroSections) {
  TestLibrary lib(DeviceKind::kMouse);
  WriteText(lib.Index(),
            "[CURSORCOUNT]\ncount=2\n[CURSORNAME]\n0=GUN_1\n1=mine\n"
            "[MACROCOUNT]\ncount=2\n[MACRONAME]\n0=a\n1=b\n");
  ASSERT_TRUE(WriteMacroIndex(lib.library, {"b"}).ok());
  const profile::IniFile file = profile::IniFile::Load(lib.Index());
  EXPECT_EQ(file.GetString("CURSORCOUNT", "count", ""), "2");
  EXPECT_EQ(file.GetString("CURSORNAME", "1", ""), "mine");
  EXPECT_EQ(LoadMacroIndex(lib.library).value(), std::vector<std::string>{"b"});
}

TEST(MacroIndex, ListsThatCannotBeWrittenAreRefusedWithTheFileUnchanged) {
  TestLibrary lib;
  lib.WriteIndex({"a"});
  const std::string before = ReadText(lib.Index());
  std::vector<std::string> tooMany;
  for (int i = 0; i <= kMaxMacroCount; ++i) tooMany.push_back("m" + std::to_string(i));
  EXPECT_FALSE(WriteMacroIndex(lib.library, tooMany).ok());
  EXPECT_FALSE(WriteMacroIndex(lib.library, {"a", "../evil"}).ok());
  EXPECT_EQ(ReadText(lib.Index()), before);
}

// Files a hand, an old version or another program may leave: each gives an error that names the
// file, and none crashes or reads as a different library.
struct HostileIndex {
  const char* name;
  const char* text;
  const char* expect;  // part of the error
};

void PrintTo(const HostileIndex& c, std::ostream* out) { *out << c.name; }

class HostileIndexes : public ::testing::TestWithParam<HostileIndex> {};

TEST_P(HostileIndexes, AreRefusedWithAClearError) {
  TestLibrary lib;
  WriteText(lib.Index(), GetParam().text);
  const auto names = LoadMacroIndex(lib.library);
  ASSERT_FALSE(names.ok());
  const std::string error = names.error().ToString();
  EXPECT_NE(error.find(lib.Index().string()), std::string::npos) << error;
  EXPECT_NE(error.find(GetParam().expect), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, HostileIndexes,
    testing::Values(HostileIndex{"HugeCount", "[MACROCOUNT]\ncount=4294967297\n", "not a number from 0 to 50"},
                    HostileIndex{"OneOverTheLimit", "[MACROCOUNT]\ncount=51\n", "not a number from 0 to 50"},
                    HostileIndex{"NegativeCount", "[MACROCOUNT]\ncount=-1\n[MACRONAME]\n0=a\n", "not a number"},
                    HostileIndex{"TextCount", "[MACROCOUNT]\ncount=three\n", "not a number"},
                    HostileIndex{"MissingName", "[MACROCOUNT]\ncount=2\n[MACRONAME]\n0=a\n", "MACRONAME/1 is missing"},
                    HostileIndex{"NameWithAPath", "[MACROCOUNT]\ncount=1\n[MACRONAME]\n0=../../x\n", "MACRONAME/0"},
                    HostileIndex{"EmptyName", "[MACROCOUNT]\ncount=1\n[MACRONAME]\n0=\n", "MACRONAME/0"},
                    HostileIndex{"NameTwice", "[MACROCOUNT]\ncount=2\n[MACRONAME]\n0=Jump\n1=JUMP\n", "listed twice"}),
    [](const ::testing::TestParamInfo<HostileIndex>& info) { return std::string(info.param.name); });

TEST(MacroFile, SavedStepsLoadBackAndAShorterSaveDropsTheOldLines) {
  TestLibrary lib;
  const std::vector<MacroAction> steps = {{123, 0x8A, 0x04, 1, "keyboard_key_A"},
                                          {0, 0x0A, 0x04, 0, "keyboard_key_A"},
                                          {5, 0x84, 20, 1, "mouse_move_to_left_text"}};
  ASSERT_TRUE(SaveMacro(lib.library, "Jump", steps).ok());
  {
    const profile::IniFile saved = profile::IniFile::Load(lib.File("Jump"));
    EXPECT_EQ(saved.GetString("MACROACTIONCOUNT", "count", ""), "3");
    EXPECT_EQ(saved.GetString("MACROACTION", "0", ""), "123,0,138,4,1,keyboard_key_A");
    EXPECT_EQ(saved.GetString("MACROACTION", "2", ""), "5,0,132,20,1,mouse_move_to_left_text");
  }
  auto loaded = LoadMacro(lib.library, "Jump");
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.value(), steps);

  ASSERT_TRUE(SaveMacro(lib.library, "Jump", {steps[2]}).ok());
  const profile::IniFile file = profile::IniFile::Load(lib.File("Jump"));
  EXPECT_FALSE(file.HasKey("MACROACTION", "1"));
  EXPECT_FALSE(file.HasKey("MACROACTION", "2"));
  EXPECT_EQ(LoadMacro(lib.library, "Jump").value(), std::vector<MacroAction>{steps[2]});
}

TEST(MacroFile, LinesPastTheCountAreNotReadAndBrokenLinesAreLeftOut) {
  TestLibrary lib;
  WriteText(lib.File("m"),
            "[MACROACTIONCOUNT]\ncount=2\n[MACROACTION]\n0=not a step\n1=0,0,10,4,1,keyboard_key_A\n"
            "2=0,0,10,5,1,keyboard_key_B\n");
  const auto lines = ReadMacroLines(lib.File("m"));
  ASSERT_TRUE(lines.ok());
  ASSERT_EQ(lines.value().size(), 2u);
  EXPECT_FALSE(lines.value()[0].has_value());
  EXPECT_EQ(LoadMacro(lib.library, "m").value(),
            (std::vector<MacroAction>{{0, 0x0A, 0x04, 1, "keyboard_key_A"}}));
  EXPECT_TRUE(LoadMacro(lib.library, "never saved").value().empty());
}

TEST(MacroFile, StepsAndNamesThatWouldNotReadBackAreNotWritten) {
  TestLibrary lib;
  EXPECT_FALSE(SaveMacro(lib.library, "a/b", {}).ok());
  EXPECT_FALSE(SaveMacro(lib.library, "..", {}).ok());
  EXPECT_FALSE(SaveMacro(lib.library, "m", {{0, 0x0A, 4, 1, "comma,label"}}).ok());
  EXPECT_FALSE(SaveMacro(lib.library, "m", {{0, 0x0A, 4, 1, "line\nbreak"}}).ok());
  EXPECT_FALSE(SaveMacro(lib.library, "m", std::vector<MacroAction>(kMaxMacroSteps + 1)).ok());
  EXPECT_FALSE(std::filesystem::exists(lib.File("m")));
}

struct HostileMacro {
  const char* name;
  const char* text;
  bool readable;  // read by the library (lines that are not steps are left out)
};

void PrintTo(const HostileMacro& c, std::ostream* out) { *out << c.name; }

class HostileMacroFiles : public ::testing::TestWithParam<HostileMacro> {};

TEST_P(HostileMacroFiles, NeverCrashAndOnlyStrictlyValidFilesPassTheImportCheck) {
  TestLibrary lib;
  WriteText(lib.File("m"), GetParam().text);
  const auto lines = ReadMacroLines(lib.File("m"));
  EXPECT_EQ(lines.ok(), GetParam().readable) << (lines.ok() ? "" : lines.error().ToString());
  if (lines.ok()) {
    EXPECT_LE(lines.value().size(), kMaxMacroSteps);
  }
  EXPECT_FALSE(ParseMacroLines(GetParam().text, "m.mac", /*strict=*/true).ok());
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileMacroFiles,
    testing::Values(HostileMacro{"HugeCount", "[MACROACTIONCOUNT]\ncount=999999999\n", false},
                    HostileMacro{"OverTheStepLimit", "[MACROACTIONCOUNT]\ncount=8155\n", false},
                    HostileMacro{"NegativeCount", "[MACROACTIONCOUNT]\ncount=-5\n", false},
                    HostileMacro{"MissingLines", "[MACROACTIONCOUNT]\ncount=3\n[MACROACTION]\n0=0,0,10,4,1,a\n", true},
                    HostileMacro{"CommaInTheLabel", "[MACROACTIONCOUNT]\ncount=1\n[MACROACTION]\n0=0,0,10,4,1,key,A\n", true},
                    HostileMacro{"NegativeNumbers", "[MACROACTIONCOUNT]\ncount=1\n[MACROACTION]\n0=-1,-1,-1,-1\n", true},
                    HostileMacro{"NoCount", "[MACROACTION]\n0=0,0,10,4,1,keyboard_key_A\n", true},
                    HostileMacro{"NotText", "\x01\x02\xff\xfe[MACROACTIONCOUNT]\ncount=1\n", true}),
    [](const ::testing::TestParamInfo<HostileMacro>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korva::macro
