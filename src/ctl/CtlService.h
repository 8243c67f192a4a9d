#pragma once
// What korvactl answers, wherever the command is carried out: by korvactl on its own session, or
// by the desktop program on its session for a request that korvactl forwarded (CtlProtocol.h). Both
// give the same stdout text or JSON, the same one-line error and the same exit code.

#include <string>
#include <string_view>

#include "ctl/CtlCommand.h"
#include "ctl/CtlProtocol.h"
#include "ctl/CtlResult.h"
#include "session/DeviceSession.h"

namespace korva::ctl {

// A command line that did not parse: usage error, exit code 2.
CtlAnswer UsageAnswer(const std::string& error);
// `command` carried out on `session`.
CtlAnswer AnswerCommand(session::DeviceSession& session, const CtlCommand& command, const CtlHooks& hooks = {});

// The program's answer line to a request line (without line breaks). `simulated`: the program runs
// on the simulated devices. Relative files of the command are taken from the request's folder.
std::string AnswerRequest(std::string_view line, session::DeviceSession& session, bool simulated,
                          const CtlHooks& hooks = {});

}  // namespace korva::ctl
