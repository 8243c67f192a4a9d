#pragma once
// Whether the desktop program runs for this user: its single-instance socket in the runtime folder
// takes a connection. While it runs it has the devices open, and korvactl leaves them to it.

#include <filesystem>
#include <string>

namespace korva::ctl {

// The program's socket: $XDG_RUNTIME_DIR (else /run/user/<uid>) / "<name>.socket".
std::filesystem::path ProgramSocketPath(const std::string& xdgRuntimeDir);
std::filesystem::path ProgramSocketPath();
bool ProgramIsRunning(const std::filesystem::path& socket);

}  // namespace korva::ctl
