// Test main of the application shell: the main window wants a QApplication (offscreen platform).
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>

#if defined(__SANITIZE_THREAD__)
// ThreadSanitizer builds. Qt is not instrumented, so its painting, which scales and converts
// images on Qt's own thread pool, looks like races between the pooled threads and the UI thread.
// No test here looks at pixels: the widgets are not painted at all (PaintFilter). Our own
// hand-over to the UI thread (UiMessenger) touches nothing of Qt from a worker.
namespace {
class PaintFilter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Paint; }
};
}  // namespace
#endif

// Some tests start programs (dbus-daemon, korva) while Qt's own threads run. The child replaces
// itself with the program right after the fork and never runs a thread of ours, so
// ThreadSanitizer's end-at-the-next-thread-after-fork is turned off.
extern "C" const char* __tsan_default_options() {
  return "die_after_fork=0";
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
#if defined(__SANITIZE_THREAD__)
  PaintFilter paintFilter;
  app.installEventFilter(&paintFilter);
#endif
  return RUN_ALL_TESTS();
}
