// The cursor macros on disk (index, pattern files, shipped defaults), their block and its download
// to the simulated mouse.

#include "mouse/CursorMacros.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "SimMouse.h"
#include "macro/MacroEdits.h"
#include "profile/IniFile.h"
#include "tests/profile/TempFolder.h"

namespace korva::mouse {
namespace {

using korva::test::Request;
using korva::test::Sent;
using profile::testing::ReadBytes;
using profile::testing::ReadText;
using profile::testing::TempFolder;
using profile::testing::WriteText;

std::filesystem::path ShippedDefaults() {
  const char* source = std::getenv("KORVA_SOURCE_DIR");
  return std::filesystem::path(source != nullptr && *source != '\0' ? source : KORVA_MOUSE_TEST_SOURCE_DIR) /
         "data";
}

// A macro file of `lines`, counted.
std::string MacroText(const std::vector<std::string>& lines) {
  std::string text = "[MACROACTIONCOUNT]\ncount=" + std::to_string(lines.size()) + "\n[MACROACTION]\n";
  for (std::size_t i = 0; i < lines.size(); ++i) text += std::to_string(i) + "=" + lines[i] + "\n";
  return text;
}

std::string IndexText(const std::vector<std::string>& names) {
  std::string text = "[CURSORCOUNT]\ncount=" + std::to_string(names.size()) + "\n[CURSORNAME]\n";
  for (std::size_t i = 0; i < names.size(); ++i) text += std::to_string(i) + "=" + names[i] + "\n";
  return text;
}

// The requests of one cursor block of `size` bytes: begin, command 0x17 in chunks of 56, end.
std::vector<Sent> CursorBlockRequests(std::size_t size) {
  std::vector<Sent> expected{Request(0x01, 0, 0)};
  for (std::size_t offset = 0; offset < size; offset += 56)
    expected.push_back(Request(0x17, static_cast<std::uint8_t>(std::min<std::size_t>(56, size - offset)),
                               static_cast<std::uint16_t>(offset)));
  expected.push_back(Request(0x02, 0, 0));
  return expected;
}

class CursorMacrosTest : public ::testing::Test {
 protected:
  std::filesystem::path Data(const std::string& name) const { return temp.path() / name; }
  void WriteGuns(const std::vector<std::vector<std::string>>& guns) const {
    std::vector<std::string> names;
    for (std::size_t k = 0; k < guns.size(); ++k) {
      names.push_back("g" + std::to_string(k));
      WriteText(Data(names.back() + ".cur"), MacroText(guns[k]));
    }
    WriteText(Data("msMacro.ini"), IndexText(names));
  }

  TempFolder temp;
  CursorMacros cursors{temp.path(), ShippedDefaults()};
};

TEST_F(CursorMacrosTest, InitialiseSeedsTheIndexAndTheMissingDefaultsOnly) {
  WriteText(Data("NAME_2.Cur"), MacroText({"1,0,5,3,0,mouse_move_to_down_text"}));  // the user's, any case
  WriteText(Data("msMacro.ini"), "[MACROCOUNT]\ncount=1\n[MACRONAME]\n0=fire\n");
  ASSERT_TRUE(cursors.Initialise());

  const profile::IniFile index = profile::IniFile::Load(Data("msMacro.ini"));
  EXPECT_EQ(index.GetString("CURSORCOUNT", "count", ""), "4");
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(index.GetString("CURSORNAME", std::to_string(k), ""), "name_" + std::to_string(k + 1));
  EXPECT_EQ(index.GetString("MACRONAME", "0", ""), "fire") << "the macro index is kept";
  EXPECT_EQ(ReadBytes(Data("name_1.cur")), ReadBytes(ShippedDefaults() / "name_1.cur"));
  EXPECT_EQ(ReadText(Data("NAME_2.Cur")), MacroText({"1,0,5,3,0,mouse_move_to_down_text"}));
  EXPECT_FALSE(std::filesystem::exists(Data("name_2.cur")));

  // Set up once: a later start leaves the user's edits.
  ASSERT_TRUE(cursors.StoreBullet(0, 0, {500, {7, true}, {9, false}}));
  const auto edited = ReadBytes(Data("name_1.cur"));
  ASSERT_TRUE(cursors.Initialise());
  EXPECT_EQ(ReadBytes(Data("name_1.cur")), edited);
}

TEST_F(CursorMacrosTest, TheShippedPatternsAreCursorMacrosOfThirtyShotsAndFitTheMouse) {
  for (int k = 1; k <= 4; ++k) {
    const std::filesystem::path file = ShippedDefaults() / ("name_" + std::to_string(k) + ".cur");
    SCOPED_TRACE(file.string());
    EXPECT_TRUE(CheckCursorFile(ReadText(file), file.string()));
    const Result<macro::MacroLines> lines = macro::ReadMacroLines(file);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines.value().size(), std::size_t{kBulletCount * kStepsPerBullet});
  }
  ASSERT_TRUE(cursors.Initialise());
  const CursorBulletView first = cursors.ReadBullet(0, 0);
  EXPECT_GT(first.delayMs, 0u);
  ASSERT_TRUE(first.y);
  EXPECT_GT(first.y->distance, 0) << "the first shot pulls down";
  EXPECT_FALSE(first.y->negative);
  const macro::MacroBlock block = cursors.BuildBlock();
  EXPECT_EQ(block.status, macro::MacroBlockStatus::kBuilt);
  EXPECT_EQ(block.size, 2920u);
}

TEST_F(CursorMacrosTest, AShotIsStoredInItsThreeStepsAndReadBack) {
  WriteGuns({std::vector<std::string>(12, "3,0,1,1,0,mouse_key_left")});
  ASSERT_TRUE(cursors.StoreBullet(0, 1, {1234, {12, true}, {40, false}}));
  const profile::IniFile file = profile::IniFile::Load(Data("g0.cur"));
  EXPECT_EQ(file.GetString("MACROACTION", "9", ""), "123,0,1,1,0,mouse_key_left")
      << "kind, code, down, label kept";
  EXPECT_EQ(file.GetString("MACROACTION", "10", ""), "0,0,132,12,1,mouse_move_to_left_text");
  EXPECT_EQ(file.GetString("MACROACTION", "11", ""), "0,0,5,40,0,mouse_move_to_down_text");
  EXPECT_EQ(file.GetString("MACROACTION", "6", ""), "3,0,1,1,0,mouse_key_left")
      << "the shot's first steps stay";
  EXPECT_EQ(file.GetString("MACROACTIONCOUNT", "count", ""), "12");

  const CursorBulletView view = cursors.ReadBullet(0, 1);
  EXPECT_EQ(view.delayMs, 1230u);
  EXPECT_EQ(view.x, (CursorMove{12, true}));
  EXPECT_EQ(view.y, (CursorMove{40, false}));
  // Shot 0's moves are button steps here: not moves, so not shown.
  const CursorBulletView other = cursors.ReadBullet(0, 0);
  EXPECT_EQ(other.delayMs, 30u);
  EXPECT_FALSE(other.x);
  EXPECT_FALSE(other.y);
  // Up and right, and a delay of 3000 ms (300 units: 44, 1).
  ASSERT_TRUE(cursors.StoreBullet(0, 1, {3000, {0, false}, {255, true}}));
  const profile::IniFile again = profile::IniFile::Load(Data("g0.cur"));
  EXPECT_EQ(again.GetString("MACROACTION", "9", ""), "44,1,1,1,0,mouse_key_left");
  EXPECT_EQ(again.GetString("MACROACTION", "10", ""), "0,0,4,0,0,mouse_move_to_right_text");
  EXPECT_EQ(again.GetString("MACROACTION", "11", ""), "0,0,133,255,1,mouse_move_to_up_text");
}

TEST_F(CursorMacrosTest, EveryOperationFindsThePatternThroughItsIndexName) {
  ASSERT_TRUE(cursors.Initialise());
  // The user renamed pattern 2's file in the index.
  ASSERT_TRUE(profile::UpdateIniFile(Data("msMacro.ini"),
                                     [](profile::IniFile& f) { f.SetString("CURSORNAME", "2", "sniper"); }));
  WriteText(Data("sniper.cur"), MacroText(std::vector<std::string>(6, "0,0,5,1,0,mouse_move_to_down_text")));
  const auto name3 = ReadBytes(Data("name_3.cur"));

  ASSERT_TRUE(cursors.StoreBullet(2, 0, {100, {1, false}, {2, false}}));
  EXPECT_EQ(cursors.ReadBullet(2, 0).delayMs, 100u);
  EXPECT_EQ(ReadBytes(Data("name_3.cur")), name3) << "the fixed name is not used for edits";

  const std::filesystem::path exported = temp.path() / "out";
  std::filesystem::create_directory(exported);
  EXPECT_TRUE(cursors.ExportGun(2, exported / "mine.cur").ok());
  EXPECT_EQ(ReadBytes(exported / "mine.cur"), ReadBytes(Data("sniper.cur")));

  EXPECT_TRUE(cursors.ResetGun(2).ok());
  EXPECT_EQ(ReadBytes(Data("sniper.cur")), ReadBytes(ShippedDefaults() / "name_3.cur"))
      << "reset: the shipped default";

  EXPECT_TRUE(cursors.ImportGun(2, exported / "mine.cur").ok());
  EXPECT_EQ(ReadBytes(Data("sniper.cur")), ReadBytes(exported / "mine.cur"));
  EXPECT_EQ(ReadBytes(Data("name_3.cur")), name3);
}

TEST_F(CursorMacrosTest, AnImportThatIsNotACursorMacroChangesNothing) {
  ASSERT_TRUE(cursors.Initialise());
  const auto before = ReadBytes(Data("name_1.cur"));
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"empty", ""},
      {"binary", std::string("\x7f"
                             "ELF\x02\x01\x01\0\0\0",
                             10)},
      {"no count", "[MACROACTION]\n0=0,0,5,1,0,mouse_move_to_down_text\n"},
      {"a counted line missing", "[MACROACTIONCOUNT]\ncount=2\n[MACROACTION]\n0=0,0,5,1,0,x\n"},
      {"a line that is not a step", MacroText({"0,0,5,1,0,x", "hello"})},
      {"a negative count", "[MACROACTIONCOUNT]\ncount=-3\n"},
      {"a huge count", "[MACROACTIONCOUNT]\ncount=99999999999999999999\n"},
      {"more steps than the mouse holds", MacroText(std::vector<std::string>(763, "0,0,5,1,0,x"))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteText(temp.path() / "in.cur", c.text);
    const CursorResult result = cursors.ImportGun(0, temp.path() / "in.cur");
    EXPECT_EQ(result.textId, kTextCursorInvalid);
    EXPECT_EQ(ReadBytes(Data("name_1.cur")), before);
  }
  EXPECT_EQ(cursors.ImportGun(0, temp.path() / "missing.cur").textId, kTextCursorInvalid);
  EXPECT_EQ(ReadBytes(Data("name_1.cur")), before);
}

TEST_F(CursorMacrosTest, TheBlockHasTheMacroBlockLayout) {
  WriteGuns({{"5,0,133,4,1,mouse_move_to_up_text"}, {"0,1,4,7,0,mouse_move_to_right_text", "not a step"}});
  // The uncounted-by-parse line still takes its four bytes, as zeros.
  WriteText(Data("g1.cur"),
            "[MACROACTIONCOUNT]\ncount=2\n[MACROACTION]\n0=0,1,4,7,0,mouse_move_to_right_text\n1=junk\n");
  const macro::MacroBlock block = cursors.BuildBlock();
  ASSERT_EQ(block.status, macro::MacroBlockStatus::kBuilt);
  const std::vector<std::uint8_t> golden{
      0xAA, 0x55, 40, 0, 2, 0, 0,    0, 0, 0, 0, 0, 0, 0, 0, 0,  // header: S = 16 + 12 + 12, n = 2
      20,   0,    28, 0,                                         // offsets
      1,    0,    0,  0, 5, 0, 0x85, 4,                          // pattern 0: one step
      2,    0,    0,  0, 0, 1, 0x04, 7, 0, 0, 0, 0,  // pattern 1: two steps, the second unreadable
  };
  EXPECT_EQ(block.bytes, golden);
}

TEST_F(CursorMacrosTest, BlockSizeDecidesWhatIsSent) {
  struct Case {
    std::size_t steps;  // per pattern, four patterns
    bool sent;
    std::size_t size;
  };
  for (const Case c :
       {Case{180, true, 2920}, Case{183, true, 2968}, Case{190, false, 3080}, Case{762, false, 12232}}) {
    SCOPED_TRACE(c.steps);
    WriteGuns(std::vector<std::vector<std::string>>(4, std::vector<std::string>(c.steps, "1,0,5,2,0,d")));
    test::SimMouse mouse;
    ASSERT_TRUE(mouse.opened);
    mouse.ClearRequests();
    const CursorDownload download = DownloadCursorMacros(mouse.device, cursors);
    EXPECT_EQ(download.sent, c.sent);
    if (c.sent) {
      EXPECT_TRUE(download.result.ok());
      EXPECT_EQ(mouse.Requests(), CursorBlockRequests(c.size));
      const macro::MacroBlock block = cursors.BuildBlock();
      const std::vector<std::uint8_t> memory = mouse.firmware().CursorMacroMemory();
      ASSERT_GE(memory.size(), block.bytes.size());
      EXPECT_TRUE(std::equal(block.bytes.begin(), block.bytes.end(), memory.begin())) << "the mouse keeps it";
    } else {
      EXPECT_EQ(download.result.textId, kTextCursorTooLarge);
      EXPECT_EQ(download.result.number, static_cast<int>(c.size - 3072));
      EXPECT_TRUE(mouse.Requests().empty());
    }
  }
}

TEST_F(CursorMacrosTest, DamagedIndexesAndFilesSendNothingAndNeverCrash) {
  struct Case {
    const char* what;
    std::string index;
    std::string file;  // g0.cur
    std::string_view textId;
  };
  const std::string oneStep = MacroText({"1,0,5,2,0,d"});
  const Case cases[] = {
      {"no index", "", oneStep, ""},
      {"count 0", IndexText({}), oneStep, ""},
      {"count above four", "[CURSORCOUNT]\ncount=5\n", oneStep, kTextCursorUnreadable},
      {"count not a number", "[CURSORCOUNT]\ncount=four\n", oneStep, kTextCursorUnreadable},
      {"count that wraps", "[CURSORCOUNT]\ncount=4294967297\n", oneStep, kTextCursorUnreadable},
      {"a name missing", "[CURSORCOUNT]\ncount=2\n[CURSORNAME]\n0=g0\n", oneStep, kTextCursorUnreadable},
      {"a name leaving the folder", IndexText({"../g0"}), oneStep, kTextCursorUnreadable},
      {"a name twice", IndexText({"g0", "G0"}), oneStep, kTextCursorUnreadable},
      {"file count not a number", IndexText({"g0"}), "[MACROACTIONCOUNT]\ncount=x\n", kTextCursorUnreadable},
      {"file count far too large", IndexText({"g0"}), "[MACROACTIONCOUNT]\ncount=4000000000\n",
       kTextCursorUnreadable},
      {"file count above the block", IndexText({"g0"}), "[MACROACTIONCOUNT]\ncount=8000\n",
       kTextCursorTooLarge},
      {"binary file", IndexText({"g0"}), std::string("\0\xff\xfe[\n=\0", 7), ""},
      {"missing file", IndexText({"g0", "absent"}), oneStep, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(Data("msMacro.ini"));
    if (!c.index.empty()) WriteText(Data("msMacro.ini"), c.index);
    WriteText(Data("g0.cur"), c.file);
    test::SimMouse mouse;
    ASSERT_TRUE(mouse.opened);
    mouse.ClearRequests();
    const CursorDownload download = DownloadCursorMacros(mouse.device, cursors);
    EXPECT_EQ(download.result.textId, c.textId);
    if (!c.textId.empty()) {
      EXPECT_TRUE(mouse.Requests().empty());
    }
    // Reading and storing a shot of a damaged library does not crash either.
    (void)cursors.ReadBullet(0, 29);
    (void)cursors.StoreBullet(0, 29, {});
    EXPECT_FALSE(cursors.StoreBullet(0, 30, {})) << "no shot 31";
    EXPECT_FALSE(cursors.StoreBullet(4, 0, {})) << "no pattern 5";
  }
}

TEST_F(CursorMacrosTest, DeletingAMouseMacroKeepsTheCursorIndex) {
  ASSERT_TRUE(cursors.Initialise());
  const macro::MacroLibrary library{temp.path(), DeviceKind::kMouse};
  ASSERT_TRUE(macro::AddMacro(library).ok());
  ASSERT_TRUE(macro::AddMacro(library).ok());
  ASSERT_TRUE(macro::DeleteMacro(library, 0).ok());
  const Result<std::vector<std::string>> names = cursors.Names();
  ASSERT_TRUE(names);
  EXPECT_EQ(names.value(), (std::vector<std::string>{"name_1", "name_2", "name_3", "name_4"}));
}

}  // namespace
}  // namespace korva::mouse
