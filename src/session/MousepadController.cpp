#include "session/MousepadController.h"

#include "common/Log.h"
#include "mousepad/MousepadProfiles.h"
#include "mousepad/MousepadTransfer.h"
#include "session/SessionTexts.h"

namespace korva::session {
namespace {

void TraceStore(const char* what, const profile::StoreResult& result) {
  if (!result.ok()) Trace(std::string("mousepad ") + what + ": " + result.error.ToString());
}

}  // namespace

MousepadController::MousepadController(device::HidDevice& device, const profile::DataFolders& folders,
                                       const std::filesystem::path& defaultsFolder)
    : DeviceController(DeviceKind::kMousepad, device),
      lightStore_(profile::StoreKind::kMousepadLight, folders, defaultsFolder) {}

void MousepadController::Initialise() {
  const profile::ListResult listed = lightStore_.Initialise();
  TraceStore("profile library not created", listed.result);
}

int MousepadController::StoredSelection(device::StoredSelection which) const {
  return which == device::StoredSelection::kLight ? lightStore_.SelectedIndex() : 0;
}

void MousepadController::ReadOnArrival(const device::Arrival& /*arrival*/) {
  // A fresh image, never the UI thread's; the profile is saved from a complete read only.
  mousepad::MousepadImage fresh;
  if (!mousepad::ReadMousepadAll(Device(), fresh).ok()) return;
  TraceStore("light profile not saved", mousepad::SaveMousepadLightProfile(fresh, lightStore_));
  arrived_.Put(fresh);
}

DeviceOutcome MousepadController::ApplyArrival(const device::Arrival& /*arrival*/) {
  if (std::optional<mousepad::MousepadImage> fresh = arrived_.Take()) image_ = *fresh;
  return {};
}

DeviceOutcome MousepadController::ReadAll() {
  mousepad::MousepadImage fresh = image_;
  if (!mousepad::ReadMousepadAll(Device(), fresh).changed) return {};
  image_ = fresh;
  SaveLightProfile();
  return {true};
}

DeviceOutcome MousepadController::ReloadProfile() {
  if (!mousepad::ReloadMousepadActive(Device(), image_).changed) return {};
  SaveLightProfile();
  return {true};
}

DeviceOutcome MousepadController::SwitchProfile(int n) {
  return {mousepad::SwitchMousepadProfile(Device(), image_, n).changed};
}

void MousepadController::SendFactoryReset() {
  // Sent once; the pad answers only when it has finished, and the re-read shows what it restored.
  if (const int result = mousepad::FactoryResetMousepad(Device()); result != device::kResultOk)
    Trace("mousepad: restore-defaults request answered " + std::to_string(result));
}

DeviceOutcome MousepadController::FlushDeferredWrite() {
  return FlushTick(retry_, Device(),
                   {[this] { return pending_; },
                    [this] { return mousepad::FlushMousepadSettings(Device(), image_.active); },
                    [this] { pending_ = false; }},
                   "mousepad");
}

void MousepadController::LightingEdited() {
  pending_ = true;
  SaveLightProfile();
}

bool MousepadController::ApplyLightProfile(std::span<const std::uint8_t> payload) {
  if (!mousepad::ApplyLightPayload(image_, payload)) return false;
  pending_ = true;
  return true;
}

DeviceOutcome MousepadController::RestoreDefaults() {
  const profile::PayloadResult read = lightStore_.ReadDefaultPayload();
  if (!read.result.ok() || read.payload.size() < mousepad::kMousepadRecordTransferSize) {
    TraceStore("default light profile", read.result);
    const std::string_view text = read.result.TextId();
    return {false, text.empty() ? kTextFileInvalid : text};
  }
  // The pad keeps 56 bytes of a record; the rest of a restored record is zero.
  std::vector<std::uint8_t> record(mousepad::kMousepadRecordSize, 0);
  std::copy_n(read.payload.begin(), mousepad::kMousepadRecordTransferSize, record.begin());
  ApplyLightProfile(record);
  SaveLightProfile();
  return {true};
}

void MousepadController::SaveLightProfile() {
  TraceStore("light profile not saved", mousepad::SaveMousepadLightProfile(image_, lightStore_));
}

}  // namespace korva::session
