#pragma once
// The key-function editor without Qt: which function a key picture shows, what the function panel
// shows for it, how the panel's values compose a function, the key capture, the restore, and the
// labels of the key pictures. The page copies control values in (through PanelSource) and applies
// what comes out; the keyboard page and the mouse's button page share it (their controls differ
// only in prefix: "<prefix>_key_fct_combo_<n>", "<prefix>_key_fct_edit_<n>").
//
// Panel controls by number:
//   combos  11 mouse button, 12 tilt direction, 13 wheel direction, 14 DPI, 21 consumer control,
//           22 system control, 23 macro, 24 macro playback (item 4: with count)
//   edits   11, 12 fire key; 15 tilt amount, 17 tilt high nibble, 20 tilt low nibble;
//           16 wheel amount, 18 wheel high nibble, 19 wheel low nibble; 21 captured key (text id);
//           25 macro count
// The kinds of kb_key_fct_combo, by item: 0 default, 1 key, 2 mouse button, 3 tilt, 4 wheel,
// 5 DPI, 6 fire key, 7 multimedia, 8 system, 9 macro.
//
// Mends of the panel's number handling: an edit is read with a checked conversion and clamped to
// its range (a "-1" never turns into 0xFF spilling into the neighbouring nibble); a combo item or
// value read from a bank entry that is out of range for its list shows no selection instead of
// being used as an index.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "keyboard/KeyFunction.h"
#include "keyboard/KeyboardImage.h"

namespace korva::keyboard {

inline constexpr int kKindCount = 10;
// The function type of each kind item, and back.
std::uint8_t TypeOfKind(int item);
std::optional<int> KindOfType(std::uint8_t type);

// The ranges of the numeric panel edits; nullopt for an edit that holds no number.
std::optional<int> EditMaximum(int edit);
// The number an edit's text stands for: optional sign and leading digits (no digits: 0), clamped to
// 0..maximum. `rewrite` is set when the text is to be replaced by the number (it was out of range).
struct EditNumber {
  int value = 0;
  std::optional<std::string> rewrite;
};
EditNumber ReadEditNumber(int edit, std::string_view text);

// What the panel holds, as the page reads it.
class PanelSource {
 public:
  virtual ~PanelSource() = default;
  virtual int ComboItem(int combo) const = 0;  // -1 when nothing is selected
  virtual std::string EditText(int edit) const = 0;
};

// What the panel is to show for a key (EditKey). Only the controls listed change.
struct PanelView {
  struct Fill {
    int control;  // combo or edit number
    int value;    // combo item (-1: no selection) or edit number
    bool operator==(const Fill&) const = default;
  };
  std::vector<Fill> combos;
  std::vector<Fill> edits;
  std::optional<std::string_view> keyTextId;  // edit 21
  std::optional<int> kindItem;                // kb_key_fct_combo, selected last
  bool armCapture = false;
};

// A key picture's label (RefreshKeyLabels).
struct KeyLabel {
  std::size_t picture = 0;
  std::string label;          // a text id, or a literal (macro name, "关闭")
  bool labelIsTextId = true;  // false: show `label` as it is
  std::string defaultName;    // label of the key's factory function ("" when it has none)
  bool defaultIsTextId = true;
  bool reassigned = false;    // the label differs from the default name: hot look, "Key_Set" tooltip
};

// The macro names of the macro index, by number (none: the macro kind offers nothing).
using MacroNames = std::function<std::optional<std::string>(int number)>;

class KeyEditor {
 public:
  // Key picture n was clicked: the entry it shows becomes the current one. nullopt (nothing
  // happens) when it shows none or the keyboard's active profile names no bank.
  std::optional<PanelView> EditKey(const KeyboardImage& image, std::size_t picture, int macroCount);
  // "itemselect" on the kind combo: the selected type; whether the capture is armed.
  bool ChooseKind(int item);
  // Composes the function from the panel and stores it as the current entry of the edited bank.
  // False when nothing was stored (no current entry, empty capture field, no macro chosen).
  bool Assign(KeyboardImage& image, const PanelSource& panel) const;
  // A captured key event (virtual-key code and low-level flags): the key's text id when the key
  // table knows it, and the function being composed becomes the key's; nullopt for any other key.
  std::optional<std::string_view> Capture(int virtualKey, std::uint32_t lowLevelFlags);
  // The current entry back to its factory function; the picture to open again.
  std::optional<std::size_t> Restore(KeyboardImage& image);

  std::optional<std::size_t> CurrentEntry() const { return entry_; }
  std::uint8_t SelectedType() const { return selectedType_; }
  KeyFunction Composed() const { return composed_; }
  // Forgets the current entry (the keyboard's image was replaced).
  void Reset() { *this = KeyEditor(); }

 private:
  std::optional<std::size_t> entry_;
  KeyFunction composed_;
  std::uint8_t selectedType_ = key_type::kDefault;
};

// RefreshKeyLabels: one label per bank entry k < K of the edited bank that has a picture and a label.
std::vector<KeyLabel> KeyLabels(const KeyboardImage& image, const MacroNames& macroNames);

// The literal label of a function the keyboard has but the editor does not know.
inline constexpr std::string_view kOffLabel = "关闭";
// The text id put between the default name and the new label in a reassigned key's tooltip.
inline constexpr std::string_view kKeySetTextId = "Key_Set";

}  // namespace korva::keyboard
