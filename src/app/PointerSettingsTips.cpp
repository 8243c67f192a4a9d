#include "app/PointerSettingsTips.h"

#include "platform/DesktopPointerSettings.h"
#include "ui/SkinWindow.h"

namespace korva::app {

void ShowPointerSettingsTips(ui::SkinWindow& window, const platform::DesktopPointerSettings& desktop) {
  if (!desktop.OffersPointerSpeed())
    window.FindControl(QStringLiteral("ms_point_speed_slider"))
        .SetToolTip(QString::fromLatin1(kPointerSpeedNoBackendTip));
  if (!desktop.OffersWheelScrollLines())
    window.FindControl(QStringLiteral("ms_gunlun_speed_edit"))
        .SetToolTip(QString::fromLatin1(kWheelLinesNoBackendTip));
}

}  // namespace korva::app
