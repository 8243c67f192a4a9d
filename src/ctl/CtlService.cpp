#include "ctl/CtlService.h"

#include "ctl/CtlRunner.h"

namespace korva::ctl {

CtlAnswer UsageAnswer(const std::string& error) {
  CtlAnswer answer;
  answer.exitCode = kExitUsage;
  answer.err = "korvactl: " + ErrorLine(error) + " (korvactl --help for usage)\n";
  return answer;
}

CtlAnswer AnswerCommand(session::DeviceSession& session, const CtlCommand& command, const CtlHooks& hooks) {
  CtlAnswer answer;
  if (command.verb == Verb::kHelp) {
    answer.out = CtlUsage();
    return answer;
  }
  const CtlResult result = RunCtlCommand(session, command, hooks);
  answer.exitCode = result.exitCode;
  if (result.exitCode == kExitOk)
    answer.out = RenderResult(result, command.json);
  else
    answer.err = "korvactl: " + result.error + "\n";
  return answer;
}

std::string AnswerRequest(std::string_view line, session::DeviceSession& session, bool simulated,
                          const CtlHooks& hooks) {
  const RequestOutcome request = ParseRequest(line);
  if (!request.request) return EncodeAnswer(UsageAnswer(request.error));
  const ParseOutcome parsed = ParseCtlCommand(request.request->arguments);
  if (!parsed.command) return EncodeAnswer(UsageAnswer(parsed.error));
  CtlCommand command = *parsed.command;
  if (command.simulate != simulated) {
    CtlAnswer here;
    here.runHere = true;
    return EncodeAnswer(here);
  }
  if (!command.file.empty() && command.file.is_relative()) command.file = request.request->workingFolder / command.file;
  return EncodeAnswer(AnswerCommand(session, command, hooks));
}

}  // namespace korva::ctl
