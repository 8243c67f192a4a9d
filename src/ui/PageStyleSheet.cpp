#include "ui/PageStyleSheet.h"

#include <algorithm>

#include <QEvent>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QStackedWidget>
#include <QString>

namespace korva::ui {

namespace {

bool LooksThroughStandIn(const QWidget* widget) {
  return widget->property(kStandInLookProperty).toBool();
}

// Whether `widget` is split into parts instead of taking the sheet whole: it holds a page
// container or a widget that takes no sheet.
bool SplitIntoParts(const QWidget* widget) {
  if (qobject_cast<const QStackedWidget*>(widget)) return true;
  const QList<QWidget*> inside = widget->findChildren<QWidget*>();
  return std::any_of(inside.cbegin(), inside.cend(), [](const QWidget* w) {
    return qobject_cast<const QStackedWidget*>(w) || LooksThroughStandIn(w);
  });
}

// The rules of `sheet` that can reach a widget of `part`: Qt parses a sheet once for every widget
// that holds it, some 2-3 KB per rule, and most parts hold a few labels and buttons. A rule stays
// when the first type of one of its selectors is a class of a widget in the part (or of the part),
// or when a selector names no type; "QToolTip" rules always stay (a tooltip takes its look from
// the widget it is shown for). Widgets made later inside a part are of the classes it holds (the
// skin builds every control up front; popups come inside their combo).
QString SheetFor(const QWidget* part, const QString& sheet) {
  QSet<QString> classes{QStringLiteral("QToolTip")};
  auto note = [&classes](const QWidget* w) {
    for (const QMetaObject* meta = w->metaObject(); meta; meta = meta->superClass())
      classes.insert(QString::fromLatin1(meta->className()));
  };
  note(part);
  for (const QWidget* w : part->findChildren<QWidget*>()) note(w);

  static const QRegularExpression comment(QStringLiteral(R"(/\*.*?\*/)"),
                                          QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression leadingType(QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_]*))"));
  QString kept;
  const QString text = QString(sheet).remove(comment);
  qsizetype start = 0;
  while (start < text.size()) {
    const qsizetype open = text.indexOf(QLatin1Char('{'), start);
    const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('}'), open);
    if (close < 0) break;
    const QString selectors = text.mid(start, open - start);
    bool reaches = false;
    for (const QString& selector : selectors.split(QLatin1Char(','))) {
      const QRegularExpressionMatch type = leadingType.match(selector);
      if (!type.hasMatch() || classes.contains(type.captured(1))) {
        reaches = true;
        break;
      }
    }
    if (reaches) kept += text.mid(start, close + 1 - start);
    start = close + 1;
  }
  return kept;
}

void StyleParts(QWidget* widget, const QString& sheet);

// Waits on a page for its first show, then styles the page's own parts and goes. The styling waits
// for the end of the event loop's turn, still ahead of the page's first paint (a paint request is
// posted at low priority): a page shown and hidden again within one turn (the pages a start-up
// with several devices passes through) is never painted and takes nothing. A page made current
// while its container is hidden is not shown yet and keeps waiting. Pages of containers inside
// the page get their own.
class SheetOnFirstShow : public QObject {
 public:
  SheetOnFirstShow(QWidget* page, const QString& sheet) : QObject(page), page_(page), sheet_(sheet) {
    setObjectName(QStringLiteral("korvaSheetOnFirstShow"));
    page->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == page_ && event->type() == QEvent::Show && !queued_) {
      queued_ = true;
      QMetaObject::invokeMethod(
          this, [this] { StyleIfStillShown(); }, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  void StyleIfStillShown() {
    queued_ = false;
    if (!page_->isVisible()) return;  // hidden again before any paint: wait for the next show
    page_->removeEventFilter(this);
    StyleParts(page_, sheet_);
    deleteLater();
  }

  QWidget* page_;
  QString sheet_;
  bool queued_ = false;  // a look at the page waits for the end of the turn
};

void StyleParts(QWidget* widget, const QString& sheet) {
  if (LooksThroughStandIn(widget)) return;
  if (!SplitIntoParts(widget)) {
    // A window hands its sheet down to the dialogs it opens later: it keeps the whole sheet.
    widget->setStyleSheet(widget->isWindow() ? sheet : SheetFor(widget, sheet));
    return;
  }
  if (auto* container = qobject_cast<QStackedWidget*>(widget)) {
    for (int i = 0; i < container->count(); ++i) {
      QWidget* page = container->widget(i);
      if (page->isVisible())
        StyleParts(page, sheet);
      else
        new SheetOnFirstShow(page, sheet);
    }
    return;
  }
  for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isWindow()) StyleParts(child, sheet);
}

}  // namespace

void ApplyStyleSheetToShownPages(QWidget* widget, const QString& sheet) {
  StyleParts(widget, sheet);
}

void ApplyStyleSheetToPart(QWidget* part, const QString& sheet) {
  part->setStyleSheet(SheetFor(part, sheet));
}

}  // namespace korva::ui
