#pragma once
// GNOME's pointer settings through gsettings: the mouse speed is the key "speed" of
// "org.gnome.desktop.peripherals.mouse" (-1..1). GNOME has no wheel scroll lines setting.

#include <memory>
#include <mutex>

#include "platform/DesktopPointerSettings.h"

namespace korva::platform {

class GnomePointerSettings final : public DesktopPointerSettings {
 public:
  explicit GnomePointerSettings(std::shared_ptr<CommandRunner> runner);

  std::string Name() const override { return "GNOME"; }
  bool OffersWheelScrollLines() const override { return false; }
  std::optional<int> GetPointerSpeed() override;
  PointerSettingResult SetPointerSpeed(int speed) override;
  std::optional<int> GetWheelScrollLines() override;
  PointerSettingResult SetWheelScrollLines(int lines) override;

 private:
  std::shared_ptr<CommandRunner> runner_;
  std::once_flag wheelLinesLogged_;
};

}  // namespace korva::platform
