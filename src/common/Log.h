#pragma once
// Diagnostic traces. They have no functional role: they go to stderr only when KORVA_DEBUG is set.

#include <string_view>

namespace korva {

void Trace(std::string_view message);

}  // namespace korva
