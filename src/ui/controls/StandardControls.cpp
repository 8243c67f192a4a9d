#include "ui/controls/StandardControls.h"

#include <memory>

#include "ui/ControlFactory.h"
#include "ui/controls/ChartView.h"
#include "ui/controls/CircleProgress.h"
#include "ui/controls/DeviceKeyButton.h"
#include "ui/controls/LightTintCache.h"
#include "ui/controls/WndHost.h"

namespace korva::ui {

void RegisterStandardControls(ControlFactory& factory) {
  factory.Register(QStringLiteral("CCircleProgressUI"), [] { return new CCircleProgressUI; });
  factory.Register(QStringLiteral("CChartViewUI"), [] { return new CChartViewUI; });
  factory.Register(QStringLiteral("CWndUI"), [] { return new CWndUI; });
  auto lights = std::make_shared<controls::LightTintCache>();
  factory.Register(QStringLiteral("CDeviceKeyButtonUI"), [lights] { return new CDeviceKeyButtonUI(lights); });
}

}  // namespace korva::ui
