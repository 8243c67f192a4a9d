#include "ui/controls/WndHost.h"

namespace korva::ui {

void CWndUI::Attach(QWidget* widget) {
  hosted_ = widget;
  // Laying a window of its own over the control must not take the focus from the main window.
  if (widget && widget->isWindow()) widget->setAttribute(Qt::WA_ShowWithoutActivating);
  Synchronise();
}

QWidget* CWndUI::Detach() {
  QWidget* widget = hosted_.data();
  hosted_.clear();
  return widget;
}

void CWndUI::moveEvent(QMoveEvent* event) {
  SkinBox::moveEvent(event);
  Synchronise();
}

void CWndUI::resizeEvent(QResizeEvent* event) {
  SkinBox::resizeEvent(event);
  Synchronise();
}

void CWndUI::showEvent(QShowEvent* event) {
  SkinBox::showEvent(event);
  Synchronise();
}

void CWndUI::hideEvent(QHideEvent* event) {
  SkinBox::hideEvent(event);
  Synchronise();
}

void CWndUI::Synchronise() {
  QWidget* hosted = hosted_.data();
  if (!hosted) return;
  // Through the screen, so any relation between the two widgets places it right.
  const QPoint onScreen = mapToGlobal(QPoint(0, 0));
  const QWidget* parent = hosted->isWindow() ? nullptr : hosted->parentWidget();
  const QPoint topLeft = parent ? parent->mapFromGlobal(onScreen) : onScreen;
  hosted->setGeometry(QRect(topLeft, size()));
  hosted->setVisible(isVisible());
}

}  // namespace korva::ui
