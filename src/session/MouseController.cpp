#include "session/MouseController.h"

#include <algorithm>

#include "common/Log.h"
#include "device/CommandExchange.h"
#include "macro/MacroUpload.h"
#include "mouse/MouseProfiles.h"
#include "mouse/MouseTransfer.h"
#include "session/SessionTexts.h"

namespace korva::session {
namespace {

using lighting::LightingSettings;
using mouse::MouseActiveSettings;

// The lighting record is bytes 1..8 of the active settings.
constexpr std::size_t kLightingOffset = MouseActiveSettings::kLightingMode;

void TraceStore(const char* what, const profile::StoreResult& result) {
  if (!result.ok()) Trace(std::string("mouse ") + what + ": " + result.error.ToString());
}

// The light restore reads this many bytes of the default file: the part of a record that is ever
// transferred (the rest of record slot 0 keeps what it had).
constexpr std::size_t kRestoredLightBytes = mouse::kMouseRecordTransferSize;

}  // namespace

MouseController::MouseController(device::HidDevice& device, const profile::DataFolders& folders,
                                 const std::filesystem::path& defaultsFolder)
    : DeviceController(DeviceKind::kMouse, device),
      lightStore_(profile::StoreKind::kMouseLight, folders, defaultsFolder),
      keyStore_(profile::StoreKind::kMouseKey, folders, defaultsFolder),
      model_(&lightStore_),
      cursors_(keyStore_.IndexPath().parent_path(), defaultsFolder) {}

void MouseController::Initialise() {
  // The arrival read and every settings change save into the selected light and key profiles, so
  // each library needs its first profile before the mouse can arrive.
  for (profile::ProfileStore* store : {&lightStore_, &keyStore_}) {
    const profile::ListResult listed = store->Initialise();
    TraceStore("profile library not created", listed.result);
  }
  if (const Result<void> cursors = cursors_.Initialise(); !cursors)
    Trace("mouse: cursor macros not set up: " + cursors.error().ToString());
}

int MouseController::StoredSelection(device::StoredSelection which) const {
  return (which == device::StoredSelection::kLight ? lightStore_ : keyStore_).SelectedIndex();
}

void MouseController::ReadOnArrival(const device::Arrival& arrival) {
  // A fresh image, never the UI thread's: the stored light profile first, then the mouse read
  // over it; the selected profiles are rewritten from a complete read only.
  mouse::MouseImage fresh;
  TraceStore("light profile not loaded",
             mouse::LoadMouseLightProfile(fresh, lightStore_,
                                          arrival.profileDengSelect.value_or(lightStore_.SelectedIndex())));
  const mouse::MouseReadAndSave read = mouse::ReadMouseAllAndSave(Device(), fresh, lightStore_, keyStore_);
  if (read.read.ok()) arrived_.Put(fresh);
}

DeviceOutcome MouseController::ApplyArrival(const device::Arrival& /*arrival*/) {
  if (std::optional<mouse::MouseImage> fresh = arrived_.Take()) model_.TakeImage(*fresh);
  return {};
}

DeviceOutcome MouseController::ReadAll() {
  // Into a copy: a read that fails part-way leaves the page's image and the files as they were.
  mouse::MouseImage fresh = model_.image();
  const mouse::MouseReadAndSave read = mouse::ReadMouseAllAndSave(Device(), fresh, lightStore_, keyStore_);
  if (read.saved) {
    TraceStore("light profile not saved", read.light);
    TraceStore("key profile not saved", read.key);
  }
  if (!read.read.changed) return {};
  model_.TakeImage(fresh);
  return {true};
}

DeviceOutcome MouseController::ReloadProfile() {
  return {model_.ReloadActive(Device()).changed};
}

DeviceOutcome MouseController::FlushDeferredWrite() {
  return FlushTick(retry_, Device(),
                   {[this] { return model_.pendingWrite(); },
                    [this] { return mouse::WriteMouseActiveSettings(Device(), model_.image().active); },
                    [this] { model_.DropPendingWrite(); }},
                   "mouse");
}

DeviceOutcome MouseController::RestoreDefaults() {
  const DeviceOutcome light = RestoreLight();
  if (!light.message.empty()) return light;
  DeviceOutcome keys = RestoreKeys();
  keys.changed = keys.changed || light.changed;
  return keys;
}

DeviceOutcome MouseController::DownloadCursorMacros() {
  const mouse::CursorDownload download = mouse::DownloadCursorMacros(Device(), cursors_);
  return {false, download.result.textId, download.result.number};
}

DeviceOutcome MouseController::SaveKeys() {
  // The cursor macros first; a block the mouse cannot hold is reported once the rest is sent.
  const DeviceOutcome cursors = DownloadCursorMacros();
  // Then the macros: a library the mouse cannot hold stops the save before anything is sent.
  const macro::MacroLibrary macros{keyStore_.IndexPath().parent_path(), DeviceKind::kMouse};
  const macro::MacroUploadResult uploaded =
      macro::UploadMacroLibrary(Device(), macros, model_.image().info.MacroUnits());
  if (uploaded.stop) {
    Trace("mouse: the macros were not sent: " + uploaded.error.ToString());
    return {false, uploaded.textId, uploaded.textNumber};
  }
  const int written = mouse::WriteMouseKeyBank(Device(), model_.image());
  // The assignments are the user's whatever the mouse did with them: the profile keeps them.
  TraceStore("key profile not saved", mouse::SaveMouseKeyProfile(model_.image(), keyStore_));
  if (written != device::kResultOk) {
    Trace("mouse: the key bank was not written: " + std::to_string(written));
    return {false, kTextUploadFailed};
  }
  return cursors;
}

DeviceOutcome MouseController::RestoreLight() {
  const profile::PayloadResult read = lightStore_.ReadDefaultPayload();
  if (!read.result.ok() || read.payload.size() < kRestoredLightBytes) {
    TraceStore("default light profile", read.result);
    const std::string_view text = read.result.TextId();
    return {false, text.empty() ? kTextFileInvalid : text};
  }
  mouse::MouseImage& image = model_.image();
  auto& slot0 = image.records[0].bytes;
  std::copy_n(read.payload.begin(), kRestoredLightBytes, slot0.begin());
  std::copy_n(slot0.begin(), MouseActiveSettings::kSize, image.active.bytes.begin());
  // Saved with the desktop settings the profile had; they change after the save.
  SaveLightProfile();
  model_.MarkPendingWrite();
  image.pointerSpeed = kRestoredPointerSpeed;
  image.wheelLines = kRestoredWheelLines;
  return {true};
}

DeviceOutcome MouseController::RestoreKeys() {
  const profile::PayloadResult read = keyStore_.ReadDefaultPayload();
  mouse::MouseImage& image = model_.image();
  if (!read.result.ok() || !mouse::ApplyKeyPayload(image, read.payload)) {
    TraceStore("default key profile", read.result);
    const std::string_view text = read.result.TextId();
    return {true, text.empty() ? kTextFileInvalid : text};
  }
  TraceStore("key profile not saved", mouse::SaveMouseKeyProfile(image, keyStore_));
  if (Device().connected) {
    const int written = device::WriteBank(Device(), 0, image.banks[0].bytes);
    if (written != device::kResultOk) Trace("mouse: default key bank not written: " + std::to_string(written));
  }
  return {true};
}

LightingSettings MouseController::Lighting() const {
  const auto& bytes = model_.image().active.bytes;
  return LightingSettings::FromBytes(std::span<const std::uint8_t, LightingSettings::kSize>(
      bytes.data() + kLightingOffset, LightingSettings::kSize));
}

void MouseController::SetLighting(const LightingSettings& record) {
  auto& bytes = model_.image().active.bytes;
  record.CopyTo(std::span<std::uint8_t, LightingSettings::kSize>(bytes.data() + kLightingOffset,
                                                                  LightingSettings::kSize));
}

void MouseController::SaveLightProfile() {
  TraceStore("light profile not saved", mouse::SaveMouseLightProfile(model_.image(), lightStore_));
}

}  // namespace korva::session
