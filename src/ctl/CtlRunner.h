#pragma once
// Carries out one korvactl command on a device session: opens the devices the way their watchers
// find them, reads them, then reads or changes what the command names. Qt-free; the result is the
// JSON document and its text rendering, or a one-line error with its exit code.

#include <json/value.h>

#include <string>

#include "ctl/CtlCommand.h"
#include "session/DeviceSession.h"

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

// Opens every device present on the session's backend and reads it. The session must be
// initialised and have a host (one that runs posted work at once does).
void ConnectDevices(session::DeviceSession& session);

CtlResult RunCtlCommand(session::DeviceSession& session, const CtlCommand& command);

// What korvactl prints on stdout for a successful result.
std::string RenderResult(const CtlResult& result, bool json);

}  // namespace korva::ctl
