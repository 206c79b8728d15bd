// The recording threads start once, stop cooperatively and leave no lock held.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "core/app_data.h"
#include "rec_test_support.h"
#include "records/recording/rec_file_manager.h"
#include "records/recording/rec_scheme_manager.h"

namespace {

// Counts its cycles; with `holdLock` a cycle holds g_csAppData until a stop is
// requested, as a long deletion pass would.
class CountingWorker : public CRecWorker {
 public:
  CountingWorker(int periodMs, bool holdLock)
      : CRecWorker(periodMs, "CountingWorker: start", "CountingWorker: exit", "CountingWorker: still busy"),
        holdLock_(holdLock) {}
  ~CountingWorker() override { StopThread(); }
  std::atomic<int> cycles{0};
  std::atomic<bool> inCycle{false};

 protected:
  void Cycle() override {
    ++cycles;
    if (!holdLock_) return;
    CsLock lock(&g_csAppData);
    inCycle = true;
    while (!StopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

 private:
  bool holdLock_;
};

bool LockIsFree() {
  bool free = false;
  std::thread other([&] {
    free = g_csAppData.mutex.try_lock();
    if (free) g_csAppData.mutex.unlock();
  });
  other.join();
  return free;
}

}  // namespace

TEST(RecWorker, StartsOnceRefusesSecondStartAndStartsAgainAfterStop) {
  RecListsFixture lists;
  FakeRecEnvironment env;
  FakeRecStreams streams;
  CRecSchemeManager scheme(nullptr, &env, &streams);
  CRecFileManager files(nullptr, &env);
  for (CRecWorker* worker : std::initializer_list<CRecWorker*>{&scheme, &files}) {
    worker->StopThread();  // nothing runs yet
    EXPECT_EQ(worker->StartThread(), 0);
    EXPECT_EQ(worker->StartThread(), -1);
    EXPECT_TRUE(worker->IsRunning());
    worker->StopThread();
    EXPECT_FALSE(worker->IsRunning());
    EXPECT_EQ(worker->StartThread(), 0);
  }  // the destructors stop the restarted threads
}

TEST(RecWorker, StopEndsTheThreadBeforeReturning) {
  CountingWorker worker(100, false);
  ASSERT_EQ(worker.StartThread(), 0);
  while (worker.cycles < 2) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  worker.StopThread();
  const int after = worker.cycles;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(worker.cycles, after);
}

// A thread asleep for an hour, and one busy inside g_csAppData, both end at the
// stop request itself: the "still busy" line (written only after 5 s) never
// comes, and the lock is free afterwards.
TEST(RecWorker, StopWakesTheSleepAndEndsABusyCycleWithoutHoldingTheLock) {
  LogCapture log;
  {
    CountingWorker sleeper(3600 * 1000, false);
    ASSERT_EQ(sleeper.StartThread(), 0);
    while (sleeper.cycles < 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sleeper.StopThread();
    EXPECT_FALSE(sleeper.IsRunning());
  }
  {
    CountingWorker busy(100, true);
    ASSERT_EQ(busy.StartThread(), 0);
    while (!busy.inCycle) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(LockIsFree());
    busy.StopThread();
    EXPECT_FALSE(busy.IsRunning());
    EXPECT_TRUE(LockIsFree());
  }
  EXPECT_EQ(log.Count("CountingWorker: still busy"), 0);
  EXPECT_EQ(log.Count("CountingWorker: start"), 2);
}
