#include "platform/KdePointerSettings.h"

#include <algorithm>
#include <cmath>

#include <QString>

#include "common/Log.h"
#include "platform/PlatformLog.h"

namespace korva::platform {
namespace {

constexpr std::chrono::milliseconds kToolTimeout{3000};
const std::vector<std::string> kWriteTools = {"kwriteconfig6", "kwriteconfig5"};
const std::vector<std::string> kReadTools = {"kreadconfig6", "kreadconfig5"};

const std::string kInputFile = "kcminputrc";
const std::string kInputGroup = "Mouse";
const std::string kAccelerationKey = "XLbInptPointerAcceleration";
const std::string kGlobalsFile = "kdeglobals";
const std::string kGlobalsGroup = "KDE";
const std::string kWheelLinesKey = "WheelScrollLines";

}  // namespace

KdePointerSettings::KdePointerSettings(std::shared_ptr<CommandRunner> runner) : runner_(std::move(runner)) {}

CommandResult KdePointerSettings::RunTool(const std::vector<std::string>& tools,
                                          const std::vector<std::string>& arguments) {
  for (const std::string& tool : tools) {
    CommandResult result = runner_->Run(tool, arguments, kToolTimeout);
    if (result.status != CommandResult::Status::kNotStarted) return result;
  }
  std::call_once(toolsMissingLogged_, [] {
    Trace(
        "Neither kwriteconfig6/kreadconfig6 nor kwriteconfig5/kreadconfig5 is installed: the KDE pointer "
        "settings cannot be changed");
  });
  return CommandResult{};
}

std::optional<double> KdePointerSettings::Read(const std::string& file, const std::string& group,
                                               const std::string& key) {
  const CommandResult result = RunTool(kReadTools, {"--file", file, "--group", group, "--key", key});
  if (!result.Succeeded()) return std::nullopt;
  return ParseNumber(result.output);  // an unset key prints nothing: nullopt
}

PointerSettingResult KdePointerSettings::Write(const std::string& file, const std::string& group,
                                               const std::string& key, const std::string& value) {
  const std::vector<std::string> arguments = {"--file", file, "--group", group, "--key", key, value};
  const CommandResult result = RunTool(kWriteTools, arguments);
  if (result.Succeeded()) return PointerSettingResult::kApplied;
  if (result.status != CommandResult::Status::kNotStarted) {
    qCInfo(lcPlatform).noquote() << "Writing the KDE setting"
                                 << QString::fromStdString(file + " [" + group + "] " + key)
                                 << "failed:" << QString::fromStdString(result.errors).trimmed();
  }
  return PointerSettingResult::kFailed;
}

std::optional<int> KdePointerSettings::GetPointerSpeed() {
  const std::optional<double> value = Read(kInputFile, kInputGroup, kAccelerationKey);
  if (!value) return std::nullopt;
  return AccelerationToPointerSpeed(*value);
}

PointerSettingResult KdePointerSettings::SetPointerSpeed(int speed) {
  const std::optional<double> acceleration = PointerSpeedToAcceleration(speed);
  if (!acceleration) return PointerSettingResult::kOutOfRange;
  return Write(kInputFile, kInputGroup, kAccelerationKey, FormatAcceleration(*acceleration));
}

std::optional<int> KdePointerSettings::GetWheelScrollLines() {
  const std::optional<double> value = Read(kGlobalsFile, kGlobalsGroup, kWheelLinesKey);
  if (!value) return std::nullopt;
  // Plasma allows more lines than the profiles keep; report the value limited to their range.
  const double limited = std::clamp(*value, double{kMinWheelScrollLines}, double{kMaxWheelScrollLines});
  return static_cast<int>(std::lround(limited));
}

PointerSettingResult KdePointerSettings::SetWheelScrollLines(int lines) {
  if (lines < kMinWheelScrollLines || lines > kMaxWheelScrollLines) return PointerSettingResult::kOutOfRange;
  return Write(kGlobalsFile, kGlobalsGroup, kWheelLinesKey, std::to_string(lines));
}

}  // namespace korva::platform
