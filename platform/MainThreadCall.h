// Worker threads whose steps run on the thread that created them, and a join that keeps
// serving those steps.
//
// Debian's Qt is not built for ThreadSanitizer, so its queued calls, its thread join and its
// event queue are invisible to it. The hand-overs below therefore pass only through a mutex
// and condition variable of our own, which it can see; the data then needs no other fence.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

// Runs steps on the thread it lives on (the one that created it) and waits for each. The
// request is a plain posted event, recognised by address under our lock, rather than a
// blocking queued call of a functor, whose fields would be written by one thread and read by
// another with only Qt's own locks in between. The event itself is made on the owner thread
// too, since application event filters read it there before we see it.
class TOwnerThreadCall : public QObject {
 public:
  explicit TOwnerThreadCall(QObject* parent = nullptr)
      : QObject(parent), nextEvent_(std::make_unique<QEvent>(StepEvent())) {}

  // From any thread. On the owner thread itself the step runs at once; elsewhere the call
  // returns once the owner thread has run it, which needs that thread to serve its events.
  void Run(const std::function<void()>& step) {
    if (QThread::currentThread() == thread()) {
      step();
      return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    // Steps from several threads take turns: there is one slot for the pending step.
    changed_.wait(lock, [this] { return pending_ == nullptr; });
    pending_ = &step;
    stepEvent_ = nextEvent_.release();  // owned by Qt's event queue once posted
    QCoreApplication::postEvent(this, stepEvent_);
    changed_.wait(lock, [this, &step] { return pending_ != &step; });
  }

 protected:
  bool event(QEvent* event) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (event != stepEvent_) {
      lock.unlock();
      return QObject::event(event);
    }
    stepEvent_ = nullptr;
    const std::function<void()>* step = pending_;
    lock.unlock();
    try {
      (*step)();
    } catch (...) {
      // A failing step must not leave the worker waiting for ever.
    }
    lock.lock();
    pending_ = nullptr;
    nextEvent_ = std::make_unique<QEvent>(StepEvent());
    changed_.notify_all();  // wakes the caller of this step and those waiting for the slot
    return true;
  }

 private:
  static QEvent::Type StepEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* pending_ = nullptr;
  QEvent* stepEvent_ = nullptr;        // posted and not yet delivered
  std::unique_ptr<QEvent> nextEvent_;  // made here, posted by the next caller
};

// A thread whose body is Work(). Its end is marked under a lock of our own, and Join() takes
// that lock after the wait, so everything the body did visibly happens before whatever
// follows the join (reading its results, destroying what it used).
class TWorkerThread : public QThread {
 public:
  using QThread::QThread;

  // Waits for the thread; false when the deadline passed first.
  bool Join(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever)) {
    if (!wait(deadline)) return false;
    std::lock_guard<std::mutex> lock(endMutex_);
    return true;
  }

 protected:
  virtual void Work() = 0;

 private:
  void run() final {
    struct EndMark {
      std::mutex& mutex;
      ~EndMark() { std::lock_guard<std::mutex> lock(mutex); }
    } endMark{endMutex_};
    Work();
  }

  std::mutex endMutex_;
};

// A worker that hands steps to its creating (window) thread and waits for each.
class TStepThread : public TWorkerThread {
 protected:
  // Called from Work(). On the creating thread itself the step runs at once.
  void RunOnOwnerThread(const std::function<void()>& step) { ownerCall_.Run(step); }

 private:
  TOwnerThreadCall ownerCall_;  // lives on the creating thread
};

// Asks the worker to stop and waits for it on the thread that owns it. The worker's steps wait
// for that thread, so its events keep being served meanwhile; a plain wait() would deadlock.
inline void StopAndJoin(TWorkerThread* worker) {
  if (worker == nullptr) return;
  worker->requestInterruption();
  while (!worker->Join(QDeadlineTimer(5))) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace platform
