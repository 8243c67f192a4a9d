#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include "platform/PlatformLog.h"

namespace korva::platform {
namespace {

// The wake-up is one line; a peer that sends more than this without a line break is not ours.
constexpr qsizetype kMaxWakeUpBytes = 64;
// A first start holds the lock a moment before it listens: a later start keeps trying this long.
constexpr int kConnectPatienceMs = 3000;
constexpr int kConnectAttemptMs = 250;
constexpr int kWriteTimeoutMs = 1000;

}  // namespace

SingleInstance::SingleInstance(QString runtimeDir, QString name, QObject* parent)
    : QObject(parent), runtimeDir_(std::move(runtimeDir)), name_(std::move(name)) {
  if (runtimeDir_.isEmpty()) runtimeDir_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();  // removes the socket file before the lock goes
}

QString SingleInstance::LockFilePath() const {
  return QDir(runtimeDir_).filePath(name_ + QStringLiteral(".lock"));
}

QString SingleInstance::SocketPath() const {
  return QDir(runtimeDir_).filePath(name_ + QStringLiteral(".socket"));
}

bool SingleInstance::IsListening() const {
  return server_ && server_->isListening();
}

SingleInstance::Role SingleInstance::Start() {
  QDir().mkpath(runtimeDir_);
  lock_ = std::make_unique<QLockFile>(LockFilePath());
  // The lock is held for the whole life of the program: it must never turn stale by age (the
  // default would hand it to a second start after 30 s). A crashed holder is still detected by
  // its process id.
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) {
    Listen();
    return Role::kFirst;
  }
  if (lock_->error() != QLockFile::LockFailedError) {
    qCWarning(lcPlatform).noquote() << "Cannot create the single-instance lock" << LockFilePath()
                                    << "- running without one";
    return Role::kFirst;
  }
  if (!SendWakeUp()) {
    qCWarning(lcPlatform) << "Another instance holds the lock but did not take the wake-up message";
  }
  return Role::kSecond;
}

bool SingleInstance::Listen() {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // We hold the lock, so a socket file already there was left by a crashed start.
  QLocalServer::removeServer(SocketPath());
  if (!server_->listen(SocketPath())) {
    qCWarning(lcPlatform).noquote() << "Cannot listen for wake-up messages on" << SocketPath() << ":"
                                    << server_->errorString();
    return false;
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::AcceptConnections);
  return true;
}

void SingleInstance::AcceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      QByteArray pending = socket->property("pending").toByteArray() + socket->readAll();
      qsizetype end = 0;
      while ((end = pending.indexOf('\n')) >= 0) {
        const QByteArray line = pending.left(end);
        pending.remove(0, end + 1);
        if (line == kWakeUpMessage) {
          emit wakeRequested();
        } else if (IsRequest(line)) {
          Answer(socket, line);  // one request a connection
          return;
        } else {
          qCInfo(lcPlatform) << "Ignored an unknown single-instance message of" << line.size() << "bytes";
        }
      }
      const bool request = IsRequest(pending);
      if (pending.size() > (request ? requestMaxBytes_ : kMaxWakeUpBytes)) {
        if (request)
          Answer(socket, pending.left(requestMaxBytes_ + 1));
        else
          socket->abort();
        return;
      }
      socket->setProperty("pending", pending);
    });
  }
}

void SingleInstance::SetRequestHandler(QByteArray prefix, qsizetype maxBytes, RequestHandler handler) {
  requestPrefix_ = std::move(prefix);
  requestMaxBytes_ = maxBytes;
  requestHandler_ = std::move(handler);
}

bool SingleInstance::IsRequest(const QByteArray& bytes) const {
  if (!requestHandler_ || requestPrefix_.isEmpty() || bytes.isEmpty()) return false;
  return bytes.startsWith(requestPrefix_) || requestPrefix_.startsWith(bytes);
}

void SingleInstance::Answer(QLocalSocket* socket, const QByteArray& line) {
  // Whatever the peer sends after its request is not read.
  disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
  socket->write(requestHandler_(line) + '\n');
  socket->disconnectFromServer();  // after the answer is written
}

bool SingleInstance::SendWakeUp() const {
  const QDeadlineTimer patience(kConnectPatienceMs);
  QLocalSocket socket;
  while (true) {
    socket.connectToServer(SocketPath(), QIODevice::WriteOnly);
    if (socket.waitForConnected(kConnectAttemptMs)) break;
    if (patience.hasExpired()) return false;
    QThread::msleep(50);
  }
  socket.write(QByteArray(kWakeUpMessage) + '\n');
  const bool written = socket.waitForBytesWritten(kWriteTimeoutMs) || socket.bytesToWrite() == 0;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kWriteTimeoutMs);
  return written;
}

}  // namespace korva::platform
