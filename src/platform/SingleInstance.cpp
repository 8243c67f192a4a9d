#include "platform/SingleInstance.h"

#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>

#include "common/LocalSocket.h"
#include "platform/PlatformLog.h"

namespace korva::platform {
namespace {

// The wake-up is one line; a peer that sends more than this without a line break is not ours.
constexpr qsizetype kMaxWakeUpBytes = 64;
// A first start holds the lock a moment before it listens: a later start keeps trying this long.
constexpr int kConnectPatienceMs = 3000;
constexpr int kConnectRetryMs = 50;
// Connections open at once. Only the user's own programs connect, each sending one line; one
// that holds connections open without sending cannot lock the others out: a new connection
// beyond these closes the oldest.
constexpr std::size_t kMaxPeers = 16;

}  // namespace

// One connection: what came without its line break yet, and an answer still being sent.
struct SingleInstance::Peer {
  explicit Peer(int descriptor) : fd(descriptor) {}
  FileDescriptor fd;
  std::unique_ptr<QSocketNotifier> readable;
  std::unique_ptr<QSocketNotifier> writable;
  QByteArray pending;
  QByteArray answer;
  qsizetype answerSent = 0;
};

namespace {

// Stops a notifier that may be the one calling now; it goes when control is back in the event loop.
void Retire(std::unique_ptr<QSocketNotifier>& notifier) {
  if (!notifier) return;
  notifier->setEnabled(false);
  notifier.release()->deleteLater();
}

}  // namespace

SingleInstance::SingleInstance(QString runtimeDir, QString name, QObject* parent)
    : QObject(parent), runtimeDir_(std::move(runtimeDir)), name_(std::move(name)) {
  if (runtimeDir_.isEmpty()) runtimeDir_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstance::~SingleInstance() {
  peers_.clear();
  if (listener_) QFile::remove(SocketPath());  // before the lock goes
}

QString SingleInstance::LockFilePath() const {
  return QDir(runtimeDir_).filePath(name_ + QStringLiteral(".lock"));
}

QString SingleInstance::SocketPath() const {
  return QDir(runtimeDir_).filePath(name_ + QStringLiteral(".socket"));
}

bool SingleInstance::IsListening() const {
  return listener_.has_value();
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
  // We hold the lock, so a socket file already there was left by a crashed start.
  std::string error;
  const int fd = ListenLocalSocket(QFile::encodeName(SocketPath()).toStdString(), &error);
  if (fd < 0) {
    qCWarning(lcPlatform).noquote() << "Cannot listen for wake-up messages on" << SocketPath() << ":"
                                    << QString::fromStdString(error);
    return false;
  }
  listener_.emplace(fd);
  auto* accepting = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(accepting, &QSocketNotifier::activated, this, &SingleInstance::AcceptConnections);
  return true;
}

void SingleInstance::AcceptConnections() {
  while (true) {
    const int fd = ::accept4(listener_->get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return;  // none left (EAGAIN), or the peer gave up before it was taken
    }
    if (peers_.size() >= kMaxPeers) {
      qCInfo(lcPlatform) << "Closed the oldest single-instance connection: too many open";
      Drop(*peers_.front());
    }
    Peer& peer = *peers_.emplace_back(std::make_unique<Peer>(fd));
    peer.readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(peer.readable.get(), &QSocketNotifier::activated, this, [this, &peer] { ReadFrom(peer); });
  }
}

void SingleInstance::ReadFrom(Peer& peer) {
  char buffer[4096];
  while (true) {
    const ssize_t got = ::recv(peer.fd.get(), buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (got <= 0) {  // closed by the peer, or broken
      Drop(peer);
      return;
    }
    peer.pending.append(buffer, got);
    qsizetype end = 0;
    while ((end = peer.pending.indexOf('\n')) >= 0) {
      const QByteArray line = peer.pending.left(end);
      peer.pending.remove(0, end + 1);
      if (line == kWakeUpMessage) {
        emit wakeRequested();
      } else if (IsRequest(line)) {
        Answer(peer, line);  // one request a connection
        return;
      } else {
        qCInfo(lcPlatform) << "Ignored an unknown single-instance message of" << line.size() << "bytes";
      }
    }
    const bool request = IsRequest(peer.pending);
    if (peer.pending.size() > (request ? requestMaxBytes_ : kMaxWakeUpBytes)) {
      if (request) {
        Answer(peer, peer.pending.left(requestMaxBytes_ + 1));
      } else {
        Drop(peer);
      }
      return;
    }
  }
}

void SingleInstance::Answer(Peer& peer, const QByteArray& line) {
  // Whatever the peer sends after its request is not read.
  Retire(peer.readable);
  peer.answer = requestHandler_(line) + '\n';
  SendAnswer(peer);
}

void SingleInstance::SendAnswer(Peer& peer) {
  while (peer.answerSent < peer.answer.size()) {
    const ssize_t sent = ::send(peer.fd.get(), peer.answer.constData() + peer.answerSent,
                                peer.answer.size() - peer.answerSent, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // The peer reads slowly: the rest goes when it has room.
      if (!peer.writable) {
        peer.writable = std::make_unique<QSocketNotifier>(peer.fd.get(), QSocketNotifier::Write);
        connect(peer.writable.get(), &QSocketNotifier::activated, this, [this, &peer] { SendAnswer(peer); });
      }
      return;
    }
    if (sent <= 0) break;  // the peer went away
    peer.answerSent += sent;
  }
  Drop(peer);  // after the answer is written
}

void SingleInstance::Drop(Peer& peer) {
  Retire(peer.readable);
  Retire(peer.writable);
  peers_.remove_if([&peer](const std::unique_ptr<Peer>& p) { return p.get() == &peer; });
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

bool SingleInstance::SendWakeUp() const {
  const QDeadlineTimer patience(kConnectPatienceMs);
  const std::string path = QFile::encodeName(SocketPath()).toStdString();
  while (true) {
    const FileDescriptor socket(ConnectLocalSocket(path));
    if (socket.valid()) return SendAll(socket.get(), std::string(kWakeUpMessage) + '\n');
    if (patience.hasExpired()) return false;
    QThread::msleep(kConnectRetryMs);
  }
}

}  // namespace korva::platform
