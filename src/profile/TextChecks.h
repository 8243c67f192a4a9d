#pragma once
// Small text checks shared by the INI layer and the name rules of the profile library.

#include <string>
#include <string_view>

namespace korva::profile {

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Comparison used for profile names and file names, which the stores treat without regard to
// case. Only ASCII letters fold; other characters compare as they are.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace korva::profile
