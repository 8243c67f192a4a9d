#include "session/KeyboardController.h"

#include "common/Log.h"
#include "keyboard/KeyboardTransfer.h"
#include "profile/ProfileFile.h"
#include "session/SessionTexts.h"

namespace korva::session {
namespace {

void TraceStore(const char* what, const profile::StoreResult& result) {
  if (!result.ok()) Trace(std::string("keyboard ") + what + ": " + result.error.ToString());
}

std::string_view TextOf(const profile::StoreResult& result) {
  const std::string_view text = result.TextId();
  return text.empty() ? kTextFileInvalid : text;
}

}  // namespace

KeyboardController::KeyboardController(device::HidDevice& device, const profile::DataFolders& folders,
                                       const std::filesystem::path& defaultsFolder)
    : DeviceController(DeviceKind::kKeyboard, device),
      lightStore_(profile::StoreKind::kKeyboardLight, folders, defaultsFolder),
      keyStore_(profile::StoreKind::kKeyboardKey, folders, defaultsFolder) {}

void KeyboardController::Initialise() {
  for (profile::ProfileStore* store : {&lightStore_, &keyStore_})
    TraceStore("profile library not created", store->Initialise().result);
}

int KeyboardController::StoredSelection(device::StoredSelection which) const {
  return (which == device::StoredSelection::kLight ? lightStore_ : keyStore_).SelectedIndex();
}

DeviceOutcome KeyboardController::ReadInto(keyboard::KeyboardImage& fresh) {
  const keyboard::KeyboardTransferResult read = keyboard::ReadKeyboardAll(Device(), fresh);
  if (read.tooManyKeys) return {false, keyboard::kTextTooManyKeys};
  if (!read.ok()) return {};
  TraceStore("key profile not saved", keyStore_.SaveProfile(fresh.banks[0]));
  return {true};
}

void KeyboardController::TakeImage(const keyboard::KeyboardImage& fresh) {
  image_ = fresh;
  editor_.Reset();
}

void KeyboardController::ReadOnArrival(const device::Arrival& /*arrival*/) {
  keyboard::KeyboardImage fresh;
  const DeviceOutcome read = ReadInto(fresh);
  if (read.changed || !read.message.empty()) arrived_.Put({fresh, read.message});
}

DeviceOutcome KeyboardController::ApplyArrival(const device::Arrival& /*arrival*/) {
  std::optional<Arrived> arrived = arrived_.Take();
  if (!arrived) return {};
  if (!arrived->message.empty()) return {false, arrived->message};  // refused: the image stays
  TakeImage(arrived->image);
  return {};
}

DeviceOutcome KeyboardController::ReadAll() {
  keyboard::KeyboardImage fresh = image_;
  const DeviceOutcome read = ReadInto(fresh);
  if (read.changed) TakeImage(fresh);
  return read;
}

DeviceOutcome KeyboardController::ReloadProfile() {
  if (!keyboard::ReloadKeyboardActive(Device(), image_).ok()) return {};
  SaveLightProfile();
  return {true};
}

DeviceOutcome KeyboardController::ReadDefaults() {
  if (!keyboard::ReadKeyboardDefaults(Device(), image_).ok()) return {};
  // "kbkeydefault.pro" goes to the keyboard's data folder, where the key library's restore finds it
  // first; the program folder is read-only.
  const std::filesystem::path file =
      keyStore_.IndexPath().parent_path() / profile::LayoutOf(profile::StoreKind::kKeyboardKey).defaultFile;
  if (const auto written = profile::WriteProfileFile(file, profile::DeviceTag::kKeyboard, image_.defaultBlock); !written)
    Trace("keyboard: " + written.error().ToString());
  return {true};
}

DeviceOutcome KeyboardController::FlushDeferredWrite() {
  return FlushTick(retry_, Device(),
                   {[this] { return pending_; }, [this] { return keyboard::FlushKeyboardSettings(Device(), image_); },
                    [this] { pending_ = false; }},
                   "keyboard");
}

DeviceOutcome KeyboardController::Upload() {
  const macro::MacroLibrary macros{keyStore_.IndexPath().parent_path(), DeviceKind::kKeyboard};
  const keyboard::KeyboardUploadResult upload = keyboard::UploadKeyboard(Device(), image_, macros);
  if (upload.macros.stop) return {false, upload.macros.textId, upload.macros.textNumber};  // nothing was sent
  const int result = upload.result;
  SaveKeyProfile();
  if (result != device::kResultOk) {
    Trace("keyboard: the key bank upload failed with " + std::to_string(result));
    return {false, kTextUploadFailed};
  }
  return {};
}

void KeyboardController::SaveKeyProfile() {
  TraceStore("key profile not saved", keyStore_.SaveProfile(image_.banks[0]));
}

void KeyboardController::LightingEdited(const keyboard::KeyboardLightEdit& edit) {
  if (edit.record) pending_ = true;
  if (edit.save) SaveLightProfile();
}

void KeyboardController::WriteLightByte(std::uint8_t offset, std::uint8_t value) {
  device::HidDevice& device = Device();
  device.streamEnabled = false;
  const int written = keyboard::WriteKeyboardSettingByte(device, image_, offset, value);
  device.streamEnabled = true;
  if (written != device::kResultOk && device.connected)
    Trace("keyboard: the lighting byte " + std::to_string(offset) + " was not written: " + std::to_string(written));
}

void KeyboardController::SaveLightProfile() {
  const auto payload = keyboard::StoreLightPayload(image_);
  TraceStore("light profile not saved", lightStore_.SaveProfile(payload));
}

DeviceOutcome KeyboardController::RestoreDefaults() {
  const DeviceOutcome light = RestoreLight();
  if (!light.message.empty()) return light;
  DeviceOutcome keys = RestoreKeys();
  keys.changed = keys.changed || light.changed;
  return keys;
}

DeviceOutcome KeyboardController::RestoreLight() {
  const profile::PayloadResult light = lightStore_.ReadDefaultPayload();
  if (!light.result.ok() || !keyboard::ApplyLightPayload(image_, light.payload)) {
    TraceStore("default light profile", light.result);
    return {false, TextOf(light.result)};
  }
  SaveLightProfile();
  pending_ = true;
  return {true};
}

DeviceOutcome KeyboardController::RestoreKeys() {
  const profile::PayloadResult keys = keyStore_.ReadDefaultPayload();
  if (!keys.result.ok() || !keyboard::ApplyKeyPayload(image_, keys.payload)) {
    TraceStore("default key profile", keys.result);
    return {false, TextOf(keys.result)};
  }
  SaveKeyProfile();
  if (Device().connected) {
    const int written = keyboard::WriteKeyProfileBank(Device(), image_);
    if (written != device::kResultOk) Trace("keyboard: default key bank not written: " + std::to_string(written));
  }
  return {true};
}

}  // namespace korva::session
