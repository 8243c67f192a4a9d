#pragma once
// `set DEVICE lighting MODE [--colour RRGGBB] [--brightness L] [--speed S]`: the device's lighting
// record changed as its lighting page changes it, with that page's ranges (modes: keyboard 0-9,
// mouse 0-6, mousepad 0-8, headset 0-3), written to the device at once and kept in the device's
// selected light profile (the headset's: "LightInfo" of its selected profile).
//
//   --speed S       the stored speed 0-14 (the page's slider shows 14 - S)
//   --colour        the record's colour, which ends the colour cycle, as a picked colour does; the
//                   keyboard's custom mode (8) takes it as the paint colour of its keys
//
// The headset's LEDs are driven frame by frame by the program's lighting thread: korvactl on its
// own only keeps the record, which the program shows when it starts.

#include "ctl/CtlCommand.h"
#include "ctl/CtlResult.h"
#include "session/DeviceSession.h"

namespace korva::ctl {

// The highest lighting mode of `kind`.
int MaxLightingMode(DeviceKind kind);

// exitCode kExitOk when the device has the new record; the caller then shows the device.
CtlResult SetDeviceLighting(session::DeviceSession& session, DeviceKind kind, const LightingRequest& request,
                            const CtlHooks& hooks);

// The device's deferred settings write now, rather than on the program's next tick; false when the
// device did not take it (the change still waits).
bool WriteNow(session::DeviceSession& session, DeviceKind kind);

// The headset's selected profile in the session's data folder: its record into the session, as the
// program's headset arrival loads it. False when the profile cannot be read.
bool LoadHeadsetLight(session::DeviceSession& session);

}  // namespace korva::ctl
