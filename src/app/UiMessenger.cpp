#include "app/UiMessenger.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>

#include "common/Log.h"

namespace korva::app {

struct UiMessenger::Call {
  std::function<qint64()> work;
  bool started = false;
  bool done = false;
  bool cancelled = false;
  qint64 result = 0;
};

UiMessenger::UiMessenger(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), uiThread_(std::this_thread::get_id()) {
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    // Without it nothing queued could ever run: refuse everything rather than wait forever.
    Trace("UiMessenger: no eventfd, messages to the UI thread are dropped");
    closed_ = true;
    return;
  }
  wakeNotifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, this);
  connect(wakeNotifier_, &QSocketNotifier::activated, this, &UiMessenger::RunQueued);
}

UiMessenger::~UiMessenger() {
  Close();
  delete wakeNotifier_;
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool UiMessenger::OnUiThread() const {
  return std::this_thread::get_id() == uiThread_;
}

bool UiMessenger::IsClosed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void UiMessenger::Close() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(queue_);
    for (const auto& call : waiting_)
      if (!call->done) call->cancelled = true;
    done_.notify_all();
  }
  // `dropped` goes here, outside the lock: a call's captures may be anything.
}

void UiMessenger::Queue(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    queue_.push_back(std::move(work));
  }
  const eventfd_t one = 1;
  if (::write(wakeFd_, &one, sizeof one) != sizeof one) Trace("UiMessenger: cannot wake the UI thread");
}

void UiMessenger::RunQueued() {
  eventfd_t count = 0;
  if (::read(wakeFd_, &count, sizeof count) < 0) {
    // Nothing to reset (a wake-up already taken): run what is there all the same.
  }
  // One call at a time, each taken under the lock: a call may queue more, or close the messenger.
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard lock(mutex_);
      if (closed_ || queue_.empty()) return;
      work = std::move(queue_.front());
      queue_.pop_front();
    }
    work();
  }
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
  Queue([this, call] {
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
  });

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
