#include "platform/GnomePointerSettings.h"

#include <QString>

#include "common/Log.h"
#include "platform/ExternalCommand.h"
#include "platform/PlatformLog.h"

namespace korva::platform {
namespace {

constexpr std::chrono::milliseconds kToolTimeout{3000};
const std::string kTool = "gsettings";
const std::string kSchema = "org.gnome.desktop.peripherals.mouse";
const std::string kSpeedKey = "speed";

}  // namespace

GnomePointerSettings::GnomePointerSettings(std::shared_ptr<CommandRunner> runner)
    : runner_(std::move(runner)) {}

std::optional<int> GnomePointerSettings::GetPointerSpeed() {
  const CommandResult result = runner_->Run(kTool, {"get", kSchema, kSpeedKey}, kToolTimeout);
  if (!result.Succeeded()) return std::nullopt;
  const std::optional<double> value = ParseNumber(result.output);
  if (!value) {
    qCInfo(lcPlatform).noquote() << "gsettings printed an unexpected mouse speed:"
                                 << QString::fromStdString(result.output);
    return std::nullopt;
  }
  return AccelerationToPointerSpeed(*value);
}

PointerSettingResult GnomePointerSettings::SetPointerSpeed(int speed) {
  const std::optional<double> acceleration = PointerSpeedToAcceleration(speed);
  if (!acceleration) return PointerSettingResult::kOutOfRange;
  const std::vector<std::string> arguments = {"set", kSchema, kSpeedKey, FormatAcceleration(*acceleration)};
  const CommandResult result = runner_->Run(kTool, arguments, kToolTimeout);
  if (result.Succeeded()) return PointerSettingResult::kApplied;
  qCInfo(lcPlatform).noquote() << "Setting the GNOME mouse speed failed:"
                               << QString::fromStdString(DescribeCommand(kTool, arguments))
                               << QString::fromStdString(result.errors).trimmed();
  return PointerSettingResult::kFailed;
}

std::optional<int> GnomePointerSettings::GetWheelScrollLines() {
  return std::nullopt;
}

PointerSettingResult GnomePointerSettings::SetWheelScrollLines(int lines) {
  if (lines < kMinWheelScrollLines || lines > kMaxWheelScrollLines) return PointerSettingResult::kOutOfRange;
  std::call_once(wheelLinesLogged_, [] {
    Trace("GNOME has no setting for wheel scroll lines; they stay in the profiles only");
  });
  return PointerSettingResult::kUnsupported;
}

}  // namespace korva::platform
