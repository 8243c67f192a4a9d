#pragma once
// What a korvactl command gives back (CtlResult), and what a program around the session is told of
// the changes a command made (CtlHooks): korvactl on its own needs no hook; the desktop program,
// which carries out forwarded commands on its own session, shows the changes on its pages.

#include <json/value.h>

#include <functional>
#include <string>
#include <string_view>

#include "common/DeviceKind.h"
#include "ctl/CtlCommand.h"
#include "headset/HeadsetVoice.h"
#include "lighting/LightingSettings.h"
#include "profile/ProfileStore.h"
#include "session/ProfileLibrary.h"

namespace korva::ctl {

// `text` as one line of stderr: every line break, with the blanks around it, becomes one space (a
// parser's reason quoted in an error spans lines; a typed argument may hold a line break), and
// line breaks at its ends go.
inline std::string ErrorLine(std::string_view text) {
  std::string line;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i;
    bool lineBreak = false;
    while (end < text.size() &&
           (text[end] == ' ' || text[end] == '\t' || text[end] == '\n' || text[end] == '\r')) {
      lineBreak = lineBreak || text[end] == '\n' || text[end] == '\r';
      ++end;
    }
    if (end == i) {
      line += text[i++];
    } else if (!lineBreak) {
      line.append(text.substr(i, end - i));
      i = end;
    } else {
      if (!line.empty() && end < text.size()) line += ' ';
      i = end;
    }
  }
  return line;
}

struct CtlResult {
  int exitCode = kExitOk;
  Json::Value json;   // the answer (kExitOk)
  std::string text;   // the same for people
  std::string error;  // one line (otherwise)

  static CtlResult Failure(int code, std::string_view message) {
    CtlResult result;
    result.exitCode = code;
    result.error = ErrorLine(message);
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
  // The voice settings the program holds for the connected headset (its voice page's), or null
  // while it holds none (no profile loaded yet). Empty: the selected profile's file is shown.
  std::function<const headset::HeadsetVoice*()> headsetVoice;
  // The connected headset's profile `index` chosen as on its voice page's profile list: loaded,
  // sent to the headset, kept as the selection, its lighting record taken. Empty: korvactl does it
  // on the session's audio library.
  std::function<void(int index)> selectHeadsetProfile;
  // The headset's profile list changed (an import): its voice page shows the new list.
  std::function<void()> headsetProfilesChanged;
};

}  // namespace korva::ctl
