#pragma once
// UiMessenger: how worker threads reach the UI thread, which owns the device images, the page
// state and the controls.
//
//  - Post: a queued call. It runs later on the UI thread, after everything queued before it.
//  - Send: a blocking queued call. The caller waits until the UI thread has run it and gets its
//    result. Called on the UI thread itself it runs at once (waiting for itself would never end).
//
// Shutdown: the UI thread closes the messenger before it stops the worker threads and waits for
// them. From then on nothing queued runs any more, Post drops its call, and Send returns nullopt
// at once -- also a Send that is already waiting. So a worker blocked in Send while the UI thread
// shuts down is released and sees its stop request, instead of both threads waiting for each
// other forever.
//
// The messenger must be created on the UI thread and outlive every thread that uses it.
//
// Calls wait in the messenger's own queue; an eventfd wakes the UI thread's event loop (through a
// QSocketNotifier) to run them. So a worker touches no Qt object at all -- only the queue, under a
// std::mutex, and the eventfd -- which keeps the hand-over plain to ThreadSanitizer, which cannot
// see inside Qt's own cross-thread event posting.

#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

#include "app/WindowMessage.h"

class QSocketNotifier;

namespace korva::app {

class UiMessenger : public QObject {
  Q_OBJECT

 public:
  // Runs every message on the UI thread; its result is what Send returns.
  using Handler = std::function<qint64(WindowMessage message, qint64 wParam, qint64 lParam)>;

  explicit UiMessenger(Handler handler, QObject* parent = nullptr);
  ~UiMessenger() override;
  UiMessenger(const UiMessenger&) = delete;
  UiMessenger& operator=(const UiMessenger&) = delete;

  // Any thread.
  void Post(WindowMessage message, qint64 wParam = 0, qint64 lParam = 0);
  void PostTask(std::function<void()> task);
  // Any thread. nullopt: the messenger was closed, or `stop` was requested, before the UI thread
  // began the call; it did not run and will not. (A call begun is waited for after a stop.)
  std::optional<qint64> Send(WindowMessage message, qint64 wParam = 0, qint64 lParam = 0,
                             std::stop_token stop = {});
  bool SendTask(std::function<void()> task);

  // Any thread, more than once. See the shutdown note above.
  void Close();
  bool IsClosed() const;
  bool OnUiThread() const;

 private:
  struct Call;
  std::optional<qint64> Run(std::function<qint64()> work, std::stop_token stop);
  void Queue(std::function<void()> work);
  void RunQueued();  // UI thread, when the eventfd is readable

  Handler handler_;
  const std::thread::id uiThread_;
  int wakeFd_ = -1;  // eventfd: a worker's write wakes the UI thread
  QSocketNotifier* wakeNotifier_ = nullptr;
  mutable std::mutex mutex_;  // guards closed_, queue_ and the state of every waiting call
  std::condition_variable_any done_;
  bool closed_ = false;
  std::deque<std::function<void()>> queue_;     // calls for the UI thread, in order
  std::vector<std::shared_ptr<Call>> waiting_;  // Sends whose callers wait
};

}  // namespace korva::app
