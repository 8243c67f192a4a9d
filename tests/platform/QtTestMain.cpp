// Test main for the platform seams: QProcess, QLocalServer and QtDBus want a QCoreApplication.
#include <gtest/gtest.h>

#include <QCoreApplication>

// ThreadSanitizer builds: the tests start helper programs (Xvfb, dbus-daemon, the crash helper)
// with QProcess while QtDBus's own thread runs. QProcess replaces the child with the program
// right after the fork, so the child never runs a thread of ours; ThreadSanitizer's default is to
// end the process at the next thread start after such a fork, which this turns off.
extern "C" const char* __tsan_default_options() { return "die_after_fork=0"; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
