#include "profile/page/ProfilePanel.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QSize>
#include <algorithm>
#include <climits>

#include "common/Log.h"
#include "profile/ApplicationLink.h"
#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::profile {
namespace {

using ui::Control;
using ui::Notification;

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Latin1(const char* text) {
  return QString::fromLatin1(text);
}

bool IsKeyStore(StoreKind store) {
  return LayoutOf(store).extension == ".pro";
}

const char* DevicePrefix(StoreKind store) {
  switch (LayoutOf(store).device) {
    case DeviceKind::kKeyboard:
      return "kb";
    case DeviceKind::kMouse:
      return "ms";
    case DeviceKind::kMousepad:
    case DeviceKind::kHeadset:
      break;
  }
  return "mp";
}

// An executable file is linked; the dialog offers all files, as Linux programs have no extension.
std::optional<std::filesystem::path> ChooseExecutableWithDialog(
    QWidget* parent, const QString& title, const std::function<int(const QString&)>& message) {
  const QString chosen = QFileDialog::getOpenFileName(parent, title, {}, QStringLiteral("(*)"), nullptr,
                                                      QFileDialog::DontResolveSymlinks);
  if (chosen.isEmpty()) return std::nullopt;
  const QFileInfo info(chosen);
  if (!info.isFile() || !info.isExecutable()) {
    if (message) message(QString::fromLatin1(kTextNotExecutable));
    return std::nullopt;
  }
  return std::filesystem::path(chosen.toStdString());
}

}  // namespace

ProfilePanel::ProfilePanel(ui::SkinWindow& window, session::ProfileLibrary& library, StoreKind store,
                           Hooks hooks)
    : window_(window), library_(library), store_(store), hooks_(std::move(hooks)) {
  device_ = Latin1(DevicePrefix(store));
  const QString kind = IsKeyStore(store) ? QStringLiteral("key") : QStringLiteral("deng");
  prefix_ = device_ + QLatin1Char('_') + kind + QLatin1Char('_');
  buttonPrefix_ = device_ + QStringLiteral("_pro_") + kind + QLatin1Char('_');
  if (!hooks_.chooseFile) hooks_.chooseFile = QtProfileFileChooser(&window_);
  if (!hooks_.chooseExecutable) {
    hooks_.chooseExecutable = [this] {
      return ChooseExecutableWithDialog(&window_, window_.GetSkin().Text(Latin1(kTextLinkDialogTitle)),
                                        [this](const QString& id) { return Message(id); });
    };
  }
}

Control ProfilePanel::Find(const char* role) const {
  return window_.FindControl(prefix_ + Latin1(role));
}

Control ProfilePanel::Button(const char* role) const {
  return window_.FindControl(buttonPrefix_ + Latin1(role));
}

bool ProfilePanel::RegisterRoutes(ui::NotifyRouter& router) {
  const QString click = Latin1(ui::notify::kClick);
  bool ok = router.Bind(Latin1(ui::notify::kItemSelect), prefix_ + QStringLiteral("profile_combo"),
                        [this](const Notification& msg) {
                          Select(static_cast<int>(std::clamp<qint64>(msg.wParam, INT_MIN, INT_MAX)));
                        });
  const std::pair<QString, void (ProfilePanel::*)()> clicks[] = {
      {buttonPrefix_ + QStringLiteral("add_btn"), &ProfilePanel::Add},
      {buttonPrefix_ + QStringLiteral("sub_btn"), &ProfilePanel::Delete},
      {buttonPrefix_ + QStringLiteral("copy_btn"), &ProfilePanel::Copy},
      {buttonPrefix_ + QStringLiteral("import_btn"), &ProfilePanel::Import},
      {buttonPrefix_ + QStringLiteral("export_btn"), &ProfilePanel::Export},
      {prefix_ + QStringLiteral("profile_edit_save_btn"), &ProfilePanel::Rename},
      {prefix_ + QStringLiteral("profile_restore_btn"), &ProfilePanel::Restore},
  };
  for (const auto& [name, handler] : clicks)
    ok &= router.Bind(click, name, [this, handler](const Notification&) { (this->*handler)(); });
  ok &= router.Bind(click, prefix_ + QStringLiteral("profile_link_btn"), [this](const Notification&) { Unlink(); });
  ok &= router.Bind(Latin1(ui::notify::kSelectChanged), prefix_ + QStringLiteral("profile_link_check"),
                    [this](const Notification&) {
                      if (Find("profile_link_check").IsSelected())
                        Link();
                      else
                        Unlink();
                    });
  return ok;
}

void ProfilePanel::Initialise() {
  ProfileStore& store = library_.Store(store_);
  const ListResult listed = store.Initialise();
  if (!listed.result) {
    // A first run without a usable default file: the list stays empty until the next start.
    Report(listed.result);
    return;
  }
  const int selected = store.SelectedIndex();
  Fill(listed.names, selected);
  ShowName(selected);
  ShowLink(selected);
}

void ProfilePanel::Fill(const std::vector<std::string>& names, int selected) {
  Control combo = Find("profile_combo");
  combo.RemoveAllItems();
  auto* box = qobject_cast<QComboBox*>(combo.Widget());
  for (const std::string& name : names) {
    const int item = combo.AddItem(Utf8(name), Utf8(name));
    if (box && item >= 0) box->setItemData(item, QSize(0, kProfileItemHeight), Qt::SizeHintRole);
  }
  combo.SelectItem(selected);
  Shown(combo.CurSel());
}

void ProfilePanel::Shown(int index) {
  if (hooks_.shown) hooks_.shown(index);
}

void ProfilePanel::LinksChanged() {
  if (hooks_.linksChanged) hooks_.linksChanged();
}

int ProfilePanel::Selected() const {
  return Find("profile_combo").CurSel();
}

void ProfilePanel::ShowName(int index) {
  Find("profile_name_edit").SetText(Find("profile_combo").ItemText(index));
}

void ProfilePanel::ShowLink(int index) {
  const ProfileLink link = library_.Store(store_).ReadLink(index);
  const bool linked = link.linked && !link.executable.empty();
  Find("profile_link_edit").SetText(linked ? Utf8(ExecutableFileName(link.executable)) : QStringLiteral(" "));
  Find("profile_link_check").Select(linked);
  Find("profile_link_name_hor").SetVisible(linked);
}

void ProfilePanel::CloseFunctionEditor() {
  if (!IsKeyStore(store_)) return;
  Control editor = window_.FindControl(device_ + QStringLiteral("_tab_function"));
  if (!editor.IsVisible()) return;
  editor.SetVisible(false);
  editor.SetEnabled(false);
}

void ProfilePanel::Select(int index) {
  if (index < 0) return;
  Shown(index);
  ShowName(index);
  ShowLink(index);
  const session::ProfileEffect effect = library_.Select(store_, index);
  if (effect.applied) CloseFunctionEditor();
  Applied(effect);
}

void ProfilePanel::SelectNew(const IndexResult& result) {
  Fill(library_.Store(store_).Names(), result.index);
  Select(result.index);
}

void ProfilePanel::Add() {
  const IndexResult added = library_.Store(store_).AddProfile();
  if (Report(added.result)) SelectNew(added);
}

void ProfilePanel::Delete() {
  const int selected = Selected();
  if (selected < 0) return;
  if (Find("profile_combo").ItemCount() == 1) {
    Message(Latin1(kTextLastProfile.data()));
    return;
  }
  if (Message(QStringLiteral("message_text_12")) != 1) return;
  const IndexResult deleted = library_.Store(store_).DeleteProfile(selected);
  if (Report(deleted.result)) SelectNew(deleted);
}

void ProfilePanel::Copy() {
  const int selected = Selected();
  if (selected < 0) return;
  const IndexResult copied = library_.Store(store_).CopyProfile(selected);
  if (Report(copied.result)) SelectNew(copied);
}

void ProfilePanel::Rename() {
  const int selected = Selected();
  if (selected < 0) return;
  const std::string name = Find("profile_name_edit").Text().toStdString();
  if (!Report(library_.Store(store_).RenameProfile(selected, name))) return;
  Fill(library_.Store(store_).Names(), selected);
  ShowName(selected);
}

void ProfilePanel::Import() {
  const int selected = Selected();
  if (selected < 0) return;
  const std::optional<std::filesystem::path> source =
      hooks_.chooseFile(RequestFor(ProfileFileDialog::kOpen, LayoutOf(store_).extension));
  if (!source) return;
  const session::ProfileEffect effect = library_.Import(store_, selected, *source);
  if (!Report(effect.result)) return;
  if (effect.applied) CloseFunctionEditor();
  Applied(effect);
}

void ProfilePanel::Export() {
  const int selected = Selected();
  if (selected < 0) return;
  const std::optional<std::filesystem::path> target =
      hooks_.chooseFile(RequestFor(ProfileFileDialog::kSave, LayoutOf(store_).extension));
  if (!target) return;
  Report(library_.Store(store_).ExportProfile(selected, *target));
}

void ProfilePanel::Restore() {
  const session::ProfileEffect effect = library_.Restore(store_);
  Applied(effect);
  if (!effect.message.empty()) Message(Utf8(effect.message));
}

void ProfilePanel::ShowLinked(int index) {
  Control combo = Find("profile_combo");
  if (index < 0 || index >= combo.ItemCount() || index == combo.CurSel()) {
    Shown(combo.CurSel());
    return;
  }
  // The hand-chosen profile again: a selection as by hand, which also ends saving into the linked one.
  if (index == library_.Store(store_).SelectedIndex()) {
    combo.SelectItem(index);
    Select(index);
    return;
  }
  combo.SelectItem(index);
  Shown(index);
  ShowName(index);
  ShowLink(index);
  const session::ProfileEffect effect = library_.ShowLinked(store_, index);
  if (effect.applied) CloseFunctionEditor();
  Applied(effect);
}

void ProfilePanel::ClearLink(int index, bool write) {
  Find("profile_link_check").Select(false);
  Find("profile_link_edit").SetText(QStringLiteral(" "));
  Find("profile_link_name_hor").SetVisible(false);
  if (write && index >= 0) {
    // Unlinked: flag "0" and a single space as the path.
    Report(library_.Store(store_).WriteLink(index, ProfileLink{}));
    LinksChanged();
  }
}

void ProfilePanel::Link() {
  const int selected = Selected();
  if (selected < 0) {
    ClearLink(selected, false);
    return;
  }
  const std::optional<std::filesystem::path> chosen = hooks_.chooseExecutable();
  const std::string path = chosen ? chosen->string() : std::string();
  ProfileStore& store = library_.Store(store_);
  switch (chosen ? CheckLink(store.Links(), path) : LinkCheck::kNoPath) {
    case LinkCheck::kAlreadyLinked:
      Message(Utf8(kTextAlreadyLinked));
      // Nothing else changes: the profile keeps what it had.
      ShowLink(selected);
      return;
    case LinkCheck::kNoPath:
      ClearLink(selected, true);
      return;
    case LinkCheck::kAccepted:
      break;
  }
  // A path that cannot be stored is reported; the row shows what the index holds either way.
  Report(store.WriteLink(selected, ProfileLink{true, path}));
  LinksChanged();
  ShowLink(selected);
}

void ProfilePanel::Unlink() {
  ClearLink(Selected(), true);
}

void ProfilePanel::SetSwitchingAvailable(bool available) {
  Find("profile_link_none").SetVisible(!available);
  Find("profile_link_check").SetToolTip(available ? QString() : Latin1(kTextNoForegroundProvider));
}

void ProfilePanel::Applied(const session::ProfileEffect& effect) {
  if (effect.applied && hooks_.applied) hooks_.applied(effect);
}

bool ProfilePanel::Report(const StoreResult& result) {
  if (result.ok()) return true;
  if (result.status == StoreStatus::kWriteFailed) {
    Message(Latin1(kTextProfileWriteFailed));
    return false;
  }
  const QString id = Utf8(result.TextId());
  if (result.status == StoreStatus::kProfileLimit) {
    // The text names the limit with "%d".
    Message(window_.GetSkin().Text(id).replace(QStringLiteral("%d"), QString::number(kMaxProfileCount)));
  } else {
    Message(id);
  }
  return false;
}

int ProfilePanel::Message(const QString& textOrId) {
  return hooks_.showMessage ? hooks_.showMessage(textOrId) : 0;
}

}  // namespace korva::profile
