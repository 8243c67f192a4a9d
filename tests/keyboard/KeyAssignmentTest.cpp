// The key-function editor over a keyboard image read from the simulated keyboard's factory tables:
// what the panel shows, what it composes, the capture, the restore, the labels.

#include "keyboard/KeyAssignment.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "keyboard/KeyTables.h"
#include "keyboard/KeyboardTransfer.h"
#include "tests/sim/SimAttached.h"

namespace korva::keyboard {
namespace {

using namespace key_type;

// The panel as plain values.
class FakePanel final : public PanelSource {
 public:
  int ComboItem(int combo) const override {
    const auto it = combos.find(combo);
    return it == combos.end() ? -1 : it->second;
  }
  std::string EditText(int edit) const override {
    const auto it = edits.find(edit);
    return it == edits.end() ? std::string() : it->second;
  }
  void Apply(const PanelView& view) {
    for (const PanelView::Fill& fill : view.combos) combos[fill.control] = fill.value;
    for (const PanelView::Fill& fill : view.edits) edits[fill.control] = std::to_string(fill.value);
    if (view.keyTextId) edits[21] = std::string(*view.keyTextId);
  }

  std::map<int, int> combos;
  std::map<int, std::string> edits;
};

// Key pictures of the simulated keyboard (its own key order is the pictures' order).
constexpr std::size_t kPictureA = 64;
constexpr std::size_t kPictureEsc = 0;

class KeyAssignmentTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(keyboard.opened);
    ASSERT_TRUE(ReadKeyboardAll(keyboard.device, image).ok());
  }
  KeyFunction Entry(std::size_t picture) const {
    return EntryAt(image.banks[0], image.keyButtonMap[picture]);
  }

  test::SimAttachedDevice keyboard{sim::SimDeviceKind::kKeyboard, {}};
  KeyboardImage image;
  KeyEditor editor;
  FakePanel panel;
};

// Each row: open a key, choose a kind, fill the panel, assign; the stored function and what the key
// shows when it is opened again.
struct AssignRow {
  std::string name;
  int kind;
  std::map<int, int> combos;
  std::map<int, std::string> edits;
  KeyFunction stored;
};

TEST_F(KeyAssignmentTest, EachKindComposesItsFunctionAndShowsItAgain) {
  const AssignRow rows[] = {
      {"tilt right 5 with nibbles 2 and 3", 3, {{12, 1}}, {{15, "5"}, {17, "2"}, {20, "3"}}, {kTilt, 0x23, 0x85}},
      {"wheel down", 4, {{13, 1}}, {{16, "127"}, {18, "15"}, {19, "0"}}, {kWheel, 0xF0, 0xFF}},
      {"mouse button middle", 2, {{11, 1}}, {}, {kMouseButton, 0x04, 0x00}},
      {"DPI cycle", 5, {{14, 2}}, {}, {kDpi, 0x03, 0x00}},
      {"fire key", 6, {}, {{11, "9"}, {12, "200"}}, {kFire, 9, 200}},
      {"media mute", 7, {{21, 7}}, {}, {kConsumer, 0xE2, 0x00}},
      {"system sleep", 8, {{22, 1}}, {}, {kSystem, 0x02, 0x00}},
      {"macro 3 with count 10", 9, {{23, 3}, {24, 4}}, {{25, "10"}}, {kMacroCount, 3, 10}},
      {"macro 3 option 2", 9, {{23, 3}, {24, 2}}, {}, {kMacro, 3, 2}},
  };
  for (const AssignRow& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(editor.EditKey(image, kPictureA, 8));
    editor.ChooseKind(row.kind);
    panel.combos = row.combos;
    panel.edits = row.edits;
    ASSERT_TRUE(editor.Assign(image, panel));
    EXPECT_EQ(Entry(kPictureA), row.stored);

    FakePanel reopened;
    const std::optional<PanelView> view = editor.EditKey(image, kPictureA, 8);
    ASSERT_TRUE(view);
    reopened.Apply(*view);
    EXPECT_EQ(view->kindItem, row.kind);
    for (const auto& [combo, item] : row.combos) EXPECT_EQ(reopened.ComboItem(combo), item) << "combo " << combo;
    for (const auto& [edit, text] : row.edits) EXPECT_EQ(reopened.EditText(edit), text) << "edit " << edit;
  }
}

TEST_F(KeyAssignmentTest, AKeyThatHoldsItsFactoryFunctionShowsDefault) {
  const std::optional<PanelView> view = editor.EditKey(image, kPictureA, 0);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->kindItem, 0) << "type 0x20, but the factory function: the default kind";
  EXPECT_FALSE(view->armCapture);
  // Choosing the key kind and assigning without a captured key stores nothing.
  const KeyFunction before = Entry(kPictureA);
  EXPECT_TRUE(editor.ChooseKind(1)) << "the key kind arms the capture";
  EXPECT_FALSE(editor.Assign(image, panel));
  EXPECT_EQ(Entry(kPictureA), before);
}

TEST_F(KeyAssignmentTest, CaptureTakesOnlyKeysOfTheKeyTable) {
  struct Row {
    const char* name;
    int virtualKey;
    std::uint32_t flags;
    std::optional<KeyFunction> stored;
  };
  const Row rows[] = {
      {"keypad Enter", 0x0D, 0x01, KeyFunction{kKey, 0x00, 0x58}},
      {"keypad Enter released", 0x0D, 0x81, KeyFunction{kKey, 0x00, 0x58}},
      {"main Enter", 0x0D, 0x00, KeyFunction{kKey, 0x00, 0x28}},
      {"right Shift", 0xA1, 0x00, KeyFunction{kKey, 0x20, 0x00}},
      {"F5", 0x74, 0x00, KeyFunction{kKey, 0x00, 0x3E}},
      {"media play, not a key of the table", 0xB3, 0x00, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(editor.EditKey(image, kPictureEsc, 0));
    editor.ChooseKind(1);
    const KeyFunction before = Entry(kPictureEsc);
    const std::optional<std::string_view> text = editor.Capture(row.virtualKey, row.flags);
    if (!row.stored) {
      EXPECT_FALSE(text);
      EXPECT_EQ(Entry(kPictureEsc), before);
      continue;
    }
    ASSERT_TRUE(text);
    panel.edits[21] = std::string(*text);
    ASSERT_TRUE(editor.Assign(image, panel));
    EXPECT_EQ(Entry(kPictureEsc), *row.stored);
  }
}

TEST_F(KeyAssignmentTest, EditsAreClampedToTheirRangeAndNeverWrapIntoANeighbour) {
  struct Row {
    int edit;
    const char* text;
    int value;
    std::optional<std::string> rewrite;
  };
  const Row rows[] = {
      {15, "200", 127, "127"}, {17, "16", 15, "15"}, {17, "15", 15, std::nullopt}, {20, "-1", 0, "0"},
      {11, "255", 255, std::nullopt}, {25, "256", 255, "255"}, {16, "12abc", 12, std::nullopt},
      {18, "abc", 0, std::nullopt}, {12, "", 0, std::nullopt}, {11, "99999999999999999999", 255, "255"},
      {19, "+7", 7, std::nullopt},
  };
  for (const Row& row : rows) {
    const EditNumber number = ReadEditNumber(row.edit, row.text);
    EXPECT_EQ(number.value, row.value) << row.edit << " \"" << row.text << '"';
    EXPECT_EQ(number.rewrite, row.rewrite) << row.edit << " \"" << row.text << '"';
  }
  // A "-1" in the low nibble of a tilt stays 0 and does not spill into the high nibble.
  ASSERT_TRUE(editor.EditKey(image, kPictureA, 0));
  editor.ChooseKind(3);
  panel.combos = {{12, 0}};
  panel.edits = {{15, "1"}, {17, "2"}, {20, "-1"}};
  ASSERT_TRUE(editor.Assign(image, panel));
  EXPECT_EQ(Entry(kPictureA), (KeyFunction{kTilt, 0x20, 0x01}));
}

TEST_F(KeyAssignmentTest, FunctionsTheEditorDoesNotKnowAreKeptAndLabelledOff) {
  KeyBank& bank = image.banks[0];
  const std::size_t k = image.keyButtonMap[kPictureA];
  StoreEntry(bank, k, {0x55, 1, 2});
  const std::optional<PanelView> view = editor.EditKey(image, kPictureA, 0);
  ASSERT_TRUE(view);
  EXPECT_FALSE(view->kindItem) << "the panel stays as it was";
  EXPECT_TRUE(view->combos.empty() && view->edits.empty());

  const std::vector<KeyLabel> labels = KeyLabels(image, {});
  const auto it = std::ranges::find(labels, kPictureA, &KeyLabel::picture);
  ASSERT_NE(it, labels.end());
  EXPECT_EQ(it->label, kOffLabel);
  EXPECT_FALSE(it->labelIsTextId);
  EXPECT_TRUE(it->reassigned);
  EXPECT_EQ(EntryAt(bank, k), (KeyFunction{0x55, 1, 2}));
}

TEST_F(KeyAssignmentTest, LabelsNameTheFunctionAndMarkReassignedKeys) {
  const std::size_t kF1 = 1;
  StoreEntry(image.banks[0], image.keyButtonMap[kF1], {kConsumer, 0xE2, 0x00});
  StoreEntry(image.banks[0], image.keyButtonMap[kPictureA], {kMacro, 1, 0});
  const MacroNames names = [](int number) -> std::optional<std::string> {
    if (number == 1) return "Burst";
    return std::nullopt;
  };
  const std::vector<KeyLabel> labels = KeyLabels(image, names);
  auto find = [&](std::size_t picture) { return std::ranges::find(labels, picture, &KeyLabel::picture); };

  ASSERT_NE(find(kPictureEsc), labels.end());
  EXPECT_EQ(find(kPictureEsc)->label, "keyboard_key_Esc");
  EXPECT_FALSE(find(kPictureEsc)->reassigned);
  ASSERT_NE(find(kF1), labels.end());
  EXPECT_EQ(find(kF1)->label, "media_mute");
  EXPECT_EQ(find(kF1)->defaultName, "keyboard_key_F1");
  EXPECT_TRUE(find(kF1)->reassigned);
  ASSERT_NE(find(kPictureA), labels.end());
  EXPECT_EQ(find(kPictureA)->label, "Burst");
  EXPECT_FALSE(find(kPictureA)->labelIsTextId);
  // A macro number the index does not have gets no label.
  StoreEntry(image.banks[0], image.keyButtonMap[kPictureA], {kMacro, 7, 0});
  const std::vector<KeyLabel> without = KeyLabels(image, names);
  EXPECT_EQ(std::ranges::find(without, kPictureA, &KeyLabel::picture), without.end());
}

TEST_F(KeyAssignmentTest, RestorePutsTheFactoryFunctionBackAndNamesItsPicture) {
  ASSERT_TRUE(editor.EditKey(image, kPictureA, 0));
  editor.ChooseKind(2);
  panel.combos = {{11, 0}};
  ASSERT_TRUE(editor.Assign(image, panel));
  ASSERT_NE(Entry(kPictureA), EntryAt(image.defaultBlock, image.keyButtonMap[kPictureA]));
  EXPECT_EQ(editor.Restore(image), kPictureA);
  EXPECT_EQ(Entry(kPictureA), EntryAt(image.defaultBlock, image.keyButtonMap[kPictureA]));
}

TEST_F(KeyAssignmentTest, NothingIsEditedWithoutAnEntryOrWhileTheActiveNumberNamesNoBank) {
  KeyboardImage empty;
  EXPECT_FALSE(editor.EditKey(empty, kPictureA, 0)) << "no keyboard read yet: no picture has an entry";
  image.active.bytes[0] = 9;
  EXPECT_FALSE(editor.EditKey(image, kPictureA, 0));
  EXPECT_FALSE(editor.Assign(image, panel));
  EXPECT_TRUE(KeyLabels(image, {}).empty());
}

// A macro number or playback option from the bank that the lists do not have shows no selection.
TEST_F(KeyAssignmentTest, OutOfRangeValuesFromTheBankShowNoSelection) {
  StoreEntry(image.banks[0], image.keyButtonMap[kPictureA], {kMacro, 5, 9});
  const std::optional<PanelView> view = editor.EditKey(image, kPictureA, 3);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->combos, (std::vector<PanelView::Fill>{{23, -1}, {24, -1}}));
}

}  // namespace
}  // namespace korva::keyboard
