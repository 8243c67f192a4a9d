#pragma once
// Page switching: the options that bring a device page or a sub-page to the front, the guard that
// keeps an unsaved macro editor in front, and the profile panel each sub-page shows.

#include <QString>
#include <functional>

namespace korva::ui {

class SkinWindow;

// When a macro editor holds unsaved edits (its save/cancel bar is visible) and `option` would
// leave its page, selects the editor's sub-page option and device option again (without
// notifications) and returns true: the switch must not happen. `option` is in lower case.
bool RefuseToLeaveUnsavedMacro(SkinWindow& window, const QString& option);

// Brings the page of `option` (lower case) to the front: a device page of "tab_switch" (and
// the current device page, except for the split page), or a sub-page with the profile panel
// that goes with it. Returns false for a name that is no page option.
bool ShowPageOf(SkinWindow& window, const QString& option,
                const std::function<void(int)>& setCurrentDevicePage);

}  // namespace korva::ui
