#pragma once
// Runs a desktop tool (gsettings, kwriteconfig6, ...) and waits for it, never longer than a
// time-out: a tool that hangs is killed, so no caller can hang on it.

#include <chrono>
#include <string>
#include <vector>

namespace korva::platform {

struct CommandResult {
  enum class Status {
    kFinished,    // ran to its end; see exitCode
    kNotStarted,  // not installed or not executable
    kTimedOut,    // killed at the time-out
    kCrashed,     // ended by a signal
  };
  Status status = Status::kNotStarted;
  int exitCode = -1;
  std::string output;  // standard output
  std::string errors;  // standard error

  bool Succeeded() const { return status == Status::kFinished && exitCode == 0; }
};

class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  virtual CommandResult Run(const std::string& program, const std::vector<std::string>& arguments,
                            std::chrono::milliseconds timeout) = 0;
};

// The real runner (QProcess). Safe to use from any thread: each call owns its own process.
class ProcessCommandRunner final : public CommandRunner {
 public:
  CommandResult Run(const std::string& program, const std::vector<std::string>& arguments,
                    std::chrono::milliseconds timeout) override;
};

// "program arg arg" for log lines.
std::string DescribeCommand(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace korva::platform
