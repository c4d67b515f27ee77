#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace MainThread {

namespace {

// One call handed to the GUI thread. The caller waits on it with a standard mutex
// and condition variable rather than through Qt's blocking queued connection: the
// hand-over is then visible to ThreadSanitizer, and a call that never runs can wake
// its caller.
struct Call {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  bool ran = false;
  std::exception_ptr failure;

  void finish(bool hasRun, std::exception_ptr thrown) {
    {
      std::lock_guard lock(mutex);
      if (finished)
        return;
      finished = true;
      ran = hasRun;
      failure = std::move(thrown);
    }
    done.notify_all();
  }
};

// Held only by the queued call. When Qt destroys the call without running it (the
// application object went away with the call still queued) this wakes the caller.
struct Ticket {
  explicit Ticket(std::shared_ptr<Call> c) : call(std::move(c)) {}
  Ticket(const Ticket &) = delete;
  Ticket &operator=(const Ticket &) = delete;
  ~Ticket() { call->finish(false, nullptr); }
  const std::shared_ptr<Call> call;
};

std::mutex &handOverMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

bool isMainThread() {
  QCoreApplication *app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

void runAndWait(const std::function<void()> &fn) {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) {
    fn();
    return;
  }

  auto call = std::make_shared<Call>();
  auto ticket = std::make_shared<Ticket>(call);
  // The application object lives on the GUI thread, so a queued call to it runs
  // there, also from a nested event loop such as a modal window's. Exceptions must
  // not cross the event loop: they are caught there and thrown again here.
  //
  // Qt guards its event queue with a lock of its own, which ThreadSanitizer cannot
  // see in a Qt built without it. The hand-over lock, held while posting and taken
  // again on the GUI thread before the call touches anything, makes the hand-over
  // visible to it; nobody waits for anything while holding it.
  std::unique_lock postingLock(handOverMutex());
  QMetaObject::invokeMethod(
      app,
      [ticket, &fn] {
        { std::lock_guard handedOver(handOverMutex()); }
        std::exception_ptr thrown;
        try {
          fn();
        } catch (...) {
          thrown = std::current_exception();
        }
        ticket->call->finish(true, std::move(thrown));
      },
      Qt::QueuedConnection);
  ticket.reset();
  postingLock.unlock();

  bool ran = false;
  std::exception_ptr failure;
  {
    std::unique_lock lock(call->mutex);
    call->done.wait(lock, [&] { return call->finished; });
    ran = call->ran;
    failure = std::move(call->failure);  // this thread alone owns the exception now
  }
  if (!ran)
    throw std::runtime_error("The program's main thread ended before it could run the call.");
  if (failure)
    std::rethrow_exception(failure);
}

}  // namespace MainThread
