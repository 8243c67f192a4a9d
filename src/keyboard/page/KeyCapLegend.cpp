#include "keyboard/page/KeyCapLegend.h"

#include <QEvent>

#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <optional>
#include <utility>

namespace korva::keyboard {
namespace {

struct TwoLines {
  QString first;
  QString second;
  int width = 0;  // of the wider line
};

bool IsWordBreak(QChar c) {
  return c.isSpace() || c == QLatin1Char('/') || c == QLatin1Char('-');
}

// Chinese and Japanese text may be broken between any two of its characters.
bool IsIdeographic(QChar c) {
  return c.unicode() >= 0x2E80 && !c.isSurrogate();
}

// Where a legend may be broken into two lines, from the most to the least natural.
enum class Break {
  kWord,       // after a space, '/' or '-'
  kIdeograph,  // also before or after an ideograph
  kHyphen,     // also inside a Latin word, with a hyphen ("Calcu-" / "lator"), two letters a side
};
constexpr Break kBreaks[] = {Break::kWord, Break::kIdeograph, Break::kHyphen};

bool MayBreakAt(const QString& text, qsizetype at, Break kind) {
  if (at <= 0 || at >= text.size()) return false;
  if (IsWordBreak(text[at - 1])) return true;
  if (kind == Break::kWord) return false;
  if (IsIdeographic(text[at - 1]) || IsIdeographic(text[at])) return true;
  return kind == Break::kHyphen && at >= 2 && at + 2 <= text.size() && text[at - 2].isLetter() &&
         text[at - 1].isLetter() && text[at].isLetter() && text[at + 1].isLetter();
}

// The two lines of `text` broken before index `at` (a space at the break is dropped; a break
// inside a word gets its hyphen).
TwoLines BreakAt(const QString& text, qsizetype at, const QFontMetrics& metrics) {
  TwoLines lines{text.left(at).trimmed(), text.mid(at).trimmed(), 0};
  if (text[at - 1].isLetter() && text[at].isLetter() && !IsIdeographic(text[at - 1]) && !IsIdeographic(text[at]))
    lines.first += QLatin1Char('-');
  lines.width = std::max(metrics.horizontalAdvance(lines.first), metrics.horizontalAdvance(lines.second));
  return lines;
}

// The most even break of `text` into two non-empty lines of the kind `kind` allows; nothing when
// it has none.
std::optional<TwoLines> EvenestBreak(const QString& text, const QFontMetrics& metrics, Break kind) {
  std::optional<TwoLines> best;
  for (qsizetype at = 1; at < text.size(); ++at) {
    if (!MayBreakAt(text, at, kind)) continue;
    TwoLines lines = BreakAt(text, at, metrics);
    if (lines.first.isEmpty() || lines.second.isEmpty()) continue;
    if (!best || lines.width < best->width) best = std::move(lines);
  }
  return best;
}

// Two lines of `text` that fit `width`, broken as naturally as fits; nothing when none do.
std::optional<TwoLines> TwoLinesThatFit(const QString& text, const QFontMetrics& metrics, int width) {
  for (const Break kind : kBreaks) {
    std::optional<TwoLines> lines = EvenestBreak(text, metrics, kind);
    if (lines && lines->width <= width) return lines;
  }
  return std::nullopt;
}

// As much of `text` as fits `width` on the first line, ending at a word or next to an ideograph,
// the rest cut short on the second; nothing when no such break falls within the first line.
std::optional<TwoLines> ShortenedTwoLines(const QString& text, const QFontMetrics& metrics, int width) {
  qsizetype at = 0;  // the last break within the longest beginning that fits
  for (qsizetype end = 1; end < text.size(); ++end) {
    if (metrics.horizontalAdvance(text.left(end).trimmed()) > width) break;
    if (MayBreakAt(text, end, Break::kIdeograph)) at = end;
  }
  if (at == 0) return std::nullopt;
  TwoLines lines{text.left(at).trimmed(), text.mid(at).trimmed(), 0};
  lines.second = metrics.elidedText(lines.second, Qt::ElideRight, width);
  if (lines.first.isEmpty() || lines.second.isEmpty()) return std::nullopt;
  return lines;
}

int PixelSize(const QFont& font) {
  return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

bool TwoLinesFitHeight(const QFontMetrics& metrics, int height) {
  return metrics.height() + metrics.lineSpacing() <= height;
}

QString Joined(const TwoLines& lines) {
  return lines.first + QLatin1Char('\n') + lines.second;
}

}  // namespace

KeyCapLegend FitKeyCapLegend(const QString& text, const QFont& font, QSize room) {
  if (text.isEmpty() || QFontMetrics(font).horizontalAdvance(text) <= room.width()) return {text, font, false};
  const int largest = PixelSize(font);
  const int smallest = std::min(largest, kSmallestLegendPixels);
  QFont sized = font;
  for (int pixels = largest; pixels >= smallest; --pixels) {
    sized.setPixelSize(pixels);
    const QFontMetrics metrics(sized);
    if (metrics.horizontalAdvance(text) <= room.width()) return {text, sized, false};
    if (!TwoLinesFitHeight(metrics, room.height())) continue;
    if (std::optional<TwoLines> lines = TwoLinesThatFit(text, metrics, room.width()))
      return {Joined(*lines), sized, false};
  }
  // The last resort, at the smallest size.
  sized.setPixelSize(smallest);
  const QFontMetrics metrics(sized);
  if (TwoLinesFitHeight(metrics, room.height())) {
    if (const std::optional<TwoLines> lines = ShortenedTwoLines(text, metrics, room.width()))
      return {Joined(*lines), sized, true};
  }
  return {metrics.elidedText(text, Qt::ElideRight, room.width()), sized, true};
}

QSize LegendRoom(const QPushButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).size();
}

KeyCapLegend FitLegendTo(QPushButton& button, const QFont& own, const QString& text) {
  // Measured in the button's own font: the room does not depend on the legend's size.
  button.setFont(own);
  return FitKeyCapLegend(text, own, LegendRoom(button));
}

void ShowLegend(ui::Control& key, const KeyCapLegend& legend) {
  if (QWidget* widget = key.Widget()) widget->setFont(legend.font);
  key.SetText(legend.text);
}

namespace {

class StyleChangeWatch : public QObject {
 public:
  StyleChangeWatch(QWidget& watched, std::function<void()> refit)
      : QObject(&watched), watched_(watched), refit_(std::move(refit)) {
    watched.installEventFilter(this);
  }
  bool eventFilter(QObject* object, QEvent* event) override {
    if (object == &watched_ && event->type() == QEvent::StyleChange) refit_();
    return false;
  }

 private:
  QWidget& watched_;
  std::function<void()> refit_;
};

}  // namespace

void RefitOnStyleChange(QWidget& button, std::function<void()> refit) {
  new StyleChangeWatch(button, std::move(refit));
}

}  // namespace korva::keyboard
