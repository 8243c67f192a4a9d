#include "mouse/page/MouseCursorPage.h"

#include <algorithm>

#include "common/Log.h"
#include "macro/MacroAction.h"
#include "mouse/CursorMacros.h"
#include "session/MouseController.h"
#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::mouse {
namespace {

using ui::Control;
using ui::Latin1;
using ui::Notification;
using ui::SendNotify;

constexpr char kGunFamily[] = "ms_gun_op_";
constexpr char kBulletFamily[] = "ms_bullet_op_";
constexpr char kBulletIndex[] = "bullet_select_index";
constexpr char kPrev[] = "bullet_selected_prev";
constexpr char kNext[] = "bullet_selected_next";
constexpr char kEditLayout[] = "cursor_edit_layout";
constexpr char kDelayEdit[] = "ms_cursor_delay_eidt";
constexpr char kXEdit[] = "ms_cursor_x_eidt";
constexpr char kYEdit[] = "ms_cursor_y_eidt";
constexpr char kXCheck[] = "ms_cursor_x_check";
constexpr char kYCheck[] = "ms_cursor_y_check";
constexpr char kResetButton[] = "ms_bulletdate_reset_btn";
constexpr char kSaveButton[] = "ms_bulletdate_save_btn";
constexpr char kImportButton[] = "ms_bulletdate_import_btn";
constexpr char kExportButton[] = "ms_bulletdate_export_btn";

// The largest delay the edit takes, in milliseconds, and the largest distance.
constexpr std::uint32_t kMaxDelayMs = macro::kMaxDelayUnits;
constexpr std::uint32_t kMaxDistance = macro::kMaxMoveDistance;

QString Member(const char* family, int i) {
  return Latin1(family) + QString::number(i);
}

// The number typed in an edit (digits only; empty reads 0), and whether it was above `limit`.
std::uint32_t TypedNumber(const QString& text, std::uint32_t limit, bool& over) {
  const QString digits = text.trimmed();
  over = false;
  if (digits.isEmpty()) return 0;
  bool ok = false;
  const qulonglong value = digits.toULongLong(&ok);
  if (!ok) {
    // Digits too long for the type are above any limit; anything else reads 0.
    over = std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
    return over ? limit : 0;
  }
  if (value > limit) over = true;
  return static_cast<std::uint32_t>(std::min<qulonglong>(value, limit));
}

}  // namespace

MouseCursorPage::MouseCursorPage(ui::SkinWindow& window, session::MouseController& mouse, Hooks hooks)
    : window_(window), mouse_(mouse), hooks_(std::move(hooks)) {}

Control MouseCursorPage::Find(const QString& name) const {
  return window_.FindControl(name);
}

bool MouseCursorPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString click = Latin1(ui::notify::kClick);
  const QString selectChanged = Latin1(ui::notify::kSelectChanged);
  const QString textChanged = Latin1(ui::notify::kTextChanged);
  bool ok = router.BindFamily(selectChanged, Latin1(kGunFamily), [this](int k, const Notification& msg) {
    if (msg.wParam != 0) SelectGun(k);
  });
  ok &= router.BindFamily(selectChanged, Latin1(kBulletFamily), [this](int b, const Notification& msg) {
    if (msg.wParam != 0) SelectBullet(b);
  });
  ok &=
      router.BindFamily(click, Latin1(kBulletFamily), [this](int b, const Notification&) { ClickBullet(b); });
  ok &= router.Bind(click, Latin1(kPrev), [this](const Notification&) { StepBullet(-1); });
  ok &= router.Bind(click, Latin1(kNext), [this](const Notification&) { StepBullet(+1); });
  for (const char* edit : {kDelayEdit, kXEdit, kYEdit})
    ok &= router.Bind(textChanged, Latin1(edit),
                      [this, edit](const Notification&) { EditChanged(Latin1(edit)); });
  for (const char* check : {kXCheck, kYCheck})
    ok &= router.Bind(selectChanged, Latin1(check),
                      [this, check](const Notification&) { CheckChanged(Latin1(check)); });
  ok &= router.Bind(click, Latin1(kResetButton), [this](const Notification&) { ResetGun(); });
  ok &= router.Bind(click, Latin1(kSaveButton), [this](const Notification&) { Download(); });
  ok &= router.Bind(click, Latin1(kImportButton), [this](const Notification&) { ImportGun(); });
  ok &= router.Bind(click, Latin1(kExportButton), [this](const Notification&) { ExportGun(); });
  return ok;
}

void MouseCursorPage::Refresh() {
  const int gun = SelectedGunOption();
  SelectGun(gun < 0 ? 0 : gun);
}

int MouseCursorPage::SelectedGunOption() const {
  for (int k = 0; k < kCursorMacroCount; ++k) {
    if (Find(Member(kGunFamily, k)).IsSelected()) return k;
  }
  return -1;
}

void MouseCursorPage::SelectGun(int gun) {
  if (gun < 0 || gun >= kCursorMacroCount) return;
  gun_ = gun;
  Control gunOption = Find(Member(kGunFamily, gun));
  if (!gunOption.IsSelected()) gunOption.Select(true);
  // The first shot is selected again, so that it shows even when it was already selected.
  Control first = Find(Member(kBulletFamily, 0));
  first.Select(false);
  first.Select(true);
  SelectBullet(0);
}

void MouseCursorPage::SelectBullet(int bullet) {
  if (bullet < 0 || bullet >= kBulletCount) return;
  bullet_ = bullet;
  Control option = Find(Member(kBulletFamily, bullet));
  if (!option.IsSelected()) option.Select(true);
  ShowBullet(bullet);
  Find(Latin1(kEditLayout)).SetEnabled(true);
  Find(Latin1(kBulletIndex)).SetText(QString::number(bullet + 1));
}

void MouseCursorPage::ClickBullet(int bullet) {
  // A click that changes the selection is followed by its "selectchanged"; a click on the shot
  // already in the editor changes nothing there, and closes the editor.
  if (!bullet_ || *bullet_ != bullet) return;
  if (!Find(Member(kBulletFamily, bullet)).IsSelected()) return;
  Find(Member(kBulletFamily, bullet)).Select(false);
  Find(Latin1(kEditLayout)).SetEnabled(false);
  bullet_.reset();
}

void MouseCursorPage::StepBullet(int step) {
  if (!bullet_) return;
  const int next = *bullet_ + step;
  if (next < 0 || next >= kBulletCount) return;
  SelectBullet(next);
}

void MouseCursorPage::ShowBullet(int bullet) {
  const CursorBulletView view = mouse_.Cursors().ReadBullet(gun_, bullet);
  Find(Latin1(kDelayEdit)).SetText(QString::number(view.delayMs));
  const auto show = [this](const std::optional<CursorMove>& move, const char* edit, const char* check) {
    if (!move) return;
    Find(Latin1(edit)).SetText(QString::number(move->distance));
    Find(Latin1(check)).Select(move->negative);
    SetCheckText(Latin1(check));
  };
  show(view.x, kXEdit, kXCheck);
  show(view.y, kYEdit, kYCheck);
}

void MouseCursorPage::SetCheckText(const QString& check) {
  const bool horizontal = check == Latin1(kXCheck);
  const bool negative = Find(check).IsSelected();
  // The label a move in the checked direction carries.
  Find(check).SetText(ui::Utf8(CursorMoveStep(!horizontal, {0, negative}).label));
}

void MouseCursorPage::EditChanged(const QString& edit) {
  Control control = Find(edit);
  const std::uint32_t limit = edit == Latin1(kDelayEdit) ? kMaxDelayMs : kMaxDistance;
  bool over = false;
  const std::uint32_t value = TypedNumber(control.Text(), limit, over);
  if (over) control.SetText(QString::number(value));
  StoreBullet();
}

void MouseCursorPage::CheckChanged(const QString& check) {
  SetCheckText(check);
  StoreBullet();
}

void MouseCursorPage::StoreBullet() {
  if (!bullet_) return;
  bool over = false;
  CursorBulletEdit edit;
  edit.delayMs = TypedNumber(Find(Latin1(kDelayEdit)).Text(), kMaxDelayMs, over);
  edit.x = {static_cast<std::uint8_t>(TypedNumber(Find(Latin1(kXEdit)).Text(), kMaxDistance, over)),
            Find(Latin1(kXCheck)).IsSelected()};
  edit.y = {static_cast<std::uint8_t>(TypedNumber(Find(Latin1(kYEdit)).Text(), kMaxDistance, over)),
            Find(Latin1(kYCheck)).IsSelected()};
  if (const Result<void> stored = mouse_.Cursors().StoreBullet(gun_, *bullet_, edit); !stored) {
    Trace("cursor macros: shot not stored: " + stored.error().ToString());
    Report(kTextCursorNotSaved);
  }
}

void MouseCursorPage::ResetGun() {
  const CursorResult reset = mouse_.Cursors().ResetGun(gun_);
  if (!reset.ok()) {
    Report(reset.textId, reset.number);
    return;
  }
  Control first = Find(Member(kBulletFamily, 0));
  first.Select(false);
  first.Select(true);
  SelectBullet(0);
}

void MouseCursorPage::ExportGun() {
  const int gun = SelectedGunOption();
  if (gun < 0 || !hooks_.chooseExport) return;
  const QString path = hooks_.chooseExport();
  if (path.isEmpty()) return;
  const CursorResult exported = mouse_.Cursors().ExportGun(gun, path.toStdString());
  if (!exported.ok()) Report(exported.textId, exported.number);
}

void MouseCursorPage::ImportGun() {
  const int gun = SelectedGunOption();
  if (gun < 0 || !hooks_.chooseImport) return;
  const QString path = hooks_.chooseImport();
  if (path.isEmpty()) return;
  const CursorResult imported = mouse_.Cursors().ImportGun(gun, path.toStdString());
  if (!imported.ok()) {
    Report(imported.textId, imported.number);
    return;
  }
  Find(Member(kGunFamily, gun)).Select(false);
  SelectGun(0);
  Download();
}

void MouseCursorPage::Download() {
  const session::DeviceOutcome outcome = mouse_.DownloadCursorMacros();
  if (!outcome.message.empty()) Report(outcome.message, outcome.number);
}

void MouseCursorPage::Report(std::string_view textId, std::optional<int> number) {
  if (hooks_.showMessage && !textId.empty()) hooks_.showMessage(textId, number);
}

}  // namespace korva::mouse
