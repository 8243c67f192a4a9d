#include "keyboard/KeyAssignment.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "keyboard/KeyTables.h"

namespace korva::keyboard {
namespace {

using namespace key_type;

constexpr std::uint8_t kKeyboardKinds[] = {kDefault, kKey, kMouseButton, kTilt, kWheel,
                                           kDpi, kFire, kConsumer, kSystem, kMacro};
constexpr std::uint8_t kMouseKinds[] = {kDefault, kMouseButton, kTilt, kWheel, kDpi, kFire,
                                        kKey, kConsumer, kSystem, kMacro, kCursorMacro};

// Combo and edit numbers of the panel.
enum Combo : int {
  kMouseButtonCombo = 11, kTiltCombo = 12, kWheelCombo = 13, kDpiCombo = 14,
  kConsumerCombo = 21, kSystemCombo = 22, kMacroCombo = 23, kPlaybackCombo = 24, kCursorMacroCombo = 25,
};
enum Edit : int {
  kFireEdit1 = 11, kFireEdit2 = 12, kTiltAmountEdit = 15, kWheelAmountEdit = 16, kTiltHighEdit = 17,
  kWheelHighEdit = 18, kWheelLowEdit = 19, kTiltLowEdit = 20, kKeyEdit = 21, kMacroCountEdit = 25,
};
// The playback item that means "with count" (type 0x71).
constexpr int kPlaybackWithCount = 4;
constexpr int kPlaybackOptions = 4;  // items 0..3 are the playback options of type 0x70
constexpr std::uint8_t kDirectionBit = 0x80;
// The cursor macros "GUN_1".."GUN_4".
constexpr int kCursorMacroCount = 4;

// The swing kinds: tilt and wheel share their layout.
struct SwingPanel {
  std::uint8_t type;
  int combo, amount, high, low;
};
constexpr SwingPanel kTiltPanel{kTilt, kTiltCombo, kTiltAmountEdit, kTiltHighEdit, kTiltLowEdit};
constexpr SwingPanel kWheelPanel{kWheel, kWheelCombo, kWheelAmountEdit, kWheelHighEdit, kWheelLowEdit};

// The list kinds: one combo item per descriptor.
struct ListPanel {
  std::uint8_t type;
  int combo;
  std::span<const KeyDescriptor> (*list)();
};
constexpr ListPanel kListPanels[] = {
    {kMouseButton, kMouseButtonCombo, &MouseButtonDescriptors},
    {kDpi, kDpiCombo, &DpiDescriptors},
    {kConsumer, kConsumerCombo, &ConsumerDescriptors},
    {kSystem, kSystemCombo, &SystemDescriptors},
};
const ListPanel* ListPanelOf(std::uint8_t type) {
  const auto it = std::ranges::find(kListPanels, type, &ListPanel::type);
  return it == std::end(kListPanels) ? nullptr : &*it;
}

int Number(const PanelSource& panel, int edit) {
  return ReadEditNumber(edit, panel.EditText(edit)).value;
}

std::uint8_t Byte(int value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

void FillSwing(PanelView& view, const SwingPanel& swing, const KeyFunction& f) {
  view.combos.push_back({swing.combo, (f.b2 & kDirectionBit) ? 1 : 0});
  view.edits.push_back({swing.amount, f.b2 & 0x7F});
  view.edits.push_back({swing.high, f.b1 >> 4});
  view.edits.push_back({swing.low, f.b1 & 0x0F});
}

KeyFunction ComposeSwing(const SwingPanel& swing, const PanelSource& panel) {
  const int amount = Number(panel, swing.amount) + (panel.ComboItem(swing.combo) == 1 ? kDirectionBit : 0);
  const int nibbles = (Number(panel, swing.high) << 4) | Number(panel, swing.low);
  return {swing.type, Byte(nibbles), Byte(amount)};
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

std::string_view TextIdOr(const KeyDescriptor* descriptor) {
  return descriptor ? descriptor->textId : std::string_view{};
}
std::string_view TextIdOf(std::span<const KeyDescriptor> list, const KeyFunction& f) {
  const std::optional<int> item = FindDescriptor(list, f.b1, f.b2);
  return item ? list[static_cast<std::size_t>(*item)].textId : std::string_view{};
}
std::string_view KeyTextId(const KeyFunction& f) {
  const KeyTableEntry* entry = FindByFunction(f.b1, f.b2);
  return entry ? entry->textId : std::string_view{};
}

}  // namespace

const EditorDevice& KeyboardEditor() {
  static constexpr EditorDevice kKeyboard{kKeyboardKinds, kOffLabel, false};
  return kKeyboard;
}

const EditorDevice& MouseEditor() {
  static constexpr EditorDevice kMouse{kMouseKinds, "close_text", true};
  return kMouse;
}

std::optional<FunctionLabel> LabelOfFunction(const KeyFunction& f, const MacroNames& macroNames,
                                             const EditorDevice& device) {
  auto id = [](std::string_view textId) -> std::optional<FunctionLabel> {
    if (textId.empty()) return std::nullopt;
    return FunctionLabel{std::string(textId), true};
  };
  switch (f.type) {
    case kDefault:
    case kKey:
      return id(KeyTextId(f));
    case kMouseButton:
      return id(TextIdOr(FindDescriptorByB1(MouseButtonDescriptors(), f.b1)));
    case kTilt:
      return id(TiltDescriptors()[(f.b2 & kDirectionBit) ? 1 : 0].textId);
    case kWheel:
      return id(WheelDescriptors()[(f.b2 & kDirectionBit) ? 1 : 0].textId);
    case kDpi:
      return id(TextIdOr(FindDescriptorByB1(DpiDescriptors(), f.b1)));
    case kFire:
      return id(kFireKeyDescriptor.textId);
    case 0x21:
    case kConsumer:
      return id(TextIdOf(ConsumerDescriptors(), f));
    case kSystem:
      return id(TextIdOf(SystemDescriptors(), f));
    case kMacro:
    case kMacroCount: {
      std::optional<std::string> name = macroNames ? macroNames(f.b1) : std::nullopt;
      if (!name) return std::nullopt;
      return FunctionLabel{std::move(*name), false};
    }
    case 0x15:
    case 0x50:
    case 0x60:
    case 0xA0:
    case 0xB0:
    case 0xC0:
      return std::nullopt;
    default:
      break;
  }
  // Only the mouse has cursor macros; to the keyboard 0x72 is as unknown as any other type.
  if (f.type == kCursorMacro && std::ranges::find(device.kinds, kCursorMacro) != device.kinds.end()) {
    if (f.b1 >= kCursorMacroCount) return FunctionLabel{std::string(device.offLabel), device.offLabelIsTextId};
    return FunctionLabel{"GUN_" + std::to_string(f.b1 + 1), true};
  }
  return FunctionLabel{std::string(device.offLabel), device.offLabelIsTextId};
}

int CountMacros(const MacroNames& macroNames) {
  int count = 0;
  if (macroNames) {
    while (macroNames(count)) ++count;
  }
  return count;
}

std::optional<std::uint8_t> KeyEditor::TypeOfKind(int item) const {
  if (item < 0 || item >= KindCount()) return std::nullopt;
  return device_->kinds[static_cast<std::size_t>(item)];
}

std::optional<int> KeyEditor::KindOfType(std::uint8_t type) const {
  if (type == kMacroCount) type = kMacro;
  const auto it = std::ranges::find(device_->kinds, type);
  if (it == device_->kinds.end()) return std::nullopt;
  return static_cast<int>(it - device_->kinds.begin());
}

std::optional<int> EditMaximum(int edit) {
  switch (edit) {
    case kFireEdit1:
    case kFireEdit2:
    case kMacroCountEdit:
      return 255;
    case kTiltAmountEdit:
    case kWheelAmountEdit:
      return 127;
    case kTiltHighEdit:
    case kWheelHighEdit:
    case kWheelLowEdit:
    case kTiltLowEdit:
      return 15;
    default:
      return std::nullopt;
  }
}

EditNumber ReadEditNumber(int edit, std::string_view text) {
  const int maximum = EditMaximum(edit).value_or(255);
  // Optional spaces and sign, then leading digits; no digits reads as 0.
  std::size_t at = text.find_first_not_of(" \t");
  if (at == std::string_view::npos) return {};
  bool negative = false;
  if (text[at] == '+' || text[at] == '-') {
    negative = text[at] == '-';
    ++at;
  }
  long long parsed = 0;
  const char* first = text.data() + at;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, parsed);
  EditNumber number;
  if (end == first) return number;  // no digits
  if (error == std::errc::result_out_of_range) parsed = static_cast<long long>(maximum) + 1;
  if (negative && parsed != 0) {
    number.rewrite = "0";
    return number;
  }
  if (parsed > maximum) {
    number.value = maximum;
    number.rewrite = std::to_string(maximum);
    return number;
  }
  number.value = static_cast<int>(parsed);
  return number;
}

std::optional<PanelView> KeyEditor::EditKey(const KeyboardImage& image, std::size_t picture, int macroCount) {
  if (picture >= kKeyPictureCount) return std::nullopt;
  const std::size_t k = image.keyButtonMap[picture];
  const KeyBank* bank = image.ActiveBank();
  if (k == kNoEntry || bank == nullptr) return std::nullopt;
  return EditEntry(*bank, image.defaultBlock, k, macroCount);
}

PanelView KeyEditor::EditEntry(std::span<const std::uint8_t> bank, std::span<const std::uint8_t> defaults,
                               std::size_t entry, int macroCount) {
  entry_ = entry;
  composed_ = EntryAt(bank, entry);
  KeyFunction shown = composed_;
  if (shown == EntryAt(defaults, entry)) shown.type = kDefault;

  PanelView view;
  if (const ListPanel* list = ListPanelOf(shown.type)) {
    view.combos.push_back({list->combo, FindDescriptor(list->list(), shown.b1, shown.b2).value_or(-1)});
  }
  switch (shown.type) {
    case kKey:
      view.keyTextId = KeyTextId(shown);
      view.armCapture = true;
      break;
    case kTilt:
      FillSwing(view, kTiltPanel, shown);
      break;
    case kWheel:
      FillSwing(view, kWheelPanel, shown);
      break;
    case kFire:
      view.edits.push_back({kFireEdit1, shown.b1});
      view.edits.push_back({kFireEdit2, shown.b2});
      break;
    case kMacro:
    case kMacroCount:
      view.combos.push_back({kMacroCombo, shown.b1 < macroCount ? shown.b1 : -1});
      if (shown.type == kMacroCount) {
        view.combos.push_back({kPlaybackCombo, kPlaybackWithCount});
        view.edits.push_back({kMacroCountEdit, shown.b2});
      } else {
        view.combos.push_back({kPlaybackCombo, shown.b2 < kPlaybackOptions ? shown.b2 : -1});
      }
      break;
    case kCursorMacro:
      view.combos.push_back({kCursorMacroCombo, shown.b1 < kCursorMacroCount ? shown.b1 : -1});
      break;
    default:
      break;
  }
  view.kindItem = KindOfType(shown.type);
  if (view.kindItem) selectedType_ = *TypeOfKind(*view.kindItem);
  return view;
}

bool KeyEditor::ChooseKind(int item) {
  if (const std::optional<std::uint8_t> type = TypeOfKind(item)) selectedType_ = *type;
  return TypeOfKind(item) == kKey;
}

bool KeyEditor::Assign(KeyboardImage& image, const PanelSource& panel) const {
  KeyBank* bank = image.ActiveBank();
  if (bank == nullptr) return false;
  return AssignEntry(*bank, image.defaultBlock, panel);
}

bool KeyEditor::AssignEntry(std::span<std::uint8_t> bank, std::span<const std::uint8_t> defaults,
                            const PanelSource& panel) const {
  if (!entry_) return false;
  KeyFunction f;
  if (const ListPanel* list = ListPanelOf(selectedType_)) {
    const std::span<const KeyDescriptor> items = list->list();
    const int item = panel.ComboItem(list->combo);
    if (item < 0 || static_cast<std::size_t>(item) >= items.size()) return false;
    f = items[static_cast<std::size_t>(item)].function;
  } else {
    switch (selectedType_) {
      case kDefault:
        f = EntryAt(defaults, *entry_);
        break;
      case kTilt:
        f = ComposeSwing(kTiltPanel, panel);
        break;
      case kWheel:
        f = ComposeSwing(kWheelPanel, panel);
        break;
      case kFire:
        f = {kFire, Byte(Number(panel, kFireEdit1)), Byte(Number(panel, kFireEdit2))};
        break;
      case kKey:
        if (panel.EditText(kKeyEdit).empty() || composed_.type != kKey) return false;
        f = composed_;
        break;
      case kMacro: {
        const int macro = panel.ComboItem(kMacroCombo);
        if (macro < 0) return false;
        const int playback = panel.ComboItem(kPlaybackCombo);
        if (playback == kPlaybackWithCount)
          f = {kMacroCount, Byte(macro), Byte(Number(panel, kMacroCountEdit))};
        else
          f = {kMacro, Byte(macro), Byte(std::clamp(playback, 0, kPlaybackOptions - 1))};
        break;
      }
      case kCursorMacro: {
        const int gun = panel.ComboItem(kCursorMacroCombo);
        if (gun < 0 || gun >= kCursorMacroCount) return false;
        f = {kCursorMacro, Byte(gun), 0};
        break;
      }
      default:
        return false;
    }
  }
  return StoreEntry(bank, *entry_, f);
}

std::optional<std::string_view> KeyEditor::Capture(int virtualKey, std::uint32_t lowLevelFlags) {
  const KeyTableEntry* entry = FindByVirtualKey(LookupCode(virtualKey, lowLevelFlags));
  if (entry == nullptr || entry->function.type != kKey) return std::nullopt;
  composed_ = entry->function;
  return entry->textId;
}

bool KeyEditor::RestoreEntry(std::span<std::uint8_t> bank, std::span<const std::uint8_t> defaults) {
  if (!entry_) return false;
  composed_ = EntryAt(defaults, *entry_);
  return StoreEntry(bank, *entry_, composed_);
}

std::optional<std::size_t> KeyEditor::Restore(KeyboardImage& image) {
  KeyBank* bank = image.ActiveBank();
  if (bank == nullptr || !RestoreEntry(*bank, image.defaultBlock)) return std::nullopt;
  return PictureOfEntry(image, *entry_);
}

std::vector<KeyLabel> KeyLabels(const KeyboardImage& image, const MacroNames& macroNames) {
  std::vector<KeyLabel> labels;
  const KeyBank* bank = image.ActiveBank();
  if (bank == nullptr) return labels;
  const std::size_t keys = std::min(image.KeyCount(), kMaxKeyCount);
  for (std::size_t k = 0; k < keys; ++k) {
    const std::optional<std::size_t> picture = PictureOfEntry(image, k);
    if (!picture) continue;
    auto label = LabelOfFunction(EntryAt(*bank, k), macroNames, KeyboardEditor());
    if (!label) continue;
    KeyLabel out;
    out.picture = *picture;
    out.label = std::move(label->text);
    out.labelIsTextId = label->isTextId;
    // The factory function's own label: a media key that still does what the keyboard shipped with
    // is not "reassigned" because the key table has no name for it.
    if (auto factory = LabelOfFunction(EntryAt(image.defaultBlock, k), macroNames, KeyboardEditor())) {
      out.defaultName = std::move(factory->text);
      out.defaultIsTextId = factory->isTextId;
    }
    out.reassigned = !EqualsIgnoringCase(out.label, out.defaultName);
    labels.push_back(std::move(out));
  }
  return labels;
}

}  // namespace korva::keyboard
