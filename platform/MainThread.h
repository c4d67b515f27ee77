#pragma once
// Running work on the GUI thread from any thread.

#include <functional>

namespace MainThread {

// True on the thread that owns the application object (or when there is none).
bool isMainThread();

// Runs `fn` on the GUI thread and returns when it has finished: a direct call when
// already on the GUI thread (or when no application object exists), otherwise a
// queued call that the GUI thread runs from its event loop (also from a nested one,
// such as a modal window's) while the calling thread waits. Exceptions thrown by `fn`
// are carried back and rethrown in the caller. If the application object is
// destroyed before the call ran, the caller gets a std::runtime_error.
//
// The calling thread waits without a time limit, so the GUI thread must never wait
// for that thread in turn (for example with QThread::wait) while it may be calling.
void runAndWait(const std::function<void()> &fn);

}  // namespace MainThread
