#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/critical_section.h"
#include "platform/jmutex.h"
#include "platform/jthread.h"

namespace {

class Worker : public JThread {
 public:
  std::atomic<bool> stop{false};
  std::atomic<int> loops{0};
  bool callStarted = true;
  void* Thread() override {
    if (callStarted) ThreadStarted();
    while (!stop.load()) {
      ++loops;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return reinterpret_cast<void*>(42);
  }
};

TEST(JThread, StartRunsUntilStoppedAndKeepsItsReturnValue) {
  Worker w;
  EXPECT_EQ(w.Kill(), ERR_JTHREAD_NOTRUNNING);
  ASSERT_EQ(w.Start(), 0);
  EXPECT_TRUE(w.IsRunning());
  EXPECT_EQ(w.Start(), ERR_JTHREAD_ALREADYRUNNING);
  EXPECT_EQ(w.GetReturnValue(), nullptr);
  w.stop = true;
  EXPECT_EQ(w.Kill(), 0);
  EXPECT_FALSE(w.IsRunning());
  EXPECT_EQ(w.GetReturnValue(), reinterpret_cast<void*>(42));
  // It can be started again.
  w.stop = false;
  ASSERT_EQ(w.Start(), 0);
  w.stop = true;
  w.Kill();
}

TEST(JThread, StartReturnsEvenWhenThreadNeverSignals) {
  Worker w;
  w.callStarted = false;
  w.stop = true;
  ASSERT_EQ(w.Start(), 0);
  w.Kill();
  EXPECT_EQ(w.GetReturnValue(), reinterpret_cast<void*>(42));
}

TEST(JMutex, NeedsInitAndSerialises) {
  JMutex m;
  EXPECT_EQ(m.Lock(), ERR_JMUTEX_NOTINIT);
  EXPECT_EQ(m.Init(), 0);
  EXPECT_EQ(m.Init(), ERR_JMUTEX_ALREADYINIT);
  int counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) {
        JMutexAutoLock lock(m);
        ++counter;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, 40000);
}

TEST(CriticalSection, IsReentrantForOneThread) {
  CCriticalSection cs;
  CsLock a(cs);
  CsLock b(cs);  // would deadlock with a plain mutex
  SUCCEED();
}

}  // namespace
