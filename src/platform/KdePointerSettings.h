#pragma once
// KDE Plasma's pointer settings through kwriteconfig6/kreadconfig6 (or their KF5 names):
// the pointer acceleration is "XLbInptPointerAcceleration" (-1..1) in group "Mouse" of
// kcminputrc, the wheel scroll lines "WheelScrollLines" in group "KDE" of kdeglobals.
// Plasma applies them when the input settings are next loaded (for example at the next login).

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DesktopPointerSettings.h"
#include "platform/ExternalCommand.h"

namespace korva::platform {

class KdePointerSettings final : public DesktopPointerSettings {
 public:
  explicit KdePointerSettings(std::shared_ptr<CommandRunner> runner);

  std::string Name() const override { return "KDE"; }
  std::optional<int> GetPointerSpeed() override;
  PointerSettingResult SetPointerSpeed(int speed) override;
  std::optional<int> GetWheelScrollLines() override;
  PointerSettingResult SetWheelScrollLines(int lines) override;

 private:
  // Runs the first tool of `tools` that is installed.
  CommandResult RunTool(const std::vector<std::string>& tools, const std::vector<std::string>& arguments);
  std::optional<double> Read(const std::string& file, const std::string& group, const std::string& key);
  PointerSettingResult Write(const std::string& file, const std::string& group, const std::string& key,
                             const std::string& value);

  std::shared_ptr<CommandRunner> runner_;
  std::once_flag toolsMissingLogged_;
};

}  // namespace korva::platform
