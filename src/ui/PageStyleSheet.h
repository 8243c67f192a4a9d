#pragma once
// The skin's style sheet on the parts of a window the user can see.
//
// Qt's style-sheet style keeps rules, a palette and a font for every widget it has polished, some
// 10 KB each: on a window of two thousand controls, most of them on pages that are never shown,
// that is most of the program's memory. So the sheet goes at once on each part of the window that
// holds no page container (a TabLayout), and on a page of a container when that page is shown
// (its first show comes before its first paint: the look is the same as with the sheet on the
// whole window). Each part gets only the rules that can reach its widgets: Qt parses a sheet once
// for every widget that holds one.
//
// The parts of a window that hold page containers themselves (the layouts around them) do not take
// the sheet: they draw nothing of their own that the sheet styles. Nor do widgets that draw the
// sheet's look of their class through a stand-in styled once for all of them (the device keys,
// SkinWindow::ButtonStandIn), nor the layouts around them.

class QString;
class QWidget;

namespace korva::ui {

// Set (true) on a widget that paints the sheet's look through a stand-in and takes no sheet.
inline constexpr char kStandInLookProperty[] = "korvaStandInLook";

// Puts `sheet` on the parts of `widget` (whose ancestors carry no sheet) outside page containers;
// every page of a container found takes it when first shown.
void ApplyStyleSheetToShownPages(QWidget* widget, const QString& sheet);

// Puts the rules of `sheet` that can reach `part` and its widgets on `part`.
void ApplyStyleSheetToPart(QWidget* part, const QString& sheet);

}  // namespace korva::ui
