#pragma once
// The seven buttons of the mouse as the button page sees them: the function each
// entry of the active key bank gives it, the label that function shows, and the rule that keeps
// the last left click.

#include <array>
#include <cstddef>
#include <optional>

#include "keyboard/KeyAssignment.h"
#include "mouse/MouseImage.h"

namespace korva::mouse {

// The bank of the mouse's active profile; nullptr when the active number names no bank (it is
// never used as an index then).
MouseKeyBank* ActiveKeyBank(MouseImage& image);
const MouseKeyBank* ActiveKeyBank(const MouseImage& image);

// True when button `button` holds the left click and no other of the seven buttons does: the last
// left click cannot be given away. Entries past the seven buttons do not count -- they are not
// buttons, so a left click kept there would not save the user from a mouse without one.
bool IsLastLeftClick(const MouseKeyBank& bank, std::size_t button);

// RefreshButtonLabels: the label of each button (text id or, for macros, the literal name);
// nullopt leaves the button's label as it is.
std::array<std::optional<keyboard::FunctionLabel>, kMouseButtonCount> ButtonLabels(
    const MouseKeyBank& bank, const keyboard::MacroNames& macroNames);

}  // namespace korva::mouse
