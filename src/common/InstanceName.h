#pragma once
// The name of the desktop program's single-instance lock and socket in the runtime folder
// ("<name>.lock", "<name>.socket"); korvactl looks for the same socket to tell whether the program runs.

namespace korva {

inline constexpr const char* kSingleInstanceName = "VANTORDRVER";

}  // namespace korva
