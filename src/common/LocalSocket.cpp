#include "common/LocalSocket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace korva {
namespace {

constexpr int kListenBacklog = 8;

std::optional<sockaddr_un> AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return std::nullopt;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

}  // namespace

int ConnectLocalSocket(const std::string& path) {
  const std::optional<sockaddr_un> address = AddressOf(path);
  if (!address) return -1;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int result = 0;
  do {
    result = ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int ListenLocalSocket(const std::string& path, std::string* error) {
  const auto fail = [error](const char* what) {
    if (error) *error = std::string(what) + ": " + std::strerror(errno);
    return -1;
  };
  const std::optional<sockaddr_un> address = AddressOf(path);
  if (!address) {
    errno = ENAMETOOLONG;
    return fail("socket path");
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return fail("socket");
  ::unlink(path.c_str());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
      ::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, kListenBacklog) != 0) {
    const int cause = errno;
    ::close(fd);
    errno = cause;
    return fail("listen");
  }
  return fd;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace korva
