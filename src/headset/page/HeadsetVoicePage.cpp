#include "headset/page/HeadsetVoicePage.h"

#include <QFileDialog>
#include <algorithm>
#include <array>
#include <climits>
#include <utility>

#include "common/Log.h"
#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::headset {
namespace {

using ui::Control;
using ui::Notification;
using ui::SendNotify;

// The page's controls, as the skin names them.
constexpr char kProfileCombo[] = "head_device_profile_combo";
constexpr char kNameEdit[] = "hs_voice_profile_name_edit";
constexpr char kAddButton[] = "hs_pro_voice_add_btn";
constexpr char kRenameButton[] = "hs_voice_profile_edit_save_btn";
constexpr char kDeleteButton[] = "hs_pro_voice_sub_btn";
constexpr char kImportButton[] = "hs_pro_voice_import_btn";
constexpr char kExportButton[] = "hs_pro_voice_export_btn";
constexpr char kRestoreButton[] = "head_device_profile_restore_btn";
constexpr char kRecoverButton[] = "btn_recover";
constexpr char kMasterSlider[] = "hs_master_slider";
constexpr char kLeftSlider[] = "hs_left_slider";
constexpr char kRightSlider[] = "hs_right_slider";
constexpr char kMicSlider[] = "hs_mic_vol_slider";
constexpr char kDistanceSlider[] = "hs_LB_slider";
constexpr char kAngleSlider[] = "hs_ANGLE_slider";
constexpr char kVirtualCheck[] = "hs_virtual_check";
constexpr char kEncCheck[] = "btn_low_louder";
constexpr char kSpeakerFamily[] = "hs_slien_check_";
constexpr char kSceneFamily[] = "hs_scenes_btn_";
constexpr char kBandFamily[] = "HZ_Slider_";
constexpr char kUnappliedLayout[] = "hs_voice_unapplied_layout";

constexpr char kTextDeleteConfirm[] = "message_text_12";
constexpr int kAnswerYes = 1;

// One line of the notice per setting the backend does not apply.
struct UnappliedLine {
  UnappliedSetting bit;
  const char* label;
};
constexpr std::array<UnappliedLine, 6> kUnappliedLines{{
    {kUnappliedVolume, "hs_unapplied_volume"},
    {kUnappliedMic, "hs_unapplied_mic"},
    {kUnappliedSurround, "hs_unapplied_surround"},
    {kUnappliedSoundField, "hs_unapplied_soundfield"},
    {kUnapplied3D, "hs_unapplied_3d"},
    {kUnappliedEnc, "hs_unapplied_enc"},
}};

QString Name(const char* name) {
  return QString::fromLatin1(name);
}
QString Numbered(const char* family, int n) {
  return Name(family) + QString::number(n);
}
QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

int Value(const Notification& msg) {
  return static_cast<int>(std::clamp<qint64>(msg.wParam, INT_MIN, INT_MAX));
}

void ShowRange(Control slider, SliderRange range, int value) {
  slider.SetRange(range.min, range.max);
  slider.SetValue(value);
}

}  // namespace

HeadsetVoicePage::HeadsetVoicePage(ui::SkinWindow& window, AudioLibrary& audio, profile::DataFolders folders,
                                   std::filesystem::path defaultsFolder, Hooks hooks)
    : window_(window),
      profiles_(std::move(folders), std::move(defaultsFolder)),
      voice_(audio, profiles_),
      hooks_(std::move(hooks)) {}

Control HeadsetVoicePage::Find(const char* name) const {
  return window_.FindControl(Name(name));
}

bool HeadsetVoicePage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString click = Name(ui::notify::kClick);
  const QString valueChanged = Name(ui::notify::kValueChanged);
  const QString selectChanged = Name(ui::notify::kSelectChanged);
  bool ok = router.Bind(Name(ui::notify::kItemSelect), Name(kProfileCombo),
                        [this](const Notification& msg) { SelectProfile(Value(msg)); });
  const std::pair<const char*, void (HeadsetVoicePage::*)()> buttons[] = {
      {kAddButton, &HeadsetVoicePage::AddProfile},       {kRenameButton, &HeadsetVoicePage::RenameProfile},
      {kDeleteButton, &HeadsetVoicePage::DeleteProfile}, {kImportButton, &HeadsetVoicePage::ImportProfile},
      {kExportButton, &HeadsetVoicePage::ExportProfile}, {kRestoreButton, &HeadsetVoicePage::RestoreAll},
      {kRecoverButton, &HeadsetVoicePage::RecoverVoice},
  };
  for (const auto& [name, handler] : buttons) {
    ok &= router.Bind(click, Name(name),
                      [this, handler = handler](const Notification&) { (this->*handler)(); });
  }
  ok &= router.Bind(valueChanged, Name(kMasterSlider),
                    [this](const Notification& msg) { MasterMoved(Value(msg)); });
  ok &=
      router.Bind(valueChanged, Name(kMicSlider), [this](const Notification& msg) { MicMoved(Value(msg)); });
  for (const char* channel : {kLeftSlider, kRightSlider}) {
    ok &= router.Bind(valueChanged, Name(channel), [this](const Notification&) { ChannelMoved(); });
  }
  ok &= router.Bind(valueChanged, Name(kDistanceSlider),
                    [this](const Notification&) { SpeakerSliderMoved(SpeakerSlider::kDistance); });
  ok &= router.Bind(valueChanged, Name(kAngleSlider),
                    [this](const Notification&) { SpeakerSliderMoved(SpeakerSlider::kAngle); });
  ok &= router.Bind(selectChanged, Name(kVirtualCheck),
                    [this](const Notification& msg) { VirtualSwitched(msg.wParam != 0); });
  // Options of a group report only the one that became selected.
  ok &= router.BindFamily(selectChanged, Name(kSpeakerFamily),
                          [this](int n, const Notification&) { SpeakerSelected(n); });
  // The scene buttons are routed by their full names.
  for (int k = 0; k < static_cast<int>(kSceneCount); ++k) {
    ok &= router.Bind(selectChanged, Numbered(kSceneFamily, k),
                      [this, k](const Notification&) { SceneSelected(k); });
  }
  return ok;
}

void HeadsetVoicePage::InitPage() {
  const profile::ListResult list = profiles_.Initialise();
  Report(list.result);
  FillProfileList(list.names, -1);
}

void HeadsetVoicePage::FillProfileList(const std::vector<std::string>& names, int select) {
  Control combo = Find(kProfileCombo);
  combo.RemoveAllItems();
  // Each item carries its name as its text and as its user data.
  for (const std::string& name : names) combo.AddItem(Text(name), Text(name));
  // The combo takes its first item as selected; no profile is selected until one is chosen, so
  // that choosing any item (the arrival's stored one included) raises "itemselect".
  combo.SelectItem(select);
}

int HeadsetVoicePage::SelectedIndex() const {
  return Find(kProfileCombo).CurSel();
}

bool HeadsetVoicePage::Report(const profile::StoreResult& result) {
  if (result.ok()) return true;
  const std::string_view textId = result.TextId();
  if (textId.empty()) {
    Trace("headset profile: " + result.error.ToString());
  } else if (hooks_.showMessage) {
    hooks_.showMessage(QString::fromLatin1(textId.data(), static_cast<qsizetype>(textId.size())));
  }
  return false;
}

void HeadsetVoicePage::SelectProfile(int index) {
  Control combo = Find(kProfileCombo);
  if (index < 0 || index >= combo.ItemCount()) return;
  Find(kNameEdit).SetText(combo.ItemUserData(index));
  // A file that does not load leaves the current values; they are still shown and sent.
  const profile::StoreResult loaded = voice_.SelectProfile(index);
  if (!loaded) Trace("headset profile not loaded: " + loaded.error.ToString());
  if (hooks_.lightChanged) hooks_.lightChanged(voice_.Light());
  ShowVoice();
  sentSinceRefresh_ = true;
}

void HeadsetVoicePage::ChooseProfile(int index) {
  FillProfileList(profiles_.Names(), index);
  SelectProfile(index);
}

void HeadsetVoicePage::ReloadProfiles() {
  FillProfileList(profiles_.Names(), SelectedIndex());
}

void HeadsetVoicePage::Refresh() {
  const bool sent = std::exchange(sentSinceRefresh_, false);
  if (sent || voice_.Selected() < 0) return;
  voice_.ApplyVoiceInfo();
  ShowVoice();
}

void HeadsetVoicePage::LightingCopied(const lighting::LightingSettings& light) {
  voice_.SetLight(light);
}

void HeadsetVoicePage::AddProfile() {
  const profile::IndexResult added = profiles_.Add();
  if (!Report(added.result)) return;
  FillProfileList(profiles_.Names(), -1);
  Find(kProfileCombo).SelectItem(added.index, SendNotify::Yes);
}

void HeadsetVoicePage::RenameProfile() {
  const int selected = SelectedIndex();
  if (selected < 0) return;
  const QString name = Find(kNameEdit).Text();
  if (!Report(profiles_.Rename(selected, name.toStdString()))) return;
  FillProfileList(profiles_.Names(), selected);
  Find(kNameEdit).SetText(name);
}

void HeadsetVoicePage::DeleteProfile() {
  const int selected = SelectedIndex();
  if (selected < 0) return;
  if (Find(kProfileCombo).ItemCount() <= 1) {
    // The library refuses it too; asking first would be a question with one answer.
    Report(profiles_.Delete(selected).result);
    return;
  }
  if (!hooks_.showMessage || hooks_.showMessage(Name(kTextDeleteConfirm)) != kAnswerYes) return;
  const profile::IndexResult deleted = profiles_.Delete(selected);
  if (!Report(deleted.result)) return;
  FillProfileList(profiles_.Names(), -1);
  Find(kProfileCombo).SelectItem(deleted.index, SendNotify::Yes);
}

void HeadsetVoicePage::ImportProfile() {
  const int selected = SelectedIndex();
  if (selected < 0) return;
  const QString file = ChooseFile(false);
  if (file.isEmpty()) return;
  if (!Report(profiles_.Import(selected, file.toStdString()))) return;
  SelectProfile(selected);
}

void HeadsetVoicePage::ExportProfile() {
  const int selected = SelectedIndex();
  if (selected < 0) return;
  const QString file = ChooseFile(true);
  if (file.isEmpty()) return;
  Report(profiles_.Export(selected, file.toStdString()));
}

QString HeadsetVoicePage::ChooseFile(bool save) {
  if (hooks_.chooseFile) return hooks_.chooseFile(save);
  QFileDialog dialog(&window_);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("json"));
  dialog.setNameFilter(QStringLiteral("(*.json)"));
  dialog.setOption(QFileDialog::ReadOnly, !save);
  dialog.selectFile(QStringLiteral("*.json"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void HeadsetVoicePage::RestoreAll() {
  if (!Report(voice_.RestoreAll())) return;
  if (hooks_.lightChanged) hooks_.lightChanged(voice_.Light());
  ShowVoice();
}

void HeadsetVoicePage::RecoverVoice() {
  if (!Report(voice_.RecoverVoice())) return;
  ShowVoice();
}

void HeadsetVoicePage::MasterMoved(int value) {
  voice_.SetMaster(value);
  ShowUnapplied();
}

void HeadsetVoicePage::ChannelMoved() {
  voice_.SetChannels(Find(kLeftSlider).Value(), Find(kRightSlider).Value());
  ShowUnapplied();
}

void HeadsetVoicePage::MicMoved(int value) {
  voice_.SetMic(value);
  ShowUnapplied();
}

void HeadsetVoicePage::SpeakerSelected(int speaker) {
  voice_.SelectSpeaker(speaker);
  ShowSpeaker();
}

void HeadsetVoicePage::SpeakerSliderMoved(SpeakerSlider moved) {
  voice_.MoveSpeaker(moved, Find(kDistanceSlider).Value(), Find(kAngleSlider).Value());
  ShowUnapplied();
}

void HeadsetVoicePage::VirtualSwitched(bool on) {
  voice_.SetVirtual(on);
  ShowUnapplied();
}

void HeadsetVoicePage::SceneSelected(int scene) {
  if (const SceneButton* button = voice_.SelectScene(scene)) ShowBands(button->bands);
  ShowUnapplied();
}

void HeadsetVoicePage::ShowVoice() {
  const HeadsetVoiceSettings& s = voice_.Settings();
  ShowRange(Find(kRightSlider), kVolumeRange, s.right);
  ShowRange(Find(kLeftSlider), kVolumeRange, s.left);
  ShowRange(Find(kMasterSlider), kVolumeRange, s.master);
  ShowRange(Find(kMicSlider), kVolumeRange, s.mic);
  window_.FindControl(Numbered(kSpeakerFamily, s.speaker)).Select(true);
  ShowSpeaker();
  window_.FindControl(Numbered(kSceneFamily, s.scene)).Select(true);
  ShowBands(
      s.scenes[static_cast<std::size_t>(std::clamp(s.scene, 0, static_cast<int>(kSceneCount) - 1))].bands);
  Find(kVirtualCheck).Select(s.virtualSurround != 0);
  Find(kEncCheck).Select(s.enc != 0);
  ShowUnapplied();
}

void HeadsetVoicePage::ShowSpeaker() {
  const HeadsetVoiceSettings& s = voice_.Settings();
  const auto speaker =
      static_cast<std::size_t>(std::clamp(s.speaker, 0, static_cast<int>(kSpeakerCount) - 1));
  ShowRange(Find(kDistanceSlider), kDistanceRange, s.distances[speaker]);
  ShowRange(Find(kAngleSlider), kAngleRange, s.angles[speaker]);
}

void HeadsetVoicePage::ShowBands(const std::array<int, kBandCount>& bands) {
  for (std::size_t i = 0; i < kBandCount; ++i) {
    ShowRange(window_.FindControl(Numbered(kBandFamily, static_cast<int>(i))), kBandRange, bands[i]);
  }
}

void HeadsetVoicePage::ShowUnapplied() {
  const unsigned unapplied = voice_.Unapplied();
  Find(kUnappliedLayout).SetVisible(unapplied != kUnappliedNone);
  for (const UnappliedLine& line : kUnappliedLines) Find(line.label).SetVisible((unapplied & line.bit) != 0);
}

}  // namespace korva::headset
