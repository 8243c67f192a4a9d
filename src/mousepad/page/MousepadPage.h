#pragma once
// MousepadPage: the mousepad's own controls beside its lighting section ("MousePad_deng.xml"): the
// device-profile combo mp_deng_combo_profile and the factory reset mp_one_profile_default. The
// lighting section itself is a mouse::PointerLightPage over the mousepad's record.
//
// The factory reset sends the restore-defaults request and reads the pad again one second later
// (hooks.reload, which the main window turns into WM_MP_RELOAD); the page waits with a single-shot
// timer, so nothing runs while the pad is idle.

#include <QObject>
#include <functional>

#include "session/MousepadController.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::mousepad {

class MousepadPage {
 public:
  struct Hooks {
    std::function<void()> refresh;  // the pad's page shows its image again
    std::function<void()> reload;   // the full read after a factory reset
  };
  static constexpr int kResetReadDelayMs = 1000;

  // `window` holds the controls; `pad` is the session's mousepad. Both must outlive the page.
  MousepadPage(ui::SkinWindow& window, session::MousepadController& pad, Hooks hooks);

  bool RegisterRoutes(ui::NotifyRouter& router);
  // Shows the pad's active device profile in mp_deng_combo_profile (without notification).
  void Refresh();

  // "itemselect" on mp_deng_combo_profile.
  void SwitchProfile(int n);
  // "click" on mp_one_profile_default.
  void FactoryReset();

 private:
  ui::SkinWindow& window_;
  session::MousepadController& pad_;
  Hooks hooks_;
  QObject timerContext_;  // the pending reload dies with the page
};

}  // namespace korva::mousepad
