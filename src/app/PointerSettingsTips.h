#pragma once
// The mouse page's pointer-speed slider and wheel-lines field say in their tooltips when the
// desktop has no setting for them: their values then stay in the profiles only, which the user
// could not tell otherwise.

namespace korva::platform {
class DesktopPointerSettings;
}
namespace korva::ui {
class SkinWindow;
}

namespace korva::app {

inline constexpr char kPointerSpeedNoBackendTip[] = "pointer_speed_no_backend_tip";
inline constexpr char kWheelLinesNoBackendTip[] = "wheel_lines_no_backend_tip";

// Sets the tooltips on the controls of `window` (the text ids follow the language switch).
void ShowPointerSettingsTips(ui::SkinWindow& window, const platform::DesktopPointerSettings& desktop);

}  // namespace korva::app
