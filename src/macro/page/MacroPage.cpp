#include "macro/page/MacroPage.h"

#include <algorithm>
#include <array>
#include <climits>

#include "common/Log.h"
#include "keyboard/KeyTables.h"
#include "macro/MacroEdits.h"
#include "macro/MacroKeys.h"
#include "macro/MacroStepEdits.h"
#include "macro/MacroUpload.h"
#include "platform/LowLevelInput.h"
#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::macro {
namespace {

using ui::Control;
using ui::Notification;

// Pages of <p>_tab_macro_edit.
constexpr int kEmptyPage = 0;
constexpr int kKeyPage = 1;
constexpr int kMousePage = 2;
// Items of <p>_macro_combo_upordown.
constexpr int kReleaseItem = 0;
constexpr int kPressItem = 1;

// Buttons and options that work only while the library holds a macro.
constexpr const char* kEditingControls[] = {
    "_macro_btn_save",      "_macro_btn_down",       "_macro_btn_up",           "_macro_btn_uptop",
    "_macro_btn_downbottom", "_macro_btn_delete",    "_macro_btn_deleteall",    "_macro_btn_cancel",
    "_macro_btn_redio",     "_macro_check_time",     "_macro_keyboard_event",   "_macro_mouse_click",
    "_macro_mouse_roller",  "_macro_mouse_move"};
// Locked while recording.
constexpr const char* kRecordingLocks[] = {"_Macro_list",      "_MacroName_list",      "_macro_btn_save",
                                           "_macro_btn_down",  "_macro_btn_up",        "_macro_btn_uptop",
                                           "_macro_btn_downbottom", "_macro_btn_delete", "_macro_btn_deleteall",
                                           "_macro_btn_cancel"};
constexpr const char* kEventOptions[] = {"_macro_keyboard_event", "_macro_mouse_click", "_macro_mouse_roller",
                                         "_macro_mouse_move", "_macro_check_time"};
// The pop-ups of the five buttons and the items of their press and release buttons.
constexpr const char* kInsertKeys[] = {"leftkey", "rightkey", "moudlekey", "forwardkey", "backkey"};
// The move buttons with the edits holding their distances (mouse list items 10..13).
struct MoveInsert {
  const char* button;
  const char* edit;
};
constexpr MoveInsert kMoveInserts[] = {{"moveleftkey", "_mouse_x_left_edit"},
                                       {"moverightkey", "_mouse_x_right_edit"},
                                       {"moveupkey", "_mouse_y_up_edit"},
                                       {"movedownkey", "_mouse_y_down_edit"}};
constexpr const char* kReorderButtons[] = {"_macro_btn_up",         "_macro_btn_down",   "_macro_btn_uptop",
                                           "_macro_btn_downbottom", "_macro_btn_delete", "_macro_btn_deleteall"};

QString Latin1(const char* text) {
  return QString::fromLatin1(text);
}
QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
int Value(const Notification& msg) {
  return static_cast<int>(std::clamp<qint64>(msg.wParam, INT_MIN, INT_MAX));
}
// The number typed into an edit (digits only; nothing typed reads as 0).
std::uint64_t Number(const QString& text) {
  bool ok = false;
  const qulonglong value = text.trimmed().toULongLong(&ok);
  return ok ? value : (text.trimmed().isEmpty() ? 0 : UINT64_MAX);
}

}  // namespace

MacroPage::MacroPage(ui::SkinWindow& window, QString prefix, MacroLibrary library, Hooks hooks)
    : window_(window), prefix_(std::move(prefix)), library_(std::move(library)), hooks_(std::move(hooks)) {}

QString MacroPage::Name(const char* stem) const {
  return prefix_ + Latin1(stem);
}

Control MacroPage::Find(const char* stem) const {
  return window_.FindControl(Name(stem));
}

int MacroPage::Message(std::string_view textId, std::optional<int> number) {
  if (textId.empty() || !hooks_.showMessage) return 0;
  return hooks_.showMessage(Utf8(textId), number);
}

bool MacroPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString click = Latin1(ui::notify::kClick);
  const QString itemSelect = Latin1(ui::notify::kItemSelect);
  const QString textChanged = Latin1(ui::notify::kTextChanged);
  const QString selectChanged = Latin1(ui::notify::kSelectChanged);
  const auto onClick = [&](const char* stem, std::function<void()> handler) {
    return router.Bind(click, Name(stem), [handler = std::move(handler)](const Notification&) { handler(); });
  };
  bool ok = router.Bind(itemSelect, Name("_MacroName_list"), [this](const Notification& msg) { OpenMacro(Value(msg)); });
  ok &= onClick("_macro_btn_name_add", [this] { AddMacro(); });
  ok &= onClick("_macro_btn_name_sub", [this] { DeleteMacro(); });
  ok &= onClick("_macro_btn_savemacroname", [this] { RenameMacro(); });
  ok &= onClick("_macro_btn_redio", [this] { ToggleRecording(); });
  ok &= onClick("_macro_btn_save", [this] { SaveMacroEdits(); });
  ok &= onClick("_macro_btn_cancel", [this] { CancelMacroEdits(); });
  ok &= onClick("_macro_btn_export", [this] { ExportMacro(); });
  ok &= onClick("_macro_btn_import", [this] { ImportMacro(); });
  for (const char* button : kReorderButtons) ok &= onClick(button, [this, button] { Reorder(Name(button)); });
  for (int b = 0; b < static_cast<int>(std::size(kInsertKeys)); ++b) {
    const QString stem = QStringLiteral("_macro_inset_%1").arg(Latin1(kInsertKeys[b]));
    ok &= router.Bind(click, prefix_ + stem + QStringLiteral("_btn"), [this, b](const Notification&) { ShowInsertPopup(b); });
    ok &= router.Bind(click, prefix_ + stem + QStringLiteral("down_btn"),
                      [this, b](const Notification&) { InsertMouseStep(2 * b); });
    ok &= router.Bind(click, prefix_ + stem + QStringLiteral("up_btn"),
                      [this, b](const Notification&) { InsertMouseStep(2 * b + 1); });
  }
  for (int m = 0; m < static_cast<int>(std::size(kMoveInserts)); ++m) {
    ok &= router.Bind(click, prefix_ + QStringLiteral("_macro_inset_%1_btn").arg(Latin1(kMoveInserts[m].button)),
                      [this, m](const Notification&) { InsertMouseStep(kFirstMoveItem + m); });
    const QString edit = Name(kMoveInserts[m].edit);
    ok &= router.Bind(textChanged, edit, [this, edit](const Notification&) { ClampDistanceEdit(edit); });
  }
  ok &= router.Bind(selectChanged, Name("_macro_btn_shubiao"), [this](const Notification& msg) {
    Find("_MacroMouseEvent").SetVisible(msg.wParam != 0);
    Find("_MacroName").SetVisible(msg.wParam == 0);
  });
  // A click on a step row (named <p>_macro_action) opens the step in the editor.
  ok &= router.Bind(Latin1(ui::notify::kItemClick), Name("_macro_action"),
                    [this](const Notification& msg) { ShowStep(Value(msg)); });
  ok &= router.Bind(itemSelect, Name("_macro_combo_keyselect"), [this](const Notification& msg) { EditKeyItem(Value(msg)); });
  ok &= router.Bind(itemSelect, Name("_macro_combo_mouselect"),
                    [this](const Notification& msg) { EditMouseItem(Value(msg)); });
  ok &= router.Bind(itemSelect, Name("_macro_combo_upordown"), [this](const Notification& msg) { EditDirection(Value(msg)); });
  for (const char* stem : {"__macro_edit_ActionDelay", "__macro_edit_mou_action_delay"}) {
    const QString edit = Name(stem);
    ok &= router.Bind(textChanged, edit, [this, edit](const Notification&) { EditDelay(edit); });
  }
  ok &= router.Bind(textChanged, Name("_macro_edit_mou_pointer_skewing"), [this](const Notification&) { EditDistance(); });
  return ok;
}

// --- the library ---------------------------------------------------------------------------------

std::vector<std::string> MacroPage::Names() const {
  std::vector<std::string> names;
  const Control list = Find("_MacroName_list");
  for (int i = 0; i < list.ItemCount(); ++i) names.push_back(list.ItemUserData(i).toStdString());
  return names;
}

int MacroPage::SelectedMacro() const {
  return Find("_MacroName_list").CurSel();
}

void MacroPage::FillMacroList(const std::vector<std::string>& names) {
  Control list = Find("_MacroName_list");
  // The key page's macro combo lists the same names: a key plays macro i by its position.
  Control keyCombo = Find("_key_fct_combo_23");
  const int chosen = keyCombo.CurSel();
  list.RemoveAllItems();
  keyCombo.RemoveAllItems();
  for (const std::string& name : names) {
    list.AddItem(Utf8(name), Utf8(name));
    keyCombo.AddItem(Utf8(name), Utf8(name));
  }
  if (chosen < keyCombo.ItemCount()) keyCombo.SelectItem(chosen);
}

void MacroPage::EnableEditing(bool enabled) {
  for (const char* stem : kEditingControls) Find(stem).SetEnabled(enabled);
}

bool MacroPage::Unsaved() const {
  return Find("_macro_tab_saveorcancel").IsVisible();
}

void MacroPage::SetUnsaved(bool unsaved) {
  Find("_macro_tab_saveorcancel").SetVisible(unsaved);
  Find("_MacroName_list").SetEnabled(!unsaved);
}

void MacroPage::InitMacroPage() {
  Find("_Macro_list").RemoveAllItems();
  Control keys = Find("_macro_combo_keyselect");
  keys.RemoveAllItems();
  for (const keyboard::KeyTableEntry& entry : keyboard::KeyTable()) keys.AddItem(Utf8(entry.textId));
  const Result<std::vector<std::string>> names = LoadMacroIndex(library_);
  if (!names) {
    Trace("macro page: " + names.error().ToString());
    FillMacroList({});
    EnableEditing(false);
    Message(kTextMacroLibraryUnreadable);
    return;
  }
  FillMacroList(names.value());
  if (names.value().empty()) {
    EnableEditing(false);
    return;
  }
  EnableEditing(true);
  const int last = static_cast<int>(names.value().size()) - 1;
  Find("_MacroName_list").SelectItem(last);
  OpenMacro(last);
}

void MacroPage::LoadSteps(const std::string& name) {
  const Result<std::vector<MacroAction>> steps = LoadMacro(library_, name);
  if (!steps) {
    Trace("macro page: " + steps.error().ToString());
    Message(kTextMacroLibraryUnreadable);
    ShowSteps({}, -1);
    return;
  }
  ShowSteps(steps.value(), -1);
}

void MacroPage::OpenMacro(int index) {
  if (Unsaved()) {
    Message(kTextUnsaved);
    return;
  }
  const std::vector<std::string> names = Names();
  if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return;
  Find("_macro_edit_macroname").SetText(Utf8(names[static_cast<std::size_t>(index)]));
  LoadSteps(names[static_cast<std::size_t>(index)]);
  Find("_tab_macro_edit").SelectItem(kEmptyPage);
}

void MacroPage::AddMacro() {
  if (Unsaved()) {
    Message(kTextUnsaved);
    return;
  }
  const MacroEditResult added = macro::AddMacro(library_);
  if (!added.ok()) {
    Trace("macro page: " + added.error.ToString());
    Message(added.TextId(), added.TextNumber());
    return;
  }
  FillMacroList(added.names);
  Find("_MacroName_list").SelectItem(added.index);
  OpenMacro(added.index);
  EnableEditing(true);
  if (hooks_.macrosChanged) hooks_.macrosChanged();
}

void MacroPage::DeleteMacro() {
  const int index = SelectedMacro();
  if (index < 0 || index > UINT8_MAX) return;
  const auto number = static_cast<std::uint8_t>(index);
  std::vector<std::span<std::uint8_t>> banks = hooks_.keyBanks ? hooks_.keyBanks() : std::vector<std::span<std::uint8_t>>{};
  const bool used = std::any_of(banks.begin(), banks.end(), [&](auto bank) { return BankPlaysMacro(bank, number); });
  if (used && Message(kTextMacroUsed) != 1) return;
  if (Unsaved()) {
    Message(kTextUnsaved);
    return;
  }
  if (Message(kTextConfirmDelete) != 1) return;
  const MacroEditResult deleted = macro::DeleteMacro(library_, index);
  if (!deleted.ok()) {
    Trace("macro page: " + deleted.error.ToString());
    Message(deleted.TextId(), deleted.TextNumber());
    return;
  }
  FillMacroList(deleted.names);
  Find("_MacroName_list").SelectItem(-1);
  Find("_key_fct_combo_23").SelectItem(-1);
  ShowSteps({}, -1);
  Find("_macro_edit_macroname").SetText(QString());
  const std::span<const std::uint8_t> defaults = hooks_.defaultBlock ? hooks_.defaultBlock() : std::span<const std::uint8_t>{};
  for (std::span<std::uint8_t> bank : banks) ForgetMacroInBank(bank, defaults, number);
  if (deleted.names.empty()) EnableEditing(false);
  if (hooks_.macrosChanged) hooks_.macrosChanged();
}

void MacroPage::RenameMacro() {
  const int index = SelectedMacro();
  if (index < 0) return;
  const std::vector<std::string> names = Names();
  if (static_cast<std::size_t>(index) >= names.size()) return;
  Control edit = Find("_macro_edit_macroname");
  const MacroEditResult renamed = macro::RenameMacro(library_, index, edit.Text().toStdString(), Steps());
  if (renamed.status == MacroEditStatus::kUnchanged) return;
  if (!renamed.ok()) {
    Trace("macro page: " + renamed.error.ToString());
    Message(renamed.TextId(), renamed.TextNumber());
    edit.SetText(Utf8(names[static_cast<std::size_t>(index)]));
    return;
  }
  FillMacroList(renamed.names);
  Find("_MacroName_list").SelectItem(index);
  if (hooks_.macrosChanged) hooks_.macrosChanged();
}

// --- the steps ------------------------------------------------------------------------------------

std::optional<MacroAction> MacroPage::StepAt(int row) const {
  const Control list = Find("_Macro_list");
  if (row < 0 || row >= list.ItemCount()) return std::nullopt;
  return ParseMacroAction(list.ItemUserData(row).toStdString());
}

std::vector<MacroAction> MacroPage::Steps() const {
  std::vector<MacroAction> steps;
  const int count = Find("_Macro_list").ItemCount();
  for (int row = 0; row < count; ++row) {
    if (std::optional<MacroAction> step = StepAt(row)) steps.push_back(std::move(*step));
  }
  return steps;
}

QString MacroPage::RowText(const MacroAction& step) const {
  const QString label = window_.GetSkin().Text(Utf8(step.label));
  const QString direction =
      step.IsMove() ? QString::number(step.code) : (step.down != 0 ? QStringLiteral("▼") : QStringLiteral("▲"));
  return label + QStringLiteral("    ") + direction + QStringLiteral("    ") +
         QString::number(std::uint32_t{step.delay} * kDelayUnitMs);
}

void MacroPage::ShowSteps(const std::vector<MacroAction>& steps, int selected) {
  Control list = Find("_Macro_list");
  list.RemoveAllItems();
  const QString rowName = Name("_macro_action");
  for (const MacroAction& step : steps) list.SetItemName(list.AddItem(RowText(step), Utf8(FormatMacroAction(step))), rowName);
  list.SelectItem(selected);
}

void MacroPage::Take(const std::optional<RecordedEvent>& event) {
  if (!event) return;
  std::vector<MacroAction> steps = Steps();
  if (!steps.empty()) steps.back().delay = event->previousDelay;
  steps.push_back(event->step);
  ShowSteps(steps, -1);
}

void MacroPage::ToggleRecording() {
  if (Find("_MacroName_list").ItemCount() == 0) return;
  SetUnsaved(true);
  Find("_tab_macro_edit").SelectItem(kEmptyPage);
  Control button = Find("_macro_btn_redio");
  if (!recording_) {
    const bool keyboard = Find("_macro_keyboard_event").IsSelected();
    const bool mouse = Find("_macro_mouse_click").IsSelected() || Find("_macro_mouse_roller").IsSelected() ||
                       Find("_macro_mouse_move").IsSelected();
    for (const char* stem : kEventOptions) Find(stem).SetEnabled(false);
    // A hook that cannot be installed records nothing; the recording still shows as running.
    if (hooks_.installHooks && !hooks_.installHooks(keyboard, mouse)) Trace("macro page: the input hooks are not in");
    recorder_.Start(hooks_.now ? hooks_.now() : 0, Find("_macro_check_time").IsSelected());
    recording_ = true;
    for (const char* stem : kRecordingLocks) Find(stem).SetEnabled(false);
    button.SetText(QStringLiteral("macro_btn_stop_redio_text"));
    return;
  }
  if (hooks_.removeHooks) hooks_.removeHooks();
  recording_ = false;
  for (const char* stem : kRecordingLocks) Find(stem).SetEnabled(true);
  for (const char* stem : kEventOptions) Find(stem).SetEnabled(true);
  Find("_MacroName_list").SetEnabled(false);  // until save or cancel
  button.SetText(QStringLiteral("macro_btn_star_redio_text"));
}

void MacroPage::RecordKey(std::int64_t keyMessage, int virtualKey, std::uint32_t lowLevelFlags) {
  if (!recording_) return;
  const int code = keyboard::LookupCode(virtualKey, lowLevelFlags);
  const bool press = platform::IsKeyDownMessage(keyMessage);
  const keyboard::KeyTableEntry* entry = keyboard::FindByVirtualKey(code);
  std::optional<RecordableKey> key;
  if (entry) key = RecordableKey{entry->function.b1, entry->function.b2, entry->textId};
  Take(recorder_.Key(code, press, key ? &*key : nullptr, hooks_.now ? hooks_.now() : 0));
}

void MacroPage::RecordMouse(std::int64_t mouseMessage) {
  if (!recording_ || !Find("_macro_mouse_click").IsSelected()) return;
  if (mouseMessage < INT_MIN || mouseMessage > INT_MAX) return;
  Take(recorder_.Mouse(static_cast<int>(mouseMessage), hooks_.now ? hooks_.now() : 0));
}

void MacroPage::ShowInsertPopup(int button) {
  for (const char* key : kInsertKeys)
    window_.FindControl(prefix_ + QStringLiteral("_macro_inset_%1_tab").arg(Latin1(key))).SetVisible(false);
  if (button < 0 || button >= static_cast<int>(std::size(kInsertKeys))) return;
  window_.FindControl(prefix_ + QStringLiteral("_macro_inset_%1_tab").arg(Latin1(kInsertKeys[button]))).SetVisible(true);
}

void MacroPage::InsertMouseStep(int item) {
  if (SelectedMacro() < 0) return;
  std::uint32_t distance = 0;
  if (item >= kFirstMoveItem && item < kMouseListSize)
    distance = ClampTyped(Number(Find(kMoveInserts[item - kFirstMoveItem].edit).Text()), kMaxMoveDistance);
  const std::optional<MacroAction> step = InsertedMouseStep(item, distance);
  if (!step) return;
  std::vector<MacroAction> steps = Steps();
  const int selected = Find("_Macro_list").CurSel();
  const std::size_t at = steps.empty() ? 0 : static_cast<std::size_t>(std::max(selected, 0)) + 1;
  steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(std::min(at, steps.size())), *step);
  ShowSteps(steps, selected);
  SetUnsaved(true);
}

void MacroPage::ShowStep(int row) {
  const std::optional<MacroAction> step = StepAt(row);
  if (!step) return;
  if (step->IsMouseStep()) {
    Find("_tab_macro_edit").SelectItem(kMousePage);
    const std::optional<int> item = MouseListItemOf(*step);
    Find("_macro_combo_mouselect").SelectItem(item.value_or(-1));
    Find("_macro_tab_mou_pointer_skewing").SetVisible(step->IsMove());
    if (step->IsMove()) Find("_macro_edit_mou_pointer_skewing").SetText(QString::number(step->code));
    Find("__macro_edit_mou_action_delay").SetText(QString::number(step->delay));
    return;
  }
  Find("_tab_macro_edit").SelectItem(kKeyPage);
  const auto table = keyboard::KeyTable();
  const bool modifier = step->Kind() == step_kind::kModifier;
  int found = -1;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const KeyFunction& function = table[i].function;
    if ((modifier ? function.b1 : function.b2) == step->code) {
      found = static_cast<int>(i);
      break;
    }
  }
  Find("_macro_combo_keyselect").SelectItem(found);
  Find("_macro_combo_upordown").SelectItem(step->down != 0 ? kPressItem : kReleaseItem);
  Find("__macro_edit_ActionDelay").SetText(QString::number(step->delay));
}

void MacroPage::ChangeSelected(const std::function<std::optional<MacroAction>(MacroAction)>& change) {
  const int row = Find("_Macro_list").CurSel();
  const std::optional<MacroAction> step = StepAt(row);
  if (!step) return;
  const std::optional<MacroAction> changed = change(*step);
  if (!changed) return;
  std::vector<MacroAction> steps;
  const int count = Find("_Macro_list").ItemCount();
  for (int r = 0; r < count; ++r) steps.push_back(r == row ? *changed : StepAt(r).value_or(MacroAction{}));
  ShowSteps(steps, row);
}

void MacroPage::EditKeyItem(int item) {
  const auto table = keyboard::KeyTable();
  if (item < 0 || static_cast<std::size_t>(item) >= table.size()) return;
  const keyboard::KeyTableEntry& entry = table[static_cast<std::size_t>(item)];
  ChangeSelected([&](MacroAction step) -> std::optional<MacroAction> {
    return WithKey(std::move(step), RecordableKey{entry.function.b1, entry.function.b2, entry.textId});
  });
}

void MacroPage::EditMouseItem(int item) {
  Find("_macro_tab_mou_pointer_skewing").SetVisible(item >= kFirstMoveItem);
  ChangeSelected([&](MacroAction step) { return WithMouseItem(std::move(step), item); });
}

void MacroPage::EditDirection(int item) {
  ChangeSelected([&](MacroAction step) -> std::optional<MacroAction> {
    return WithDirection(std::move(step), item == kPressItem);
  });
}

void MacroPage::EditDelay(const QString& editName) {
  Control edit = window_.FindControl(editName);
  const std::uint64_t typed = Number(edit.Text());
  const std::uint32_t units = ClampTyped(typed, kMaxDelayUnits);
  if (typed > units) edit.SetText(QString::number(units));
  ChangeSelected([&](MacroAction step) -> std::optional<MacroAction> {
    step.delay = static_cast<std::uint16_t>(units);
    return step;
  });
}

void MacroPage::EditDistance() {
  Control edit = Find("_macro_edit_mou_pointer_skewing");
  const std::uint64_t typed = Number(edit.Text());
  const std::uint32_t distance = ClampTyped(typed, kMaxMoveDistance);
  if (typed > distance) edit.SetText(QString::number(distance));
  ChangeSelected([&](MacroAction step) -> std::optional<MacroAction> {
    if (!step.IsMove()) return std::nullopt;  // a button's code is its button, never a distance
    step.code = static_cast<std::uint8_t>(distance);
    return step;
  });
}

void MacroPage::ClampDistanceEdit(const QString& editName) {
  Control edit = window_.FindControl(editName);
  if (Number(edit.Text()) > kMaxMoveDistance) edit.SetText(QString::number(kMaxMoveDistance));
}

void MacroPage::Reorder(const QString& button) {
  std::vector<MacroAction> steps = Steps();
  const int n = static_cast<int>(steps.size());
  const int s = Find("_Macro_list").CurSel();
  const QString stem = button.mid(prefix_.size());
  int target = s;
  if (stem == QLatin1String("_macro_btn_deleteall")) {
    steps.clear();
    target = -1;
  } else if (s >= 0 && s < n) {
    if (stem == QLatin1String("_macro_btn_delete")) {
      steps.erase(steps.begin() + s);
      target = -1;
    } else {
      if (stem == QLatin1String("_macro_btn_up") && s > 0) target = s - 1;
      if (stem == QLatin1String("_macro_btn_down") && s < n - 1) target = s + 1;
      if (stem == QLatin1String("_macro_btn_uptop")) target = 0;
      if (stem == QLatin1String("_macro_btn_downbottom")) target = n - 1;
      MacroAction moved = steps[static_cast<std::size_t>(s)];
      steps.erase(steps.begin() + s);
      steps.insert(steps.begin() + target, std::move(moved));
    }
  } else {
    return;
  }
  ShowSteps(steps, target);
  Find("_MacroName_list").SetEnabled(false);
  if (Find("_MacroName_list").ItemCount() > 0) SetUnsaved(true);
}

void MacroPage::SaveMacroEdits() {
  const int index = SelectedMacro();
  const std::vector<std::string> names = Names();
  if (index >= 0 && static_cast<std::size_t>(index) < names.size()) {
    const Result<void> saved = SaveMacro(library_, names[static_cast<std::size_t>(index)], Steps());
    if (!saved) {
      // The edits stay on the page (and the bar with them) so nothing is lost.
      Trace("macro page: " + saved.error().ToString());
      Message(kTextMacroNotSaved);
      return;
    }
  }
  SetUnsaved(false);
  Find("_tab_macro_edit").SelectItem(kEmptyPage);
  Find("_macro_btn_name_sub").SetEnabled(true);
}

void MacroPage::CancelMacroEdits() {
  SetUnsaved(false);
  Find("_tab_macro_edit").SelectItem(kEmptyPage);
  Find("_macro_btn_name_sub").SetEnabled(true);
  ShowSteps({}, -1);
  const int index = SelectedMacro();
  const std::vector<std::string> names = Names();
  if (index >= 0 && static_cast<std::size_t>(index) < names.size()) LoadSteps(names[static_cast<std::size_t>(index)]);
}

void MacroPage::ExportMacro() {
  const int index = SelectedMacro();
  if (index < 0 || !hooks_.chooseExport) return;
  const QString path = hooks_.chooseExport();
  if (path.isEmpty()) return;
  const MacroEditResult exported = macro::ExportMacro(library_, index, path.toStdString());
  if (!exported.ok()) {
    Trace("macro page: " + exported.error.ToString());
    Message(exported.TextId(), exported.TextNumber());
  }
}

void MacroPage::ImportMacro() {
  if (Unsaved()) {
    Message(kTextUnsaved);
    return;
  }
  if (Find("_MacroName_list").ItemCount() == 0) AddMacro();
  const int index = SelectedMacro();
  if (index < 0 || !hooks_.chooseImport) return;
  const QString path = hooks_.chooseImport();
  if (path.isEmpty()) return;
  const MacroEditResult imported = macro::ImportMacro(library_, index, path.toStdString());
  if (!imported.ok()) {
    Trace("macro page: " + imported.error.ToString());
    Message(imported.TextId(), imported.TextNumber());
    return;
  }
  OpenMacro(index);
}

}  // namespace korva::macro
