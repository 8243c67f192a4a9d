#include "app/PreviewRepaint.h"

#include <QHash>
#include <QList>
#include <QRect>
#include <QWidget>
#include <QWindow>

#include "ui/SkinWindow.h"

namespace korva::app {

bool WindowOnScreen(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  return window.isVisible() && !window.isMinimized() && handle && handle->isExposed();
}

namespace {

// The changed keys of one parent widget.
struct KeyGroup {
  QList<QWidget*> keys;
  QRect united;   // in the parent's coordinates
  qint64 area = 0;  // of the keys themselves
};

}  // namespace

int RepaintChangedPreviewKeys(ui::SkinWindow& window) {
  if (!window.HasLightChanges() || !WindowOnScreen(window)) return 0;
  int repainted = 0;
  QHash<QWidget*, KeyGroup> groups;
  for (ui::Control& key : window.TakeLightChanges()) {
    if (!key.TakeLightChange()) continue;
    // isVisible: the key and every ancestor up to the window are shown, so its page is in front.
    if (QWidget* widget = key.Widget(); widget && widget->isVisible()) {
      KeyGroup& group = groups[widget->parentWidget()];
      group.keys.append(widget);
      group.united |= widget->geometry();
      group.area += qint64{widget->width()} * widget->height();
      ++repainted;
    }
  }
  // A wave over a keyboard changes most keys of a pass: one rectangle around them is repainted
  // as one piece, where a hundred small ones would cost a hundred region updates and a clip of
  // thousands of spans. Keys spread thinly (around a mouse picture) are repainted one by one.
  for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
    const KeyGroup& group = it.value();
    const qint64 unitedArea = qint64{group.united.width()} * group.united.height();
    if (it.key() && group.keys.size() > 1 && 2 * group.area >= unitedArea) {
      it.key()->update(group.united);
    } else {
      for (QWidget* key : group.keys) key->update();
    }
  }
  return repainted;
}

}  // namespace korva::app
