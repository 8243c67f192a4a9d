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
//           25 cursor macro (mouse only)
// The kinds of the kind combo ("<prefix>_key_fct_combo") differ by device, see EditorDevice.
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

// What differs between the keyboard's key editor and the mouse's button editor: the function type
// of each item of the kind combo, and how a function the editor cannot produce is labelled.
struct EditorDevice {
  std::span<const std::uint8_t> kinds;  // item -> type
  std::string_view offLabel;            // label of an unknown type
  bool offLabelIsTextId = false;
};
// kb_key_fct_combo: 0 default, 1 key, 2 mouse button, 3 tilt, 4 wheel, 5 DPI, 6 fire key,
// 7 multimedia, 8 system, 9 macro; an unknown type is labelled "关闭".
const EditorDevice& KeyboardEditor();
// ms_key_fct_combo: 0 default, 1 mouse button, 2 tilt, 3 wheel, 4 DPI, 5 fire key, 6 key,
// 7 multimedia, 8 system, 9 macro, 10 cursor macro; an unknown type is labelled "close_text".
const EditorDevice& MouseEditor();

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
// How many macros the index names (numbers 0, 1, ... until the first without a name).
int CountMacros(const MacroNames& macroNames);

// The label of one function: a text id or a literal (macro names, the keyboard's "关闭"); nullopt
// when the function leaves the label as it is (types 0x15, 0x50, ..., or nothing matches).
struct FunctionLabel {
  std::string text;
  bool isTextId = true;
};
std::optional<FunctionLabel> LabelOfFunction(const KeyFunction& function, const MacroNames& macroNames,
                                             const EditorDevice& device);

class KeyEditor {
 public:
  explicit KeyEditor(const EditorDevice& device = KeyboardEditor()) : device_(&device) {}

  int KindCount() const { return static_cast<int>(device_->kinds.size()); }
  // The function type of a kind item (nullopt outside the combo), and the item of a type.
  std::optional<std::uint8_t> TypeOfKind(int item) const;
  std::optional<int> KindOfType(std::uint8_t type) const;

  // Entry `entry` of `bank` was clicked: it becomes the current one; what the panel shows for it.
  // An entry equal to its factory function in `defaults` shows as the default kind.
  PanelView EditEntry(std::span<const std::uint8_t> bank, std::span<const std::uint8_t> defaults,
                      std::size_t entry, int macroCount);
  // Key picture n was clicked: EditEntry on the keyboard's edited bank. nullopt (nothing happens)
  // when it shows no entry or the keyboard's active profile names no bank.
  std::optional<PanelView> EditKey(const KeyboardImage& image, std::size_t picture, int macroCount);
  // "itemselect" on the kind combo: the selected type (an item outside the combo changes none);
  // whether the capture is armed.
  bool ChooseKind(int item);
  // Composes the function from the panel and stores it as the current entry of `bank`. False when
  // nothing was stored (no current entry, empty capture field, no macro chosen).
  bool AssignEntry(std::span<std::uint8_t> bank, std::span<const std::uint8_t> defaults,
                   const PanelSource& panel) const;
  bool Assign(KeyboardImage& image, const PanelSource& panel) const;
  // A captured key event (virtual-key code and low-level flags): the key's text id when the key
  // table knows it, and the function being composed becomes the key's; nullopt for any other key.
  std::optional<std::string_view> Capture(int virtualKey, std::uint32_t lowLevelFlags);
  // The current entry back to its factory function (false without a current entry).
  bool RestoreEntry(std::span<std::uint8_t> bank, std::span<const std::uint8_t> defaults);
  // The same on the keyboard's edited bank; the picture to open again.
  std::optional<std::size_t> Restore(KeyboardImage& image);

  std::optional<std::size_t> CurrentEntry() const { return entry_; }
  std::uint8_t SelectedType() const { return selectedType_; }
  KeyFunction Composed() const { return composed_; }
  // Forgets the current entry (the device's image was replaced).
  void Reset() { *this = KeyEditor(*device_); }

 private:
  const EditorDevice* device_;
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
