#pragma once
// The desktop program as korvactl finds it: its single-instance socket in the runtime folder. While
// it runs it has the devices open, and korvactl hands its command to it (CtlProtocol.h) instead of
// opening them itself.

#include <chrono>
#include <filesystem>
#include <string>

#include "ctl/CtlProtocol.h"

namespace korva::ctl {

// The program's socket: $XDG_RUNTIME_DIR (else /run/user/<uid>) / "<name>.socket".
std::filesystem::path ProgramSocketPath(const std::string& xdgRuntimeDir);
std::filesystem::path ProgramSocketPath();
bool ProgramIsRunning(const std::filesystem::path& socket);

enum class ForwardStatus {
  kNotRunning,  // nothing listens on the socket (none, or one left by a crashed program)
  kAnswered,
  kNoAnswer,    // the program took the connection but gave no valid answer in time
};

struct Forwarded {
  ForwardStatus status = ForwardStatus::kNotRunning;
  CtlAnswer answer;  // kAnswered
};

// Sends the request line (EncodeRequest) and waits at most `patience` for the answer line.
Forwarded ForwardRequest(const std::filesystem::path& socket, const std::string& request,
                         std::chrono::milliseconds patience);

}  // namespace korva::ctl
