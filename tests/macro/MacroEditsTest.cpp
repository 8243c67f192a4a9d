// Adding, deleting, renaming, exporting and importing macros, on the files.

#include "macro/MacroEdits.h"

#include <gtest/gtest.h>

#include "tests/macro/MacroTestLibrary.h"

namespace korva::macro {
namespace {

using test_library::ReadText;
using test_library::TestLibrary;
using test_library::WriteText;

const std::vector<MacroAction> kSteps = {{5, 0x8A, 0x04, 1, "keyboard_key_A"}, {0, 0x0A, 0x04, 0, "keyboard_key_A"}};

TEST(MacroNames, ANewMacroTakesTheFirstFreeNumberFromCountPlusOne) {
  struct Case {
    std::vector<std::string> names;
    const char* next;
  };
  const Case cases[] = {{{}, "name_1"},
                        {{"x"}, "name_2"},
                        {{"name_1", "name_2"}, "name_3"},
                        {{"NAME_3", "b"}, "name_4"},
                        {{"a", "name_3", "name_4"}, "name_5"}};
  for (const Case& c : cases) EXPECT_EQ(NewMacroName(c.names), c.next);
}

TEST(MacroEdits, AddAppendsUpToFiftyAndRefusesTheFiftyFirst) {
  TestLibrary lib;
  for (int i = 1; i <= kMaxMacroCount; ++i) {
    const MacroEditResult added = AddMacro(lib.library);
    ASSERT_TRUE(added.ok()) << added.error.ToString();
    EXPECT_EQ(added.index, i - 1);
    EXPECT_EQ(added.names.back(), "name_" + std::to_string(i));
  }
  const std::string before = ReadText(lib.Index());
  const MacroEditResult refused = AddMacro(lib.library);
  EXPECT_EQ(refused.status, MacroEditStatus::kLimit);
  EXPECT_EQ(refused.TextId(), "message_text_17");
  EXPECT_EQ(refused.TextNumber(), 50);
  EXPECT_EQ(ReadText(lib.Index()), before);
  EXPECT_EQ(LoadMacroIndex(lib.library).value().size(), 50u);
  EXPECT_FALSE(std::filesystem::exists(lib.File("name_1"))) << "no file until the macro is saved";
}

TEST(MacroEdits, DeleteRenumbersTheIndexAndRemovesTheFile) {
  TestLibrary lib;
  lib.WriteIndex({"a", "b", "c"});
  lib.WriteMacro("b", {"0,0,10,4,1,keyboard_key_A"});
  lib.WriteMacro("c", {});
  const MacroEditResult deleted = DeleteMacro(lib.library, 1);
  ASSERT_TRUE(deleted.ok()) << deleted.error.ToString();
  EXPECT_EQ(deleted.names, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(LoadMacroIndex(lib.library).value(), deleted.names);
  EXPECT_FALSE(std::filesystem::exists(lib.File("b")));
  EXPECT_TRUE(std::filesystem::exists(lib.File("c")));
  EXPECT_EQ(DeleteMacro(lib.library, 2).status, MacroEditStatus::kNoSuchMacro);
  EXPECT_EQ(DeleteMacro(lib.library, -1).status, MacroEditStatus::kNoSuchMacro);
}

TEST(MacroEdits, DeletingAMouseMacroKeepsTheCursorMacros) {
  TestLibrary lib(DeviceKind::kMouse);
  WriteText(lib.Index(), "[CURSORCOUNT]\ncount=1\n[CURSORNAME]\n0=GUN_1\n[MACROCOUNT]\ncount=2\n[MACRONAME]\n0=a\n1=b\n");
  ASSERT_TRUE(DeleteMacro(lib.library, 0).ok());
  const std::string text = ReadText(lib.Index());
  EXPECT_NE(text.find("[CURSORCOUNT]\ncount=1"), std::string::npos) << text;
  EXPECT_NE(text.find("[CURSORNAME]\n0=GUN_1"), std::string::npos) << text;
  EXPECT_EQ(LoadMacroIndex(lib.library).value(), std::vector<std::string>{"b"});
}

TEST(MacroEdits, RenameWritesTheStepsUnderTheNewName) {
  TestLibrary lib;
  lib.WriteIndex({"a", "b"});
  lib.WriteMacro("a", {"0,0,10,9,1,keyboard_key_F"});
  const MacroEditResult renamed = RenameMacro(lib.library, 0, "Jump", kSteps);
  ASSERT_TRUE(renamed.ok()) << renamed.error.ToString();
  EXPECT_EQ(LoadMacroIndex(lib.library).value(), (std::vector<std::string>{"Jump", "b"}));
  EXPECT_FALSE(std::filesystem::exists(lib.File("a")));
  EXPECT_EQ(LoadMacro(lib.library, "Jump").value(), kSteps) << "the editor's steps, not the old file's";
}

TEST(MacroEdits, RenamesThatAreRefusedChangeNoFile) {
  struct Case {
    const char* name;
    const char* newName;
    MacroEditStatus status;
    const char* text;
  };
  const Case cases[] = {
      {"same name in another case", "A", MacroEditStatus::kUnchanged, ""},
      {"another macro's name", "B", MacroEditStatus::kNameTaken, "message_text_5"},
      {"a stray file of that name", "stray", MacroEditStatus::kNameTaken, "message_text_5"},
      {"a path", "../x", MacroEditStatus::kNameRefused, "message_text_name_refused"},
      {"empty", "", MacroEditStatus::kNameRefused, "message_text_name_refused"},
  };
  for (const Case& c : cases) {
    TestLibrary lib;
    lib.WriteIndex({"a", "b"});
    lib.WriteMacro("a", {"0,0,10,9,1,keyboard_key_F"});
    WriteText(lib.File("stray"), "kept");
    const std::string index = ReadText(lib.Index());
    const std::string file = ReadText(lib.File("a"));
    const MacroEditResult result = RenameMacro(lib.library, 0, c.newName, kSteps);
    EXPECT_EQ(result.status, c.status) << c.name;
    EXPECT_EQ(result.TextId(), c.text) << c.name;
    EXPECT_EQ(ReadText(lib.Index()), index) << c.name;
    EXPECT_EQ(ReadText(lib.File("a")), file) << c.name;
    EXPECT_EQ(ReadText(lib.File("stray")), "kept") << c.name;
  }
}

TEST(MacroEdits, ExportAndImportCopyTheFileByteForByte) {
  TestLibrary lib;
  lib.WriteIndex({"a", "b"});
  const std::string text = "; mine\n[MACROACTIONCOUNT]\ncount=1\n[MACROACTION]\n0=5,0,129,1,1,mouse_key_left\n";
  WriteText(lib.File("a"), text);
  const std::filesystem::path outside = lib.folder.path() / "out.mac";
  ASSERT_TRUE(ExportMacro(lib.library, 0, outside).ok());
  EXPECT_EQ(ReadText(outside), text);
  EXPECT_EQ(ExportMacro(lib.library, 1, outside).status, MacroEditStatus::kFileMissing) << "b was never saved";
  EXPECT_EQ(ReadText(outside), text);

  ASSERT_TRUE(ImportMacro(lib.library, 1, outside).ok());
  EXPECT_EQ(ReadText(lib.File("b")), text);
  EXPECT_EQ(LoadMacroIndex(lib.library).value(), (std::vector<std::string>{"a", "b"})) << "the macro keeps its name";
}

TEST(MacroEdits, AnImportedFileThatIsNotAMacroChangesNothing) {
  const char* files[] = {
      "just some text\n",
      "[MACROACTIONCOUNT]\ncount=2\n[MACROACTION]\n0=0,0,10,4,1,keyboard_key_A\n",
      "[MACROACTIONCOUNT]\ncount=1\n[MACROACTION]\n0=0,0,10,4,1,key,A\n",
      "[MACROACTIONCOUNT]\ncount=99999\n",
      "\x89PNG\r\n\x1a\n\x00\x00",
  };
  for (const char* file : files) {
    TestLibrary lib;
    lib.WriteIndex({"a"});
    lib.WriteMacro("a", {"0,0,10,4,1,keyboard_key_A"});
    const std::string before = ReadText(lib.File("a"));
    const std::filesystem::path source = lib.folder.path() / "in.mac";
    WriteText(source, file);
    const MacroEditResult result = ImportMacro(lib.library, 0, source);
    EXPECT_EQ(result.status, MacroEditStatus::kNotAMacro) << file;
    EXPECT_EQ(result.TextId(), "message_text_macro_invalid");
    EXPECT_EQ(ReadText(lib.File("a")), before) << file;
  }
  TestLibrary lib;
  lib.WriteIndex({"a"});
  EXPECT_EQ(ImportMacro(lib.library, 0, lib.folder.path() / "missing.mac").status, MacroEditStatus::kNotAMacro);
}

TEST(MacroEdits, ADamagedIndexRefusesEveryEdit) {
  TestLibrary lib;
  WriteText(lib.Index(), "[MACROCOUNT]\ncount=-3\n");
  const std::string before = ReadText(lib.Index());
  EXPECT_EQ(AddMacro(lib.library).status, MacroEditStatus::kUnreadable);
  EXPECT_EQ(DeleteMacro(lib.library, 0).status, MacroEditStatus::kUnreadable);
  EXPECT_EQ(RenameMacro(lib.library, 0, "x", {}).status, MacroEditStatus::kUnreadable);
  EXPECT_EQ(ReadText(lib.Index()), before);
}

}  // namespace
}  // namespace korva::macro
