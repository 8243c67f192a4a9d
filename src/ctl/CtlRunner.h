#pragma once
// Carries out one korvactl command on a device session: korvactl's own session, whose devices it
// opens the way their watchers find them, or the desktop program's, which has them open already.
// Qt-free; the result is the JSON document and its text rendering, or a one-line error with its
// exit code.

#include <string>
#include <vector>

#include "ctl/CtlCommand.h"
#include "ctl/CtlResult.h"
#include "session/DeviceSession.h"

namespace korva::ctl {

// Opens every device present on the session's backend and reads it, and finds the headset on the
// session's audio library (its record from its selected profile). The session must be initialised
// and have a host (one that runs posted work at once does).
void ConnectDevices(session::DeviceSession& session);

// The device is connected and its image holds what was read from it (a device the program's
// watcher has just found is not yet: its read is still under way).
bool Present(session::DeviceSession& session, DeviceKind kind);
CtlResult Absent(DeviceKind kind);

// A profile list's answer: "profiles" (the names) and "selected" (its name, or null).
CtlResult ListedProfiles(const std::vector<std::string>& names, int selected);
// exitCode kExitOk when `name` may become a new profile of a library holding `names`: a valid
// profile name, not taken in any letter case; otherwise the usage error.
CtlResult CheckNewProfileName(const std::vector<std::string>& names, const std::string& name);

// Relative files of `command` are taken from the calling process's working folder.
CtlResult RunCtlCommand(session::DeviceSession& session, const CtlCommand& command, const CtlHooks& hooks = {});

// What korvactl prints on stdout for a successful result.
std::string RenderResult(const CtlResult& result, bool json);

}  // namespace korva::ctl
