#include "ChildProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace korva::app::test {

namespace {

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

ChildProcess::~ChildProcess() {
  Kill();
  CloseFd(outFd_);
  CloseFd(errFd_);
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments) {
  int out[2];
  int err[2];
  if (::pipe(out) != 0) return false;
  if (::pipe(err) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    return false;
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    ::close(err[0]);
    ::close(err[1]);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
  return pid_ > 0;
}

bool ChildProcess::Pump(int timeoutMs) {
  pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
  if (outFd_ < 0 && errFd_ < 0) return false;
  if (::poll(fds, 2, timeoutMs) <= 0) return true;
  for (auto [fd, text] : {std::pair{&outFd_, &out_}, std::pair{&errFd_, &err_}}) {
    const pollfd& p = fd == &outFd_ ? fds[0] : fds[1];
    if (*fd < 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buffer[4096];
    const ssize_t n = ::read(*fd, buffer, sizeof buffer);
    if (n > 0)
      text->append(buffer, static_cast<std::size_t>(n));
    else
      CloseFd(*fd);
  }
  return true;
}

bool ChildProcess::ReadLine(std::string& line, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const std::size_t end = out_.find('\n', outRead_);
    if (end != std::string::npos) {
      line = out_.substr(outRead_, end - outRead_);
      outRead_ = end + 1;
      return true;
    }
    const int left = RemainingMs(deadline);
    if (left == 0 || outFd_ < 0 || !Pump(left)) return false;
  }
}

bool ChildProcess::Finish(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (outFd_ >= 0 || errFd_ >= 0) {
    const int left = RemainingMs(deadline);
    if (left == 0) return false;
    Pump(left);
  }
  int status = 0;
  if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return false;
  pid_ = -1;
  exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return true;
}

void ChildProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace korva::app::test
