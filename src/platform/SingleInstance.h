#pragma once
// One running program per user. The first start holds a lock file "VANTORDRVER.lock" in the
// user's runtime folder and listens on the local socket "VANTORDRVER.socket" beside it. A later
// start finds the lock held, sends the wake-up message "QUENTAVI_001" to that socket and is told
// to exit (with 0); the first start then emits wakeRequested() and shows its window.
//
// Other programs of the user (korvactl) may send a request line on the same socket: a line that
// begins with the prefix set by SetRequestHandler goes to the handler, whose answer line is sent
// back before the connection is closed.
//
// A lock left behind by a crashed start is recognised by its process id and taken over, and so
// is the socket file it left. A lock that cannot be created at all (no runtime folder, no
// permission) counts as a first start, so the program still runs.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <list>
#include <memory>
#include <optional>

#include "common/FileDescriptor.h"
#include "common/InstanceName.h"

class QLockFile;

namespace korva::platform {

using korva::kSingleInstanceName;
inline constexpr const char* kWakeUpMessage = "QUENTAVI_001";

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Role {
    kFirst,   // this process runs the program
    kSecond,  // another process runs it and was woken up: exit with 0
  };

  // `runtimeDir` empty: the user's runtime folder ($XDG_RUNTIME_DIR).
  explicit SingleInstance(QString runtimeDir = {}, QString name = QString::fromLatin1(kSingleInstanceName),
                          QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes the lock or wakes the holder. Call once, on the thread that runs the event loop.
  Role Start();
  bool IsListening() const;
  QString LockFilePath() const;
  QString SocketPath() const;

  // Takes the request lines beginning with `prefix` (at most `maxBytes` each, prefix included; a
  // longer one reaches the handler cut after maxBytes + 1 bytes, so that it can refuse it). The
  // handler runs on this object's thread and returns the answer without its line break. An empty
  // handler: request lines are ignored, as unknown messages are.
  using RequestHandler = std::function<QByteArray(const QByteArray& line)>;
  void SetRequestHandler(QByteArray prefix, qsizetype maxBytes, RequestHandler handler);

 signals:
  // A later start asked this one to show itself.
  void wakeRequested();

 private:
  struct Peer;

  bool Listen();
  void AcceptConnections();
  void ReadFrom(Peer& peer);
  void Answer(Peer& peer, const QByteArray& line);
  void SendAnswer(Peer& peer);
  void Drop(Peer& peer);
  bool SendWakeUp() const;
  // Whether `bytes` are (the beginning of) a request line.
  bool IsRequest(const QByteArray& bytes) const;

  QString runtimeDir_;
  QString name_;
  std::unique_ptr<QLockFile> lock_;
  std::optional<FileDescriptor> listener_;
  std::list<std::unique_ptr<Peer>> peers_;
  QByteArray requestPrefix_;
  qsizetype requestMaxBytes_ = 0;
  RequestHandler requestHandler_;
};

}  // namespace korva::platform
