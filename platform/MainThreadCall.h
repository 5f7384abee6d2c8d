// Runs a worker's step on the thread that owns a window and waits for it.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <utility>

namespace platform {

// From the owner's own thread the step runs at once; from any other thread the caller blocks
// until the owner's event loop has run it.
template <typename Step>
void RunOnOwnerThread(QObject* owner, Step&& step) {
  if (QThread::currentThread() == owner->thread()) {
    std::forward<Step>(step)();
    return;
  }
  QMetaObject::invokeMethod(owner, std::forward<Step>(step), Qt::BlockingQueuedConnection);
}

// Asks the worker to stop and waits for it on the owner's thread. The worker's steps block on
// that thread, so its events keep being served meanwhile; a plain wait() would deadlock.
inline void StopAndJoin(QThread* worker) {
  if (worker == nullptr) return;
  worker->requestInterruption();
  while (!worker->wait(5)) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace platform
