#include "app/UiMessenger.h"

#include <QThread>
#include <algorithm>

namespace korva::app {

struct UiMessenger::Call {
  std::function<qint64()> work;
  bool started = false;
  bool done = false;
  bool cancelled = false;
  qint64 result = 0;
};

UiMessenger::UiMessenger(Handler handler, QObject* parent) : QObject(parent), handler_(std::move(handler)) {}

UiMessenger::~UiMessenger() {
  Close();
}

bool UiMessenger::OnUiThread() const {
  return QThread::currentThread() == thread();
}

bool UiMessenger::IsClosed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void UiMessenger::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  for (const auto& call : waiting_)
    if (!call->done) call->cancelled = true;
  done_.notify_all();
}

void UiMessenger::Queue(std::function<void()> work) {
  // The messenger is the context object: should it be destroyed first, Qt drops the call.
  QMetaObject::invokeMethod(
      this,
      [this, work = std::move(work)] {
        if (IsClosed()) return;
        work();
      },
      Qt::QueuedConnection);
}

void UiMessenger::Post(WindowMessage message, qint64 wParam, qint64 lParam) {
  if (IsClosed()) return;
  Queue([this, message, wParam, lParam] { handler_(message, wParam, lParam); });
}

void UiMessenger::PostTask(std::function<void()> task) {
  if (IsClosed() || !task) return;
  Queue(std::move(task));
}

std::optional<qint64> UiMessenger::Send(WindowMessage message, qint64 wParam, qint64 lParam,
                                        std::stop_token stop) {
  return Run([this, message, wParam, lParam] { return handler_(message, wParam, lParam); }, std::move(stop));
}

bool UiMessenger::SendTask(std::function<void()> task) {
  if (!task) return false;
  return Run(
             [task = std::move(task)] {
               task();
               return qint64{1};
             },
             {})
      .has_value();
}

std::optional<qint64> UiMessenger::Run(std::function<qint64()> work, std::stop_token stop) {
  if (OnUiThread()) {
    if (IsClosed() || stop.stop_requested()) return std::nullopt;
    return work();
  }
  auto call = std::make_shared<Call>();
  call->work = std::move(work);
  {
    std::lock_guard lock(mutex_);
    if (closed_) return std::nullopt;
    waiting_.push_back(call);
  }
  QMetaObject::invokeMethod(
      this,
      [this, call] {
        {
          std::lock_guard lock(mutex_);
          if (call->cancelled) return;
          call->started = true;
        }
        // Without the lock: the work may Send, Post or Close itself.
        const qint64 result = call->work();
        std::lock_guard lock(mutex_);
        call->result = result;
        call->done = true;
        done_.notify_all();
      },
      Qt::QueuedConnection);

  std::unique_lock lock(mutex_);
  auto finished = [&] { return call->done || call->cancelled; };
  done_.wait(lock, stop, finished);
  if (!finished()) {
    // Stopped. A call the UI thread has begun is waited for (the UI thread is not waiting for us
    // meanwhile: it is running the call); one it has not begun is given up and will not run.
    if (call->started)
      done_.wait(lock, finished);
    else
      call->cancelled = true;
  }
  waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), call), waiting_.end());
  if (!call->done) return std::nullopt;
  return call->result;
}

}  // namespace korva::app
