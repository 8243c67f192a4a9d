#include "mousepad/page/MousepadPage.h"

#include <QTimer>
#include <utility>

#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::mousepad {
namespace {

constexpr char kProfileCombo[] = "mp_deng_combo_profile";
constexpr char kResetButton[] = "mp_one_profile_default";

}  // namespace

MousepadPage::MousepadPage(ui::SkinWindow& window, session::MousepadController& pad, Hooks hooks)
    : window_(window), pad_(pad), hooks_(std::move(hooks)) {}

bool MousepadPage::RegisterRoutes(ui::NotifyRouter& router) {
  bool ok = router.Bind(ui::Latin1(ui::notify::kItemSelect), ui::Latin1(kProfileCombo),
                        [this](const ui::Notification& msg) { SwitchProfile(ui::NotificationValue(msg)); });
  ok &= router.Bind(ui::Latin1(ui::notify::kClick), ui::Latin1(kResetButton),
                    [this](const ui::Notification&) { FactoryReset(); });
  return ok;
}

void MousepadPage::Refresh() {
  if (const std::optional<int> a = ValidMousepadProfile(pad_.Image().active.ActiveProfile()))
    window_.FindControl(ui::Latin1(kProfileCombo)).SelectItem(*a);
}

void MousepadPage::SwitchProfile(int n) {
  const session::DeviceOutcome switched = pad_.SwitchProfile(n);
  if (switched.changed && hooks_.refresh) hooks_.refresh();
  // A switch the pad did not take shows its profile again.
  if (!switched.changed) Refresh();
}

void MousepadPage::FactoryReset() {
  pad_.SendFactoryReset();
  if (hooks_.reload) QTimer::singleShot(kResetReadDelayMs, &timerContext_, hooks_.reload);
}

}  // namespace korva::mousepad
