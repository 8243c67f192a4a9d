#pragma once
// The custom control classes the skin files use, registered with a skin's control factory at
// start-up: "CCircleProgressUI", "CChartViewUI", "CWndUI" and "CDeviceKeyButtonUI".

namespace korva::ui {

class ControlFactory;

// Registers the four classes in this order. The device keys made by this factory share one cache
// of tinted lights.
void RegisterStandardControls(ControlFactory& factory);

}  // namespace korva::ui
