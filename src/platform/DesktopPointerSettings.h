#pragma once
// The desktop's pointer speed and wheel scroll lines, which the mouse's light profiles carry
// along. Each desktop keeps them in its own settings; one backend per desktop, picked from
// XDG_CURRENT_DESKTOP, and a fake for tests (FakeDesktopPointerSettings.h).
//
// Pointer speed uses the scale of the profiles: 1 (slowest) .. 20 (fastest), 10 = the desktop's
// default. Wheel scroll lines: 1..10 lines per notch.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace korva::platform {

class CommandRunner;

inline constexpr int kMinPointerSpeed = 1;
inline constexpr int kMaxPointerSpeed = 20;
inline constexpr int kDefaultPointerSpeed = 10;
inline constexpr int kMinWheelScrollLines = 1;
inline constexpr int kMaxWheelScrollLines = 10;

enum class PointerSettingResult {
  kApplied,      // the desktop took the value
  kUnsupported,  // this desktop has no such setting (said once in the log)
  kOutOfRange,   // the value lies outside its range; nothing was changed
  kFailed,       // the desktop's tool is missing, failed or did not answer in time
};

class DesktopPointerSettings {
 public:
  virtual ~DesktopPointerSettings() = default;

  virtual std::string Name() const = 0;
  // Whether the desktop has a setting the value goes to. Without one the value stays in the
  // profiles only, and the page says so in the tooltips of its controls.
  virtual bool OffersPointerSpeed() const { return true; }
  virtual bool OffersWheelScrollLines() const { return true; }
  // nullopt when the desktop has no such setting or it cannot be read.
  virtual std::optional<int> GetPointerSpeed() = 0;
  virtual PointerSettingResult SetPointerSpeed(int speed) = 0;  // 1..20
  virtual std::optional<int> GetWheelScrollLines() = 0;
  virtual PointerSettingResult SetWheelScrollLines(int lines) = 0;  // 1..10
};

// Pointer speed 1..20 <-> the pointer acceleration of libinput desktops, -1..1, as GNOME's
// "speed" and KDE's "XLbInptPointerAcceleration" hold it. Piecewise linear so that both defaults
// meet: 1 -> -1, 10 -> 0, 20 -> 1 (steps of 1/9 below the default and 1/10 above it).
std::optional<double> PointerSpeedToAcceleration(int speed);  // nullopt outside 1..20
// The nearest speed; values outside -1..1 count as the nearest end, NaN as the default.
int AccelerationToPointerSpeed(double acceleration);
// Limits a speed to 1..20 (the profiles keep the limited value).
int ClampPointerSpeed(int speed);

// Locale-independent text of a number, as the desktop tools expect it ("-0.555556", "0.1").
std::string FormatAcceleration(double acceleration);
// Reads a number as the tools print it ("0.5", "-1", "0.0\n"); nullopt for anything else.
std::optional<double> ParseNumber(std::string_view text);

// GNOME (and desktops built on its settings): XDG_CURRENT_DESKTOP contains "GNOME";
// KDE Plasma: contains "KDE"; anything else: a backend that changes nothing and says so.
// XDG_CURRENT_DESKTOP is a colon-separated list, e.g. "ubuntu:GNOME".
std::unique_ptr<DesktopPointerSettings> MakeDesktopPointerSettings(std::string_view xdgCurrentDesktop,
                                                                   std::shared_ptr<CommandRunner> runner);
// The backend for this session (XDG_CURRENT_DESKTOP, tools run with ProcessCommandRunner).
std::unique_ptr<DesktopPointerSettings> MakeDesktopPointerSettingsForSession();

}  // namespace korva::platform
