#include "platform/DesktopPointerSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ranges>

#include "common/Log.h"
#include "platform/ExternalCommand.h"
#include "platform/GnomePointerSettings.h"
#include "platform/KdePointerSettings.h"

namespace korva::platform {
namespace {

bool IsPointerSpeed(int speed) {
  return speed >= kMinPointerSpeed && speed <= kMaxPointerSpeed;
}
bool IsWheelLines(int lines) {
  return lines >= kMinWheelScrollLines && lines <= kMaxWheelScrollLines;
}

// Desktops without a settings backend of ours: nothing is changed. The trace says so once; the
// page's controls say it in their tooltips (OffersPointerSpeed, OffersWheelScrollLines).
class NoDesktopPointerSettings final : public DesktopPointerSettings {
 public:
  explicit NoDesktopPointerSettings(std::string desktop) : desktop_(std::move(desktop)) {
    Trace("No pointer settings backend for desktop " + (desktop_.empty() ? std::string("(none)") : desktop_) +
          " - pointer speed and wheel scroll lines stay in the profiles only");
  }
  std::string Name() const override { return "none"; }
  bool OffersPointerSpeed() const override { return false; }
  bool OffersWheelScrollLines() const override { return false; }
  std::optional<int> GetPointerSpeed() override { return std::nullopt; }
  PointerSettingResult SetPointerSpeed(int speed) override {
    return IsPointerSpeed(speed) ? PointerSettingResult::kUnsupported : PointerSettingResult::kOutOfRange;
  }
  std::optional<int> GetWheelScrollLines() override { return std::nullopt; }
  PointerSettingResult SetWheelScrollLines(int lines) override {
    return IsWheelLines(lines) ? PointerSettingResult::kUnsupported : PointerSettingResult::kOutOfRange;
  }

 private:
  std::string desktop_;
};

// True when the colon-separated XDG_CURRENT_DESKTOP list names `desktop` (case ignored).
bool ListsDesktop(std::string_view list, std::string_view desktop) {
  for (const auto part : std::views::split(list, ':')) {
    const std::string_view name(part.begin(), part.end());
    if (name.size() == desktop.size() && std::ranges::equal(name, desktop, [](char a, char b) {
          return std::tolower(a) == std::tolower(b);
        })) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<double> PointerSpeedToAcceleration(int speed) {
  if (!IsPointerSpeed(speed)) return std::nullopt;
  const int fromDefault = speed - kDefaultPointerSpeed;
  return fromDefault <= 0 ? fromDefault / 9.0 : fromDefault / 10.0;
}

int AccelerationToPointerSpeed(double acceleration) {
  if (std::isnan(acceleration)) return kDefaultPointerSpeed;
  const double a = std::clamp(acceleration, -1.0, 1.0);
  const double speed = kDefaultPointerSpeed + (a < 0 ? 9.0 * a : 10.0 * a);
  return ClampPointerSpeed(static_cast<int>(std::lround(speed)));
}

int ClampPointerSpeed(int speed) {
  return std::clamp(speed, kMinPointerSpeed, kMaxPointerSpeed);
}

std::string FormatAcceleration(double acceleration) {
  char buffer[64];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, acceleration, std::chars_format::fixed, 6);
  if (ec != std::errc{}) return "0.0";
  std::string text(buffer, end);
  // Six decimals are enough to get every speed back; drop the zeros after them.
  while (text.size() > 1 && text.back() == '0') text.pop_back();
  if (text.back() == '.') text += '0';
  if (text == "-0.0") text = "0.0";
  return text;
}

std::optional<double> ParseNumber(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::unique_ptr<DesktopPointerSettings> MakeDesktopPointerSettings(std::string_view xdgCurrentDesktop,
                                                                   std::shared_ptr<CommandRunner> runner) {
  if (ListsDesktop(xdgCurrentDesktop, "GNOME"))
    return std::make_unique<GnomePointerSettings>(std::move(runner));
  if (ListsDesktop(xdgCurrentDesktop, "KDE")) return std::make_unique<KdePointerSettings>(std::move(runner));
  return std::make_unique<NoDesktopPointerSettings>(std::string(xdgCurrentDesktop));
}

std::unique_ptr<DesktopPointerSettings> MakeDesktopPointerSettingsForSession() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  return MakeDesktopPointerSettings(desktop ? desktop : "", std::make_shared<ProcessCommandRunner>());
}

}  // namespace korva::platform
