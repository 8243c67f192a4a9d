#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace korva::platform {
namespace {

using Role = SingleInstance::Role;

// Each test gets its own runtime folder, so parallel runs never share a lock or a socket.
class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime.isValid()); }
  QTemporaryDir runtime;
};

TEST_F(SingleInstanceTest, FirstHoldsTheLockSecondWakesItAndIsToldToExit) {
  SingleInstance first(runtime.path());
  ASSERT_EQ(first.Start(), Role::kFirst);
  EXPECT_TRUE(first.IsListening());
  EXPECT_TRUE(QFile::exists(runtime.path() + "/VANTORDRVER.lock"));
  QSignalSpy woken(&first, &SingleInstance::wakeRequested);

  SingleInstance second(runtime.path());
  EXPECT_EQ(second.Start(), Role::kSecond);
  EXPECT_FALSE(second.IsListening());
  ASSERT_TRUE(woken.wait(10000));
  EXPECT_EQ(woken.count(), 1);

  SingleInstance third(runtime.path());
  EXPECT_EQ(third.Start(), Role::kSecond);
  ASSERT_TRUE(woken.wait(10000));
  EXPECT_EQ(woken.count(), 2);
}

TEST_F(SingleInstanceTest, TheLockIsFreeAgainAfterTheFirstEnds) {
  {
    SingleInstance first(runtime.path());
    ASSERT_EQ(first.Start(), Role::kFirst);
  }
  SingleInstance next(runtime.path());
  EXPECT_EQ(next.Start(), Role::kFirst);
  EXPECT_TRUE(next.IsListening());
}

TEST_F(SingleInstanceTest, OtherMessagesDoNotWakeTheFirst) {
  SingleInstance first(runtime.path());
  ASSERT_EQ(first.Start(), Role::kFirst);
  QSignalSpy woken(&first, &SingleInstance::wakeRequested);

  QLocalSocket stranger;
  QSignalSpy dropped(&stranger, &QLocalSocket::disconnected);
  stranger.connectToServer(first.SocketPath());
  ASSERT_TRUE(stranger.waitForConnected(5000));
  stranger.write("QUENTAVI_002\nquentavi_001\n");
  stranger.write(QByteArray(200, 'x'));  // no line break: the first drops the connection
  ASSERT_TRUE(dropped.wait(10000));

  // A real wake-up afterwards still arrives, and is the only one.
  SingleInstance second(runtime.path());
  EXPECT_EQ(second.Start(), Role::kSecond);
  ASSERT_TRUE(woken.wait(10000));
  EXPECT_EQ(woken.count(), 1);
}

// Another program's request line reaches the handler and its answer goes back on the same
// connection, which then closes: one request a connection, and no longer than the limit.
TEST_F(SingleInstanceTest, RequestLinesGetTheHandlersAnswer) {
  SingleInstance first(runtime.path());
  ASSERT_EQ(first.Start(), Role::kFirst);
  QList<QByteArray> heard;
  first.SetRequestHandler("ASK ", 32, [&heard](const QByteArray& line) {
    heard.append(line);
    return "answer to " + line.left(8);
  });
  struct Case {
    QByteArray sent;
    QByteArray handled;
  };
  const Case cases[] = {
      {"ASK one\n", "ASK one"},
      {"QUENTAVI_002\nASK two\nASK three\n", "ASK two"},
      {"ASK " + QByteArray(40, 'x'), "ASK " + QByteArray(29, 'x')},  // cut after 32 + 1 bytes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sent.toStdString());
    heard.clear();
    QLocalSocket peer;
    QSignalSpy closed(&peer, &QLocalSocket::disconnected);
    peer.connectToServer(first.SocketPath());
    ASSERT_TRUE(peer.waitForConnected(5000));
    peer.write(c.sent);
    ASSERT_TRUE(closed.wait(10000));
    EXPECT_EQ(heard, QList<QByteArray>{c.handled});
    EXPECT_EQ(peer.readAll(), "answer to " + c.handled.left(8) + "\n");
  }
}

// The socket is the user's alone; a peer that reads its long answer slowly gets all of it; peers
// that connect and stay silent do not keep a later start from waking the first.
TEST_F(SingleInstanceTest, TheSocketServesTheUsersProgramsAndNoStranger) {
  SingleInstance first(runtime.path());
  ASSERT_EQ(first.Start(), Role::kFirst);
  EXPECT_EQ(QFile::permissions(first.SocketPath()) &
                ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
            QFile::Permissions{});
  const QByteArray longAnswer(1 << 20, 'a');  // more than a socket's buffer
  first.SetRequestHandler("ASK ", 32, [&longAnswer](const QByteArray&) { return longAnswer; });
  QLocalSocket reader;
  reader.connectToServer(first.SocketPath());
  ASSERT_TRUE(reader.waitForConnected(5000));
  reader.write("ASK long\n");
  // The answer is more than the socket holds: the first sends the rest as the reader takes it.
  QByteArray received;
  const QDeadlineTimer patience(10000);
  while (!received.endsWith('\n') && !patience.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    received += reader.read(4096);
  }
  EXPECT_EQ(received.size(), longAnswer.size() + 1);
  EXPECT_EQ(received, longAnswer + '\n');

  std::vector<std::unique_ptr<QLocalSocket>> silent;
  for (int i = 0; i < 40; ++i) {
    QCoreApplication::processEvents();  // the first takes the connections as they come
    silent.push_back(std::make_unique<QLocalSocket>());
    silent.back()->connectToServer(first.SocketPath());
    ASSERT_TRUE(silent.back()->waitForConnected(5000));
  }
  QSignalSpy woken(&first, &SingleInstance::wakeRequested);
  SingleInstance second(runtime.path());
  EXPECT_EQ(second.Start(), Role::kSecond);
  ASSERT_TRUE(woken.wait(10000));
}

TEST_F(SingleInstanceTest, LockAndSocketLeftByACrashedStartAreTakenOver) {
  QProcess crashed;
  crashed.start(QStringLiteral(KORVA_SINGLE_INSTANCE_CRASH), {runtime.path()});
  ASSERT_TRUE(crashed.waitForFinished(30000));
  ASSERT_EQ(crashed.exitCode(), 0) << crashed.readAllStandardError().toStdString();
  ASSERT_TRUE(QFile::exists(runtime.path() + "/VANTORDRVER.lock")) << "the crash must leave its lock behind";
  ASSERT_TRUE(QFile::exists(runtime.path() + "/VANTORDRVER.socket"));

  SingleInstance next(runtime.path());
  EXPECT_EQ(next.Start(), Role::kFirst);
  EXPECT_TRUE(next.IsListening());

  QSignalSpy woken(&next, &SingleInstance::wakeRequested);
  SingleInstance second(runtime.path());
  EXPECT_EQ(second.Start(), Role::kSecond);
  EXPECT_TRUE(woken.wait(10000));
}

TEST_F(SingleInstanceTest, AnUnusableRuntimeFolderStillLetsTheProgramRun) {
  QFile blocker(runtime.path() + "/not-a-folder");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  SingleInstance instance(blocker.fileName());
  EXPECT_EQ(instance.Start(), Role::kFirst);
}

}  // namespace
}  // namespace korva::platform
