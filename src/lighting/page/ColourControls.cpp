#include "lighting/page/ColourControls.h"

#include <cstddef>
#include <utility>

#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::lighting {

ui::Control ColourControls::Find(const char* name) const {
  return window_.FindControl(ui::Latin1(name));
}

void ColourControls::Show(quint32 argb) const {
  ShowSwatch(argb);
  const std::array<std::string, 3> texts = ComponentTexts(argb);
  for (std::size_t i = 0; i < texts.size(); ++i) Find(names_.edits[i]).SetText(ui::Utf8(texts[i]));
}

void ColourControls::ShowSwatch(quint32 argb) const {
  ui::Control display = Find(names_.display);
  display.SetBkColor(argb);
  display.SetBkImage(QString());
  // The palette moves its marker only for a colour it does not show already: when the colour came
  // from the palette itself, the marker stays where the user put it.
  ui::Control palette = Find(names_.palette);
  if (palette.SelectColor() != argb) palette.SetSelectColor(argb);
}

void ColourControls::RewriteEdit(ColourComponent component, const std::string& text) const {
  Find(names_.edits[static_cast<std::size_t>(component)]).SetText(ui::Utf8(text));
}

quint32 ColourControls::Displayed() const {
  return Find(names_.display).BkColor();
}

bool ColourControls::BindEdits(ui::NotifyRouter& router,
                               std::function<void(ColourComponent, const QString&)> typed) const {
  static constexpr std::array<ColourComponent, 3> kComponents = {ColourComponent::kRed, ColourComponent::kGreen,
                                                                 ColourComponent::kBlue};
  bool ok = true;
  for (std::size_t i = 0; i < kComponents.size(); ++i) {
    ok &= router.Bind(ui::Latin1(ui::notify::kTextChanged), ui::Latin1(names_.edits[i]),
                      [typed, component = kComponents[i]](const ui::Notification& msg) {
                        typed(component, msg.sender.Text());
                      });
  }
  return ok;
}

}  // namespace korva::lighting
