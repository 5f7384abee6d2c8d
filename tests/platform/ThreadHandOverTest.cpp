#include <gtest/gtest.h>

#include <QCoreApplication>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/MainThreadCall.h"

namespace platform {
namespace {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "platform_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

class LambdaWorker : public TWorkerThread {
 public:
  explicit LambdaWorker(std::function<void()> body) : body_(std::move(body)) {}
  ~LambdaWorker() override { Join(); }

 protected:
  void Work() override { body_(); }

 private:
  std::function<void()> body_;
};

// Looks at every event of the application, as an open dialog's filter does.
class EventWatcher : public QObject {
 public:
  int seen = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::None) ++seen;
    return QObject::eventFilter(watched, event);
  }
};

void JoinServingEvents(TWorkerThread& worker) {
  while (!worker.Join(QDeadlineTimer(5))) QCoreApplication::processEvents();
}

TEST(ThreadHandOver, StepsOfSeveralWorkersRunOnTheOwnerThreadOneAtATime) {
  App();
  EventWatcher watcher;
  QCoreApplication::instance()->installEventFilter(&watcher);
  TOwnerThreadCall call;
  constexpr int kWorkers = 4;
  constexpr int kSteps = 50;
  // Touched by the steps only, so without locks: the hand-over must order them.
  int stepsRun = 0;
  int stepsOnOtherThreads = 0;
  bool inStep = false;
  int overlaps = 0;
  std::vector<int> seenByWorker(kWorkers, -1);

  std::vector<std::unique_ptr<LambdaWorker>> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.push_back(std::make_unique<LambdaWorker>([&, w] {
      int last = 0;
      for (int i = 0; i < kSteps; ++i) {
        call.Run([&] {
          if (QThread::currentThread() != call.thread()) ++stepsOnOtherThreads;
          if (inStep) ++overlaps;
          inStep = true;
          last = ++stepsRun;
          inStep = false;
        });
        if (i == 3) {
          // A failing step still returns to its worker.
          call.Run([] { throw std::runtime_error("step failed"); });
        }
      }
      seenByWorker[w] = last;  // read by the test after the join only
    }));
  }
  for (auto& worker : workers) worker->start();
  for (auto& worker : workers) JoinServingEvents(*worker);

  QCoreApplication::instance()->removeEventFilter(&watcher);
  EXPECT_GE(watcher.seen, kWorkers * kSteps);
  EXPECT_EQ(stepsRun, kWorkers * kSteps);
  EXPECT_EQ(stepsOnOtherThreads, 0);
  EXPECT_EQ(overlaps, 0);
  for (int seen : seenByWorker) {
    EXPECT_GE(seen, kSteps);
    EXPECT_LE(seen, kWorkers * kSteps);
  }
}

TEST(ThreadHandOver, AStepOnTheOwnerThreadRunsAtOnceAndStopAndJoinEndsAWaitingWorker) {
  App();
  TOwnerThreadCall call;
  bool ran = false;
  call.Run([&] { ran = true; });  // no event loop is needed for this
  EXPECT_TRUE(ran);

  // The worker waits in a step when the stop comes; the join keeps serving it.
  int steps = 0;
  LambdaWorker worker([&] {
    while (!worker.isInterruptionRequested()) call.Run([&] { ++steps; });
  });
  worker.start();
  while (true) {
    QCoreApplication::processEvents();
    if (steps >= 10) break;
  }
  StopAndJoin(&worker);
  EXPECT_TRUE(worker.isFinished());
}

}  // namespace
}  // namespace platform
