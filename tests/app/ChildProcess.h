#pragma once
// A program started by a test with a plain fork and exec, its output read through pipes.
//
// Not QProcess: Qt starts programs with vfork semantics (the child runs in the parent's memory
// until it execs), and ThreadSanitizer's bookkeeping does not survive a child that runs in the
// parent's memory -- every later test would see false races.

#include <sys/types.h>

#include <string>
#include <vector>

namespace korva::app::test {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();  // kills the program if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Start(const std::string& program, const std::vector<std::string>& arguments);
  // One line of standard output (without the line break); false at the end or after `timeoutMs`.
  bool ReadLine(std::string& line, int timeoutMs);
  // Reads both outputs to their end and waits for the exit; false after `timeoutMs`.
  bool Finish(int timeoutMs);
  void Kill();

  int ExitCode() const { return exitCode_; }  // -1 unless the program exited normally
  const std::string& Out() const { return out_; }
  const std::string& Err() const { return err_; }

 private:
  // Reads what is there (waiting at most timeoutMs); false when nothing more will come.
  bool Pump(int timeoutMs);

  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  int exitCode_ = -1;
  std::string out_;
  std::string err_;
  std::size_t outRead_ = 0;  // bytes of out_ ReadLine has handed out
};

}  // namespace korva::app::test
