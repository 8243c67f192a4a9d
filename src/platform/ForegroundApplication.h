#pragma once
// The executable of the application in the foreground, for switching profiles linked to it:
// the full path of the program that owns the active window, or an empty string when there is
// none ("no linked application": no X11 display, a Wayland-only session, a window without a
// process id, a process of another user or of another machine).

#include <mutex>
#include <string>

namespace korva::platform {

class ForegroundApplicationProbe {
 public:
  virtual ~ForegroundApplicationProbe() = default;
  // Safe to call from several threads at once.
  virtual std::string ForegroundApplication() = 0;
};

// X11 with EWMH: the root window's _NET_ACTIVE_WINDOW, its _NET_WM_PID, then /proc/<pid>/exe.
// Each call opens its own display connection, so a restarted X server or a display that goes
// away costs one empty answer, never a hang or an exit.
class X11ForegroundApplication final : public ForegroundApplicationProbe {
 public:
  // `displayName` empty: the DISPLAY environment variable.
  explicit X11ForegroundApplication(std::string displayName = {});
  std::string ForegroundApplication() override;

 private:
  std::string displayName_;
};

// A foreground application set by the test.
class FakeForegroundApplication final : public ForegroundApplicationProbe {
 public:
  void Set(std::string path) {
    std::lock_guard lock(mutex_);
    path_ = std::move(path);
  }
  std::string ForegroundApplication() override {
    std::lock_guard lock(mutex_);
    return path_;
  }

 private:
  std::mutex mutex_;
  std::string path_;
};

// The foreground application of this session's X11 display; empty when none is found.
std::string ForegroundApplication();

// Whether an X11 connection to `displayName` opens (empty: DISPLAY).
bool X11DisplayOpens(const std::string& displayName);

// The executable of a process as /proc shows it; empty when it cannot be read.
std::string ExecutableOfProcess(long pid);

}  // namespace korva::platform
