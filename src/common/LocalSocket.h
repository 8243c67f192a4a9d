#pragma once
// Unix-domain stream sockets of the user's own programs: the running program listens on one in
// its runtime folder, a second start and korvactl connect to it. Plain descriptors, no Qt.

#include <string>
#include <string_view>

namespace korva {

// A connected socket, or -1 when nothing listens at `path` (a socket file left by a crashed
// program refuses the connection) or the path is too long for a socket address.
int ConnectLocalSocket(const std::string& path);

// Listens at `path`, for the user alone (the file's mode is 0600), on a non-blocking socket. A
// file already at `path` is removed first: the caller holds the lock that makes the socket its
// own. -1 on failure, with `error` saying why.
int ListenLocalSocket(const std::string& path, std::string* error);

// Sends every byte (the peer's early close is a failure, not a signal).
bool SendAll(int fd, std::string_view bytes);

}  // namespace korva
