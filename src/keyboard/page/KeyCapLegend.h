#pragma once
// The legend a key picture shows for a function the user gave it. The skin sizes each key's own
// legend to its cap ("PrtSc" in 7 px on a 22-pixel key), but a reassigned key shows the name of its
// new function ("Play/Pause", "媒体播放器", a macro's name), which is often wider than the cap. The
// legend is fitted to the cap's face in this order, so that as much of the name as possible stays
// readable:
//
//   1. one line in the key's own font;
//   2. the font one pixel smaller at a time, down to kSmallestLegendPixels, on one line, else
//      broken into two lines (after a space, '/' or '-', else next to an ideograph, else inside a
//      word with a hyphen) when two lines fit the cap's height;
//   3. at the smallest size, the text cut short with "…": on the second line when the first ends
//      at a break, else on one line. The key's tooltip still names the whole function. The key page first tries the short legend
//      the skin gives the key of the same function ("Ent" for "Keypad Enter").
//
// UI thread only (font metrics).

#include <QFont>
#include <QSize>
#include <QString>
#include <functional>

#include "ui/Control.h"

class QPushButton;

namespace korva::keyboard {

// Smaller than the smallest legend the skin gives a key, a legend is no longer readable.
inline constexpr int kSmallestLegendPixels = 7;

struct KeyCapLegend {
  QString text;  // one line, or two joined by '\n'
  QFont font;
  bool shortened = false;  // cut short with "…"
};

// The legend of `text` on a face of `room` pixels, starting from `font` (whose pixel size is the
// largest used). An empty text gives an empty legend in `font`.
KeyCapLegend FitKeyCapLegend(const QString& text, const QFont& font, QSize room);

// The face a push button gives its text with its style (frame and padding taken off).
QSize LegendRoom(const QPushButton& button);

// The legend of `text` on `button`, whose own font (the skin's) is `own`; the button is left in
// its own font.
KeyCapLegend FitLegendTo(QPushButton& button, const QFont& own, const QString& text);

// Shows `legend` on the key or button `key` (a push button).
void ShowLegend(ui::Control& key, const KeyCapLegend& legend);

// Runs `refit` whenever the style of `button` changes: the room a legend was fitted to is the
// style's (a page takes the skin's style sheet only when first shown, so legends fitted while it
// was hidden are fitted again then). For the pages that fit legends: one button of theirs stands
// for all of them.
void RefitOnStyleChange(QWidget& button, std::function<void()> refit);

}  // namespace korva::keyboard
