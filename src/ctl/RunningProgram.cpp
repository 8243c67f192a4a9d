#include "ctl/RunningProgram.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "common/InstanceName.h"

namespace korva::ctl {

std::filesystem::path ProgramSocketPath(const std::string& xdgRuntimeDir) {
  const std::filesystem::path folder =
      xdgRuntimeDir.empty() ? std::filesystem::path("/run/user") / std::to_string(::getuid()) : std::filesystem::path(xdgRuntimeDir);
  return folder / (std::string(kSingleInstanceName) + ".socket");
}

std::filesystem::path ProgramSocketPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return ProgramSocketPath(runtime ? runtime : "");
}

bool ProgramIsRunning(const std::filesystem::path& socket) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = socket.string();
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // A socket file left by a crashed program refuses the connection.
  const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

}  // namespace korva::ctl
