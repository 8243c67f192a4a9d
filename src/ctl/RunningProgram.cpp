#include "ctl/RunningProgram.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "common/FileDescriptor.h"
#include "common/InstanceName.h"
#include "common/LocalSocket.h"

namespace korva::ctl {
namespace {

// The answer line without its line break; empty when none came in time or it grew too long.
std::string ReceiveLine(int fd, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  std::string line;
  char buffer[4096];
  while (true) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {};
    pollfd wait{fd, POLLIN, 0};
    const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return {};
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return {};  // closed before the line ended
    line.append(buffer, static_cast<std::size_t>(got));
    if (const std::size_t end = line.find('\n'); end != std::string::npos) return line.substr(0, end);
    if (line.size() > kMaxAnswerBytes) return {};
  }
}

}  // namespace

std::filesystem::path ProgramSocketPath(const std::string& xdgRuntimeDir) {
  const std::filesystem::path folder = xdgRuntimeDir.empty()
                                           ? std::filesystem::path("/run/user") / std::to_string(::getuid())
                                           : std::filesystem::path(xdgRuntimeDir);
  return folder / (std::string(kSingleInstanceName) + ".socket");
}

std::filesystem::path ProgramSocketPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return ProgramSocketPath(runtime ? runtime : "");
}

bool ProgramIsRunning(const std::filesystem::path& socket) {
  return FileDescriptor(ConnectLocalSocket(socket.string())).valid();
}

Forwarded ForwardRequest(const std::filesystem::path& socket, const std::string& request,
                         std::chrono::milliseconds patience) {
  const FileDescriptor connection(ConnectLocalSocket(socket.string()));
  if (connection.get() < 0) return {};
  Forwarded forwarded{ForwardStatus::kNoAnswer, {}};
  if (!SendAll(connection.get(), request + '\n')) return forwarded;
  const std::optional<CtlAnswer> answer = ParseAnswer(ReceiveLine(connection.get(), patience));
  if (!answer) return forwarded;
  forwarded.status = ForwardStatus::kAnswered;
  forwarded.answer = *answer;
  return forwarded;
}

}  // namespace korva::ctl
