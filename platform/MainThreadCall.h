// Worker threads whose steps run on the thread that created them, and a join that keeps
// serving those steps.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace platform {

// A worker that hands steps to its creating (window) thread and waits for each. The hand-over
// is a plain posted event plus a mutex and condition variable of our own, rather than a
// blocking queued call of a functor: the step's data then passes only through
// synchronisation that ThreadSanitizer can see.
class TStepThread : public QThread {
 public:
  // After wait() has returned: takes the hand-over lock once more, so that the worker's last
  // use of it visibly happens before the object is destroyed.
  void SettleAfterJoin() { std::lock_guard<std::mutex> lock(mutex_); }

 protected:
  // Called from run(). On the creating thread itself the step runs at once.
  void RunOnOwnerThread(const std::function<void()>& step) {
    if (QThread::currentThread() == thread()) {
      step();
      return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    pending_ = &step;
    stepEvent_ = new QEvent(StepEvent());  // owned by Qt's event queue once posted
    QCoreApplication::postEvent(this, stepEvent_);
    stepDone_.wait(lock, [this] { return pending_ == nullptr; });
  }

  bool event(QEvent* event) override {
    // Recognised by address under the lock: the event's own fields were written by the worker.
    std::unique_lock<std::mutex> lock(mutex_);
    if (event != stepEvent_) {
      lock.unlock();
      return QThread::event(event);
    }
    stepEvent_ = nullptr;
    const std::function<void()>* step = pending_;
    lock.unlock();
    try {
      if (step != nullptr) (*step)();
    } catch (...) {
      // A failing step must not leave the worker waiting for ever.
    }
    lock.lock();
    pending_ = nullptr;
    stepDone_.notify_all();
    return true;
  }

 private:
  static QEvent::Type StepEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }

  std::mutex mutex_;
  std::condition_variable stepDone_;
  const std::function<void()>* pending_ = nullptr;
  QEvent* stepEvent_ = nullptr;
};

// Asks the worker to stop and waits for it on the thread that owns it. The worker's steps wait
// for that thread, so its events keep being served meanwhile; a plain wait() would deadlock.
inline void StopAndJoin(TStepThread* worker) {
  if (worker == nullptr) return;
  worker->requestInterruption();
  while (!worker->wait(5)) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  worker->SettleAfterJoin();
}

}  // namespace platform
