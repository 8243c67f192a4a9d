// Test main of the application shell: the main window wants a QApplication (offscreen platform).
#include <gtest/gtest.h>

#include <QApplication>

// ThreadSanitizer builds: some tests start programs (dbus-daemon, korva) with QProcess while Qt's
// own threads run. The child replaces itself with the program right after the fork and never runs
// a thread of ours, so ThreadSanitizer's end-at-the-next-thread-after-fork is turned off.
extern "C" const char* __tsan_default_options() {
  return "die_after_fork=0";
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
