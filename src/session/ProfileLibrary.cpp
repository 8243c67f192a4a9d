#include "session/ProfileLibrary.h"

#include <functional>
#include <string>

#include "common/Log.h"
#include "device/CommandExchange.h"
#include "keyboard/KeyboardTransfer.h"
#include "mouse/MouseProfiles.h"
#include "session/MousepadController.h"
#include "session/DeviceSession.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "session/SessionTexts.h"

namespace korva::session {
namespace {

using profile::StoreKind;

std::string StoreName(StoreKind kind) {
  const profile::StoreLayout& layout = profile::LayoutOf(kind);
  return std::string(DeviceKindName(layout.device)) + (layout.extension == ".pro" ? " key" : " light");
}

void TraceFailure(StoreKind kind, const char* what, const profile::StoreResult& result) {
  if (!result.ok()) Trace(StoreName(kind) + " profile " + what + ": " + result.error.ToString());
}

// A bank loaded into bank 0 goes to the device at once; an absent device gets it at its arrival.
void SendBank(device::HidDevice& device, StoreKind kind, const std::function<int()>& write) {
  if (!device.connected) return;
  if (const int written = write(); written != device::kResultOk)
    Trace(StoreName(kind) + " profile: bank 0 not written: " + std::to_string(written));
}

}  // namespace

profile::ProfileStore& ProfileLibrary::Store(StoreKind kind) {
  // Every device's controller is built with the stores of its kinds, so this is never null.
  return *session_.Controller(profile::LayoutOf(kind).device).ProfileStoreOf(kind);
}

bool ProfileLibrary::Apply(StoreKind kind, std::span<const std::uint8_t> payload, ProfileEffect& effect) {
  switch (kind) {
    case StoreKind::kKeyboardLight: {
      KeyboardController& keyboard = session_.Keyboard();
      if (!keyboard::ApplyLightPayload(keyboard.Image(), payload)) return false;
      keyboard.MarkDeferredWrite();
      break;
    }
    case StoreKind::kKeyboardKey: {
      KeyboardController& keyboard = session_.Keyboard();
      if (!keyboard::ApplyKeyPayload(keyboard.Image(), payload)) return false;
      keyboard.Editor().Reset();
      SendBank(keyboard.Device(), kind,
               [&] { return keyboard::WriteKeyProfileBank(keyboard.Device(), keyboard.Image()); });
      break;
    }
    case StoreKind::kMouseLight: {
      const mouse::MouseEditEffect applied = session_.Mouse().Model().ApplyLightProfile(payload);
      if (!applied.applied) return false;
      effect.wheelLines = applied.applyWheelLines;
      break;
    }
    case StoreKind::kMouseKey: {
      MouseController& mouse = session_.Mouse();
      mouse::MouseImage& image = mouse.Model().image();
      if (!mouse::ApplyKeyPayload(image, payload)) return false;
      SendBank(mouse.Device(), kind,
               [&] { return device::WriteBank(mouse.Device(), 0, image.banks[0].bytes); });
      break;
    }
    case StoreKind::kMousepadLight:
      if (!session_.Mousepad().ApplyLightProfile(payload)) return false;
      break;
  }
  session_.PublishLighting();
  effect.applied = true;
  return true;
}

ProfileEffect ProfileLibrary::Select(StoreKind kind, int index) {
  return Put(kind, index, Store(kind).SelectProfile(index));
}

ProfileEffect ProfileLibrary::ShowLinked(StoreKind kind, int index) {
  return Put(kind, index, Store(kind).ShowLinkedProfile(index));
}

ProfileEffect ProfileLibrary::Put(StoreKind kind, int index, profile::PayloadResult loaded) {
  ProfileEffect effect;
  effect.device = profile::LayoutOf(kind).device;
  effect.result = std::move(loaded.result);
  if (!effect.result) {
    TraceFailure(kind, "not loaded", effect.result);
    return effect;
  }
  if (!Apply(kind, loaded.payload, effect)) {
    effect.result = {profile::StoreStatus::kFileInvalid,
                     korva::Error::Plain("profile " + std::to_string(index) + ": a payload of " +
                                         std::to_string(loaded.payload.size()) + " bytes")};
    TraceFailure(kind, "not applied", effect.result);
  }
  return effect;
}

ProfileEffect ProfileLibrary::Restore(StoreKind kind) {
  ProfileEffect effect;
  effect.device = profile::LayoutOf(kind).device;
  DeviceOutcome outcome;
  switch (kind) {
    case StoreKind::kKeyboardLight:
      outcome = session_.Keyboard().RestoreLight();
      break;
    case StoreKind::kKeyboardKey:
      outcome = session_.Keyboard().RestoreKeys();
      if (outcome.changed) session_.Keyboard().Editor().Reset();
      break;
    case StoreKind::kMouseLight:
      outcome = session_.Mouse().RestoreLight();
      // The desktop gets the restored settings; the saved profile keeps the previous ones until
      // its next save.
      if (outcome.changed) {
        effect.pointerSpeed = kRestoredPointerSpeed;
        effect.wheelLines = kRestoredWheelLines;
      }
      break;
    case StoreKind::kMouseKey:
      outcome = session_.Mouse().RestoreKeys();
      break;
    case StoreKind::kMousepadLight:
      outcome = session_.Controller(DeviceKind::kMousepad).RestoreDefaults();
      break;
  }
  if (outcome.changed) session_.PublishLighting();
  effect.applied = outcome.changed;
  effect.message = outcome.message;
  return effect;
}

ProfileEffect ProfileLibrary::Import(StoreKind kind, int index, const std::filesystem::path& source) {
  if (profile::StoreResult imported = Store(kind).ImportProfile(index, source); !imported) {
    TraceFailure(kind, "not imported", imported);
    ProfileEffect effect;
    effect.device = profile::LayoutOf(kind).device;
    effect.result = std::move(imported);
    return effect;
  }
  // The imported content is applied as a selection of the same profile would apply it.
  return Select(kind, index);
}

}  // namespace korva::session
