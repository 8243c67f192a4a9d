#pragma once
// ColourControls: the controls a page shows one lighting colour on — a display button whose
// background is the colour, a palette whose marker points at it, and three edits holding its red,
// green and blue — and the edits' "textchanged" routes.
//
//   ColourControls colour(window, {"ms_Deng_colordp_btn", "ms_deng_Color_Pallet",
//                                  {"ms_Deng_edit_R", "ms_Deng_edit_G", "ms_Deng_edit_B"}});
//   colour.Show(argb);                                  // a colour read from the device
//   colour.BindEdits(router, [&](ColourComponent c, const QString& text) { ... });
//
// Nothing here stores a colour: the page's model decides what a pick or a typed number changes.

#include <QString>
#include <array>
#include <functional>
#include <string>

#include "lighting/ColourComponents.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::lighting {

struct ColourControlNames {
  const char* display;               // the button showing the colour as its background
  const char* palette;               // the colour palette
  std::array<const char*, 3> edits;  // red, green, blue
};

class ColourControls {
 public:
  // `window` holds the controls (found by name when used) and must outlive this object.
  ColourControls(ui::SkinWindow& window, ColourControlNames names) : window_(window), names_(names) {}

  // The display, the palette and the three edits show `argb`.
  void Show(quint32 argb) const;
  // The display and the palette only: the edits keep what the user is typing.
  void ShowSwatch(quint32 argb) const;
  // Puts `text` back into one edit (a typed number outside 0..255).
  void RewriteEdit(ColourComponent component, const std::string& text) const;
  // The colour the display shows.
  quint32 Displayed() const;

  // Binds "textchanged" of the three edits to `typed` (with the edit's text). False when the router
  // refused a name.
  bool BindEdits(ui::NotifyRouter& router, std::function<void(ColourComponent, const QString&)> typed) const;

 private:
  ui::Control Find(const char* name) const;

  ui::SkinWindow& window_;
  ColourControlNames names_;
};

}  // namespace korva::lighting
