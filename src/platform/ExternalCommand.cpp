#include "platform/ExternalCommand.h"

#include <QProcess>
#include <QStringList>

#include "platform/PlatformLog.h"

namespace korva::platform {
namespace {

// How long a killed process may take to go; it cannot ignore SIGKILL, so this is only the
// kernel's time to reap it.
constexpr int kReapMs = 2000;

}  // namespace

CommandResult ProcessCommandRunner::Run(const std::string& program, const std::vector<std::string>& arguments,
                                        std::chrono::milliseconds timeout) {
  CommandResult result;
  QStringList args;
  for (const std::string& a : arguments) args << QString::fromStdString(a);

  QProcess process;
  process.setProgram(QString::fromStdString(program));
  process.setArguments(args);
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(QIODevice::ReadOnly);
  const int timeoutMs = static_cast<int>(timeout.count());
  if (!process.waitForStarted(timeoutMs)) {
    qCInfo(lcPlatform).noquote() << "Could not start"
                                 << QString::fromStdString(DescribeCommand(program, arguments)) << ":"
                                 << process.errorString();
    result.status = CommandResult::Status::kNotStarted;
    return result;
  }
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished(kReapMs);
    qCWarning(lcPlatform).noquote() << "Stopped"
                                    << QString::fromStdString(DescribeCommand(program, arguments)) << "after"
                                    << timeoutMs << "ms without an answer";
    result.status = CommandResult::Status::kTimedOut;
    return result;
  }
  result.output = process.readAllStandardOutput().toStdString();
  result.errors = process.readAllStandardError().toStdString();
  if (process.exitStatus() == QProcess::CrashExit) {
    result.status = CommandResult::Status::kCrashed;
    return result;
  }
  result.status = CommandResult::Status::kFinished;
  result.exitCode = process.exitCode();
  return result;
}

std::string DescribeCommand(const std::string& program, const std::vector<std::string>& arguments) {
  std::string text = program;
  for (const std::string& a : arguments) text += " " + a;
  return text;
}

}  // namespace korva::platform
