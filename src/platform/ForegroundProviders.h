#pragma once
// Where the foreground executable comes from in this session, chosen once at start:
//
//  - X11 (and X11 windows under XWayland): X11ForegroundApplication.
//  - Wayland, where no common protocol tells a client which window is active: the program offers
//    the D-Bus interface below on the session bus, and a helper on the desktop side (the KWin
//    script, the GNOME Shell extension or the sway IPC subscriber in packaging/) calls it on
//    every focus change.
//
//     service    org.korva.Driver
//     object     /org/korva/Driver/Foreground
//     interface  org.korva.Foreground1
//     method     SetActiveWindow(u pid)   0: no window (the desktop itself is active)
//                (also taken as int32 and double, as script engines send their numbers)
//
// The executable is read from /proc/<pid>/exe when the call arrives, so a program that ends
// later is still known by its path; a pid that cannot be read counts as no application.
//
// The choice: KORVA_FOREGROUND=x11|dbus|none forces one; otherwise a Wayland session takes the
// D-Bus interface, any other session the X11 display when one opens, then the D-Bus interface;
// none when neither is there (profiles can still be linked; switching waits for a provider).

#include <QObject>
#include <QString>
#include <memory>
#include <mutex>
#include <string>

#include "platform/ForegroundApplication.h"

class QDBusConnection;

namespace korva::platform {

inline constexpr char kForegroundService[] = "org.korva.Driver";
inline constexpr char kForegroundObject[] = "/org/korva/Driver/Foreground";
inline constexpr char kForegroundInterface[] = "org.korva.Foreground1";

// The D-Bus interface. Its calls arrive on the thread that owns the object (the UI thread); the
// watchers read the answer from theirs.
class DBusForegroundApplication final : public QObject, public ForegroundApplicationProbe {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.korva.Foreground1")

 public:
  DBusForegroundApplication() = default;
  ~DBusForegroundApplication() override;

  // Registers the object and takes the service name on `bus`; false when the bus is not there or
  // another program holds the name.
  bool Register(const QDBusConnection& bus);
  std::string ForegroundApplication() override;

 public Q_SLOTS:
  Q_SCRIPTABLE void SetActiveWindow(uint pid);
  // The same call as script engines send it: a KWin script's numbers arrive as int32 or double.
  // Anything but a whole number in the pid range counts as no window.
  Q_SCRIPTABLE void SetActiveWindow(int pid);
  Q_SCRIPTABLE void SetActiveWindow(double pid);

 private:
  std::mutex mutex_;
  std::string executable_;
  QString busName_;  // the connection it registered on, empty: none
};

struct ForegroundProvider {
  std::unique_ptr<ForegroundApplicationProbe> probe;  // null: no provider
  QString name;                                       // "x11", "dbus" or "none", for the trace
};

// The provider of this session (see above); the trace names the one chosen.
ForegroundProvider ChooseForegroundProvider();

}  // namespace korva::platform
