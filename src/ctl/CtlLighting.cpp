#include "ctl/CtlLighting.h"

#include "ctl/CtlRunner.h"
#include "headset/HeadsetLight.h"
#include "headset/HeadsetProfiles.h"
#include "keyboard/KeyboardLighting.h"
#include "lighting/ColourComponents.h"
#include "mouse/MouseLightingRules.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "session/MousepadController.h"

namespace korva::ctl {
namespace {

using session::DeviceSession;

constexpr int kSpeedMax = 14;  // the speed sliders' range is 0..14, shown reversed

std::uint32_t Argb(std::uint32_t rgb) {
  return lighting::OpaqueColour(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                                static_cast<std::uint8_t>(rgb));
}

// The keyboard page's operations on the keyboard's image; each edit waits for the deferred write
// and is kept in the selected light profile.
void EditKeyboard(session::KeyboardController& keyboard, const LightingRequest& request) {
  keyboard::KeyboardImage& image = keyboard.Image();
  keyboard.LightingEdited(keyboard::SetLightMode(image, request.mode));
  if (request.brightness) keyboard.LightingEdited(keyboard::SetLightBrightness(image, *request.brightness));
  if (request.speed) keyboard.LightingEdited(keyboard::SetLightSpeed(image, kSpeedMax - *request.speed));
  if (request.colour)
    keyboard.LightingEdited(
        keyboard::StoreLightColour(image, request.mode == keyboard::kCustomColoursMode, Argb(*request.colour)));
}

// The pointer lighting sections' operations (mouse and mousepad share them).
lighting::LightingSettings EditPointer(lighting::LightingSettings record, const LightingRequest& request) {
  record.mode = static_cast<std::uint8_t>(request.mode);
  if (request.brightness)
    record.brightness = static_cast<std::uint8_t>(mouse::CheckedBrightness(static_cast<std::uint8_t>(*request.brightness)));
  if (request.speed) record.speed = mouse::SpeedByteOfSlider(kSpeedMax - *request.speed);
  if (request.colour) {
    record.red = static_cast<std::uint8_t>(*request.colour >> 16);
    record.green = static_cast<std::uint8_t>(*request.colour >> 8);
    record.blue = static_cast<std::uint8_t>(*request.colour);
    record.multicolour = 0;  // a single colour ends the colour cycle
  }
  return record;
}

// The headset lighting page's operations.
lighting::LightingSettings EditHeadset(const lighting::LightingSettings& record, const LightingRequest& request) {
  headset::HeadsetLight light;
  light.Replace(record);
  light.SelectMode(request.mode);
  if (request.brightness) light.SetBrightness(*request.brightness);
  if (request.speed) light.SetSpeedSlider(kSpeedMax - *request.speed);
  if (request.colour) light.StoreColour(Argb(*request.colour));
  return light.Record();
}

headset::HeadsetProfiles HeadsetLibrary(DeviceSession& session) {
  return headset::HeadsetProfiles(session.Folders(), session.DefaultsFolder());
}

profile::StoreResult SaveHeadsetLight(DeviceSession& session, const lighting::LightingSettings& record) {
  headset::HeadsetProfiles profiles = HeadsetLibrary(session);
  if (const profile::ListResult listed = profiles.Initialise(); !listed.result) return listed.result;
  return profiles.SaveLightInfo(profiles.SelectedIndex(), record);
}

}  // namespace

bool WriteNow(DeviceSession& session, DeviceKind kind) {
  session::DeviceController& controller = session.Controller(kind);
  controller.FlushDeferredWrite();
  return !controller.DeferredWritePending();
}

int MaxLightingMode(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kKeyboard: return keyboard::kKeyboardLightModeCount - 1;
    case DeviceKind::kMouse: return mouse::kMouseLightModeCount - 1;
    case DeviceKind::kMousepad: return mouse::kMousepadLightModeCount - 1;
    case DeviceKind::kHeadset: return headset::kHeadsetLightModeCount - 1;
  }
  return 0;
}

CtlResult SetDeviceLighting(DeviceSession& session, DeviceKind kind, const LightingRequest& request,
                            const CtlHooks& hooks) {
  const std::string name(DeviceKindName(kind));
  if (request.mode > MaxLightingMode(kind))
    return CtlResult::Failure(kExitUsage, "lighting mode of the " + name + " must be from 0 to " +
                                              std::to_string(MaxLightingMode(kind)));
  if (!Present(session, kind)) return Absent(kind);
  session::DeviceController& controller = session.Controller(kind);
  switch (kind) {
    case DeviceKind::kKeyboard:
      EditKeyboard(session.Keyboard(), request);
      break;
    case DeviceKind::kMouse:
      controller.SetLighting(EditPointer(controller.Lighting(), request));
      session.Mouse().Model().MarkPendingWrite();
      controller.SaveLightProfile();
      break;
    case DeviceKind::kMousepad:
      controller.SetLighting(EditPointer(controller.Lighting(), request));
      session.Mousepad().LightingEdited();
      break;
    case DeviceKind::kHeadset: {
      const lighting::LightingSettings record = EditHeadset(controller.Lighting(), request);
      const profile::StoreResult kept = hooks.keepHeadsetLight ? hooks.keepHeadsetLight(record)
                                                               : SaveHeadsetLight(session, record);
      if (!kept) return CtlResult::Failure(kExitDevice, "the headset's lighting was not saved: " + kept.error.ToString());
      controller.SetLighting(record);
      break;
    }
  }
  // A mode of its own: the device leaves the synchronised lighting.
  session.Device(kind).syncLighting = false;
  session.PublishLighting();
  const bool written = kind == DeviceKind::kHeadset || WriteNow(session, kind);
  if (hooks.lightingSet) hooks.lightingSet(kind);
  if (!written) return CtlResult::Failure(kExitDevice, "the " + name + " refused the lighting");
  return {};
}

bool LoadHeadsetLight(DeviceSession& session) {
  headset::HeadsetProfiles profiles = HeadsetLibrary(session);
  if (!profiles.Initialise().result) return false;
  const headset::HeadsetProfileResult loaded = profiles.Load(profiles.SelectedIndex());
  if (!loaded.result) return false;
  session.Controller(DeviceKind::kHeadset).SetLighting(loaded.profile.light);
  return true;
}

}  // namespace korva::ctl
