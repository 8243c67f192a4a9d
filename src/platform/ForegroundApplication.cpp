#include "platform/ForegroundApplication.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

namespace korva::platform {
namespace {

// Xlib reports protocol errors (a window that closed between two requests: BadWindow) to one
// process-wide handler whose default ends the process. Ours swallows the errors of the
// connections this module opened and passes all others on to the handler it replaced.
std::mutex gConnectionsMutex;
std::map<Display*, bool> gConnections;  // our open connections -> an error happened
XErrorHandler gPreviousHandler = nullptr;
std::once_flag gHandlerInstalled;

int OnXError(Display* display, XErrorEvent* event) {
  {
    std::lock_guard lock(gConnectionsMutex);
    const auto it = gConnections.find(display);
    if (it != gConnections.end()) {
      it->second = true;
      return 0;
    }
  }
  return gPreviousHandler ? gPreviousHandler(display, event) : 0;
}

// A lost connection must not end the process either: Xlib calls this instead of exit(), and
// every later request on the connection fails.
void OnConnectionLost(Display*, void*) {}

// One display connection of this module, closed on every path.
class Connection {
 public:
  explicit Connection(const std::string& name) {
    std::call_once(gHandlerInstalled, [] { gPreviousHandler = XSetErrorHandler(OnXError); });
    display_ = XOpenDisplay(name.empty() ? nullptr : name.c_str());
    if (!display_) return;
    {
      std::lock_guard lock(gConnectionsMutex);
      gConnections[display_] = false;
    }
    XSetIOErrorExitHandler(display_, OnConnectionLost, nullptr);
  }
  ~Connection() {
    if (!display_) return;
    XCloseDisplay(display_);
    std::lock_guard lock(gConnectionsMutex);
    gConnections.erase(display_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Display* get() const { return display_; }

 private:
  Display* display_ = nullptr;
};

// The first item of a 32-bit property of `type`; nullopt when missing, of another type or when
// the window is gone.
std::optional<unsigned long> ReadProperty32(Display* display, Window window, Atom property, Atom type) {
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long items = 0;
  unsigned long bytesAfter = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType,
                                        &actualFormat, &items, &bytesAfter, &data);
  std::optional<unsigned long> value;
  if (status == Success && data && actualType == type && actualFormat == 32 && items >= 1) {
    // Xlib hands 32-bit items over as longs.
    value = static_cast<unsigned long>(*reinterpret_cast<long*>(data));
  }
  if (data) XFree(data);
  return value;
}

// _NET_WM_PID is a process id on the machine named by WM_CLIENT_MACHINE; a window of a remote
// client names another machine, and its id must not be looked up here.
bool IsLocalClient(Display* display, Window window) {
  XTextProperty machine{};
  if (!XGetWMClientMachine(display, window, &machine) || !machine.value) return true;
  const std::string clientHost(reinterpret_cast<const char*>(machine.value), machine.nitems);
  XFree(machine.value);
  char host[HOST_NAME_MAX + 1] = {};
  if (gethostname(host, sizeof host - 1) != 0) return true;
  return clientHost == host;
}

}  // namespace

X11ForegroundApplication::X11ForegroundApplication(std::string displayName)
    : displayName_(std::move(displayName)) {}

std::string X11ForegroundApplication::ForegroundApplication() {
  const Connection connection(displayName_);
  Display* display = connection.get();
  if (!display) return {};
  // Only if they exist: a display without an EWMH window manager has no active window.
  const Atom activeWindowAtom = XInternAtom(display, "_NET_ACTIVE_WINDOW", True);
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  if (activeWindowAtom == None || pidAtom == None) return {};

  const std::optional<unsigned long> active =
      ReadProperty32(display, DefaultRootWindow(display), activeWindowAtom, XA_WINDOW);
  if (!active || *active == None) return {};
  const Window window = *active;
  const std::optional<unsigned long> pid = ReadProperty32(display, window, pidAtom, XA_CARDINAL);
  if (!pid || *pid == 0 || *pid > static_cast<unsigned long>(INT_MAX)) return {};
  if (!IsLocalClient(display, window)) return {};
  return ExecutableOfProcess(static_cast<long>(*pid));
}

std::string ForegroundApplication() {
  static X11ForegroundApplication probe;
  return probe.ForegroundApplication();
}

bool X11DisplayOpens(const std::string& displayName) {
  return Connection(displayName).get() != nullptr;
}

std::string ExecutableOfProcess(long pid) {
  if (pid <= 0) return {};
  std::error_code error;
  const std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
  return error ? std::string{} : exe.string();
}

}  // namespace korva::platform
