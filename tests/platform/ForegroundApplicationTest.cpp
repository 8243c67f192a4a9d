#include "platform/ForegroundApplication.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Xlib last: its macros (None, Bool, Status) clash with names in the Qt and GoogleTest headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace korva::platform {
namespace {

std::string ThisExecutable() {
  return std::filesystem::read_symlink("/proc/self/exe").string();
}

TEST(ForegroundApplication, EmptyWithoutADisplay) {
  const char* saved = std::getenv("DISPLAY");
  const std::optional<std::string> display = saved ? std::optional<std::string>(saved) : std::nullopt;
  unsetenv("DISPLAY");
  EXPECT_EQ(X11ForegroundApplication().ForegroundApplication(), "");
  EXPECT_EQ(ForegroundApplication(), "");
  if (display) setenv("DISPLAY", display->c_str(), 1);

  // A display that does not exist.
  EXPECT_EQ(X11ForegroundApplication(":65000").ForegroundApplication(), "");
}

TEST(ForegroundApplication, ProcessExecutables) {
  EXPECT_EQ(ExecutableOfProcess(getpid()), ThisExecutable());
  EXPECT_EQ(ExecutableOfProcess(0), "");
  EXPECT_EQ(ExecutableOfProcess(-5), "");
}

TEST(ForegroundApplication, FakeAnswersWhatItWasSet) {
  FakeForegroundApplication fake;
  EXPECT_EQ(fake.ForegroundApplication(), "");
  fake.Set("/usr/games/racer");
  EXPECT_EQ(fake.ForegroundApplication(), "/usr/games/racer");
}

// A private X server (Xvfb) on which the test plays the window manager: it sets the root
// window's _NET_ACTIVE_WINDOW to windows it creates.
class XvfbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    // -displayfd 1: the server picks a free display and prints its number once it is ready.
    server_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("64x64x24")});
    ASSERT_TRUE(server_.waitForStarted(10000));
    while (!server_.canReadLine()) {
      ASSERT_TRUE(server_.waitForReadyRead(30000)) << "Xvfb did not report its display";
    }
    displayName_ = ":" + server_.readLine().trimmed().toStdString();
    display_ = XOpenDisplay(displayName_.c_str());
    ASSERT_NE(display_, nullptr);
    root_ = DefaultRootWindow(display_);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    server_.kill();
    server_.waitForFinished(5000);
  }

  Atom AtomNamed(const char* name) { return XInternAtom(display_, name, False); }

  Window NewWindow() { return XCreateSimpleWindow(display_, root_, 0, 0, 10, 10, 0, 0, 0); }

  void SetCardinal(Window w, const char* property, long value) {
    XChangeProperty(display_, w, AtomNamed(property), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&value), 1);
  }

  void Activate(Window w) {
    long id = static_cast<long>(w);
    XChangeProperty(display_, root_, AtomNamed("_NET_ACTIVE_WINDOW"), XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&id), 1);
    XSync(display_, False);
  }

  std::string Probe() { return X11ForegroundApplication(displayName_).ForegroundApplication(); }

  QProcess server_;
  std::string displayName_;
  Display* display_ = nullptr;
  Window root_ = 0;
};

TEST_F(XvfbTest, ActiveWindowLeadsToItsProcessExecutable) {
  EXPECT_EQ(Probe(), "") << "no window manager has set an active window yet";

  const Window mine = NewWindow();
  SetCardinal(mine, "_NET_WM_PID", getpid());
  Activate(mine);
  EXPECT_EQ(Probe(), ThisExecutable());
}

TEST_F(XvfbTest, WindowsWithoutALocalProcessCountAsNoApplication) {
  const Window withoutPid = NewWindow();
  const Window remote = NewWindow();
  SetCardinal(remote, "_NET_WM_PID", getpid());
  XTextProperty host{};
  char elsewhere[] = "elsewhere.example";
  char* list[] = {elsewhere};
  ASSERT_TRUE(XStringListToTextProperty(list, 1, &host));
  XSetWMClientMachine(display_, remote, &host);
  XFree(host.value);
  const Window goneProcess = NewWindow();
  SetCardinal(goneProcess, "_NET_WM_PID", 0x7FFFFFF0);
  const Window closed = NewWindow();
  SetCardinal(closed, "_NET_WM_PID", getpid());
  XDestroyWindow(display_, closed);

  const std::vector<std::pair<const char*, Window>> rows = {
      {"no _NET_WM_PID", withoutPid},
      {"client on another machine", remote},
      {"process that does not exist", goneProcess},
      {"window already closed", closed},
      {"desktop active (no window)", Window{0}},
  };
  for (const auto& [name, window] : rows) {
    Activate(window);
    EXPECT_EQ(Probe(), "") << name;
  }
}

TEST_F(XvfbTest, SeveralThreadsAskAtOnceWhileWindowsClose) {
  const Window mine = NewWindow();
  SetCardinal(mine, "_NET_WM_PID", getpid());
  Activate(mine);
  const std::string expected = ThisExecutable();
  X11ForegroundApplication probe(displayName_);
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 10; ++i) {
        if (probe.ForegroundApplication() != expected) ++wrong[static_cast<std::size_t>(t)];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));

  // An active window id that was never created: the X error must not end the process.
  Activate(static_cast<Window>(0x7FFFFF));
  EXPECT_EQ(probe.ForegroundApplication(), "");
}

}  // namespace
}  // namespace korva::platform
