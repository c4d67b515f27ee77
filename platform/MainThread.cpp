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
  // Workers post one at a time. Qt guards its event queue itself, but with a lock
  // that ThreadSanitizer cannot see in a Qt built without it; this lock it can see.
  static std::mutex posting;
  std::unique_lock postingLock(posting);
  QMetaObject::invokeMethod(
      app,
      [ticket, &fn] {
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

  std::unique_lock lock(call->mutex);
  call->done.wait(lock, [&] { return call->finished; });
  if (!call->ran)
    throw std::runtime_error("The program's main thread ended before it could run the call.");
  if (call->failure)
    std::rethrow_exception(call->failure);
}

}  // namespace MainThread
