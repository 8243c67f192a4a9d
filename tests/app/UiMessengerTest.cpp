#include "app/UiMessenger.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <latch>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace korva::app {
namespace {

// A messenger whose handler records each message and answers with wParam * 2.
class UiMessengerTest : public ::testing::Test {
 protected:
  std::vector<WindowMessage> Handled() {
    std::lock_guard lock(mutex);
    return handled;
  }

  std::mutex mutex;
  std::vector<WindowMessage> handled;
  UiMessenger messenger{[this](WindowMessage message, qint64 wParam, qint64) {
    std::lock_guard lock(mutex);
    handled.push_back(message);
    return wParam * 2;
  }};
};

TEST_F(UiMessengerTest, SendOnTheUiThreadRunsAtOnce) {
  EXPECT_EQ(messenger.Send(WindowMessage::WM_KB_RELOAD, 21), 42);
  EXPECT_EQ(Handled(), std::vector{WindowMessage::WM_KB_RELOAD});
}

TEST_F(UiMessengerTest, PostRunsLaterOnTheUiThread) {
  messenger.Post(WindowMessage::WM_MS_PROFILE);
  EXPECT_TRUE(Handled().empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Handled().empty(); }, 10000));
  EXPECT_EQ(Handled(), std::vector{WindowMessage::WM_MS_PROFILE});
}

TEST_F(UiMessengerTest, AWorkerSendWaitsForTheUiThreadAndKeepsTheOrderOfItsPosts) {
  std::optional<qint64> result;
  std::atomic<bool> done{false};
  std::jthread worker([&] {
    messenger.Post(WindowMessage::WM_MP_RELOAD);
    result = messenger.Send(WindowMessage::WM_MS_RELOAD, 5);
    done = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
  worker.join();
  EXPECT_EQ(result, 10);
  EXPECT_EQ(Handled(), (std::vector{WindowMessage::WM_MP_RELOAD, WindowMessage::WM_MS_RELOAD}));
}

// The UI thread is busy shutting down (it processes no events) when it closes the messenger; a
// worker waiting in Send must be released, and what it queued must never run.
TEST_F(UiMessengerTest, CloseReleasesAWaitingSendAndDropsWhatIsQueued) {
  std::latch sending(1);
  std::optional<qint64> result = 7;
  std::jthread worker([&] {
    messenger.Post(WindowMessage::WM_MP_RELOAD);
    sending.count_down();
    result = messenger.Send(WindowMessage::WM_MS_RELOAD, 5);
  });
  sending.wait();
  messenger.Close();
  worker.join();  // would never return if Send kept waiting
  EXPECT_EQ(result, std::nullopt);

  QCoreApplication::processEvents();
  EXPECT_TRUE(Handled().empty());
  EXPECT_EQ(messenger.Send(WindowMessage::WM_KB_RELOAD), std::nullopt);
  messenger.Post(WindowMessage::WM_KB_RELOAD);
  QCoreApplication::processEvents();
  EXPECT_TRUE(Handled().empty());
}

// A reader whose stop event is set gives up its Send; the message then never runs.
TEST_F(UiMessengerTest, AStoppedSendGivesUpAndItsMessageNeverRuns) {
  std::stop_source stop;
  std::latch sending(1);
  std::optional<qint64> result = 7;
  std::jthread worker([&] {
    sending.count_down();
    result = messenger.Send(WindowMessage::WM_MS_RELOAD, 5, 0, stop.get_token());
  });
  sending.wait();
  stop.request_stop();
  worker.join();
  EXPECT_EQ(result, std::nullopt);
  QCoreApplication::processEvents();
  EXPECT_TRUE(Handled().empty());
  EXPECT_FALSE(messenger.IsClosed());
}

// A modal message box runs a nested event loop inside a message; messages queued meanwhile (a
// watcher's arrival, say) must still run inside it.
TEST_F(UiMessengerTest, MessagesRunInsideTheNestedLoopOfAnEarlierOne) {
  bool innerRan = false;
  bool nestedLoopEnded = false;
  messenger.PostTask([&] {
    QEventLoop modal;
    std::jthread worker([&] { messenger.PostTask([&] { innerRan = true, modal.quit(); }); });
    QTimer::singleShot(10000, &modal, &QEventLoop::quit);
    modal.exec();
    nestedLoopEnded = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return nestedLoopEnded; }, 20000));
  EXPECT_TRUE(innerRan);
}

TEST_F(UiMessengerTest, SendTaskRunsTheTaskOnTheUiThread) {
  std::atomic<bool> onUiThread{false};
  std::atomic<bool> done{false};
  std::jthread worker([&] {
    EXPECT_TRUE(messenger.SendTask([&] { onUiThread = messenger.OnUiThread(); }));
    done = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
  EXPECT_TRUE(onUiThread);
}

}  // namespace
}  // namespace korva::app
