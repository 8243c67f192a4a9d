#pragma once
// CWndUI: a place in the skin for a widget the program makes itself. The hosted widget keeps the
// parent it has (a child of the window, or a window of its own); after every move, resize, show
// and hide of the control it is laid over the control's rectangle (in screen coordinates when it
// is a window of its own) and shown exactly while the control is visible.

#include <QPointer>

#include "ui/SkinWidgets_p.h"

namespace korva::ui {

class CWndUI : public detail::SkinBox {
 public:
  using SkinBox::SkinBox;
  static QString GetClass() { return QStringLiteral("Wnd"); }

  // Hosts `widget` (nullptr hosts nothing) and places it at once; a widget hosted before is left
  // where it is. The control does not own the widget: when it is destroyed the control hosts
  // nothing.
  void Attach(QWidget* widget);
  // Stops hosting and returns the widget that was hosted (or nullptr).
  QWidget* Detach();
  QWidget* Hosted() const { return hosted_.data(); }

 protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Synchronise();

  QPointer<QWidget> hosted_;
};

}  // namespace korva::ui
