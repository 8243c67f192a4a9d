#include "app/PreviewRepaint.h"

#include <QWidget>
#include <QWindow>

#include "ui/SkinWindow.h"

namespace korva::app {

bool WindowOnScreen(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  return window.isVisible() && !window.isMinimized() && handle && handle->isExposed();
}

int RepaintChangedPreviewKeys(ui::SkinWindow& window) {
  if (!window.HasLightChanges() || !WindowOnScreen(window)) return 0;
  int repainted = 0;
  for (ui::Control& key : window.TakeLightChanges()) {
    if (!key.TakeLightChange()) continue;
    // isVisible: the key and every ancestor up to the window are shown, so its page is in front.
    if (QWidget* widget = key.Widget(); widget && widget->isVisible()) {
      widget->update();
      ++repainted;
    }
  }
  return repainted;
}

}  // namespace korva::app
