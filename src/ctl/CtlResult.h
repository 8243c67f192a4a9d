#pragma once
// What a korvactl command gives back (CtlResult), and what a program around the session is told of
// the changes a command made (CtlHooks): korvactl on its own needs no hook; the desktop program,
// which carries out forwarded commands on its own session, shows the changes on its pages.

#include <json/value.h>

#include <functional>
#include <string>

#include "common/DeviceKind.h"
#include "ctl/CtlCommand.h"
#include "lighting/LightingSettings.h"
#include "profile/ProfileStore.h"
#include "session/ProfileLibrary.h"

namespace korva::ctl {

struct CtlResult {
  int exitCode = kExitOk;
  Json::Value json;   // the answer (kExitOk)
  std::string text;   // the same for people
  std::string error;  // one line (otherwise)

  static CtlResult Failure(int code, std::string message) {
    CtlResult result;
    result.exitCode = code;
    result.error = std::move(message);
    return result;
  }
};

// Every hook runs on the thread that runs the command (the program's UI thread), after the
// session holds the change. An empty hook does nothing.
struct CtlHooks {
  // A device's lighting record was set (its mode chosen): its preview starts over and its pages
  // show the record.
  std::function<void(DeviceKind kind)> lightingSet;
  // A device's settings changed (the mouse's stages, report rate or device profile): its pages
  // show them.
  std::function<void(DeviceKind kind)> settingsChanged;
  // A profile of a library was put into effect.
  std::function<void(const session::ProfileEffect& effect)> profileApplied;
  // A library's list or selection changed: its panel shows it.
  std::function<void(profile::StoreKind store)> storeChanged;
  // Keeps the headset's new lighting record in its selected profile ("LightInfo"). Empty: the
  // headset profile library of the session's data folder is written directly.
  std::function<profile::StoreResult(const lighting::LightingSettings& record)> keepHeadsetLight;
};

}  // namespace korva::ctl
