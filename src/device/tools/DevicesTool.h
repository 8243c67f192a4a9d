#pragma once
// korva-devices: lists the HID collections present and which KORVA device each belongs to; with
// --simulate the simulated devices, each vendor collection also asked for its device information.

#include <ostream>
#include <span>
#include <string_view>

namespace korva::device {

inline constexpr int kToolUsageError = 2;

// `args` without the program name. Returns the exit code: 0 done, 1 enumeration failed, 2 bad arguments.
int RunDevicesTool(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace korva::device
