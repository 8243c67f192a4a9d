#include "ui/PageStyleSheet.h"

#include <QEvent>
#include <QList>
#include <QPointer>
#include <QStackedWidget>
#include <QString>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace korva::ui {

namespace {

bool HoldsPageContainer(const QWidget* widget) {
  return qobject_cast<const QStackedWidget*>(widget) || widget->findChild<QStackedWidget*>() != nullptr;
}

// Freed small blocks stay with the allocator; a page's look is thousands of them.
void ReturnFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

void StyleParts(QWidget* widget, const QString& sheet, std::chrono::milliseconds unstyleAfter,
                QList<QPointer<QWidget>>* styled);

// Lives on one page: styles the page's own parts on its show, unstyles them once it has been
// hidden for the delay. Pages of containers inside the page have their own.
class PageSheet : public QObject {
 public:
  PageSheet(QWidget* page, const QString& sheet, std::chrono::milliseconds unstyleAfter)
      : QObject(page), page_(page), sheet_(sheet), unstyleAfter_(unstyleAfter) {
    setObjectName(QStringLiteral("korvaPageSheet"));
    unstyle_.setSingleShot(true);
    unstyle_.setInterval(unstyleAfter);
    connect(&unstyle_, &QTimer::timeout, this, &PageSheet::Unstyle);
    page->installEventFilter(this);
    if (page->isVisible()) Style();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != page_) return false;
    if (event->type() == QEvent::Show) {
      unstyle_.stop();
      if (styled_.isEmpty()) Style();
    } else if (event->type() == QEvent::Hide && !styled_.isEmpty()) {
      unstyle_.start();
    }
    return false;
  }

 private:
  void Style() { StyleParts(page_, sheet_, unstyleAfter_, &styled_); }

  void Unstyle() {
    if (page_->isVisible()) return;
    for (const QPointer<QWidget>& part : std::as_const(styled_))
      if (part) part->setStyleSheet(QString());
    styled_.clear();
    ReturnFreedMemory();
  }

  QWidget* page_;
  QString sheet_;
  std::chrono::milliseconds unstyleAfter_;
  QList<QPointer<QWidget>> styled_;  // the parts that took the sheet
  QTimer unstyle_;
};

void StyleParts(QWidget* widget, const QString& sheet, std::chrono::milliseconds unstyleAfter,
                QList<QPointer<QWidget>>* styled) {
  if (!HoldsPageContainer(widget)) {
    widget->setStyleSheet(sheet);
    if (styled) styled->append(widget);
    return;
  }
  if (auto* container = qobject_cast<QStackedWidget*>(widget)) {
    for (int i = 0; i < container->count(); ++i) {
      QWidget* page = container->widget(i);
      if (!page->findChild<PageSheet*>(QStringLiteral("korvaPageSheet"), Qt::FindDirectChildrenOnly))
        new PageSheet(page, sheet, unstyleAfter);
    }
    return;
  }
  for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isWindow()) StyleParts(child, sheet, unstyleAfter, styled);
}

}  // namespace

void ApplyStyleSheetToShownPages(QWidget* widget, const QString& sheet, std::chrono::milliseconds unstyleAfter) {
  StyleParts(widget, sheet, unstyleAfter, nullptr);
}

}  // namespace korva::ui
