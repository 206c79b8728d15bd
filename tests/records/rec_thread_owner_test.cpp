#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "records/rec_file_manager.h"
#include "records/rec_scheme_manager.h"

namespace {

// Counts the worker's rounds, so a test sees whether the thread still runs.
class CountingOwner : public CRecThreadOwner {
 public:
  CountingOwner() : CRecThreadOwner(nullptr) {}
  ~CountingOwner() override { StopThread(); }
  std::atomic<int> steps{0};

 protected:
  void WorkStep() override { ++steps; }
};

template <class T>
std::unique_ptr<CRecThreadOwner> Make() {
  return std::make_unique<T>(nullptr);
}

}  // namespace

TEST(RecThreadOwner, StartsOnceRefusesSecondStartAndStartsAgainAfterStop) {
  for (auto make : {Make<CRecSchemeManager>, Make<CRecFileManager>}) {
    std::unique_ptr<CRecThreadOwner> owner = make();
    EXPECT_EQ(owner->StopThread(), 0);  // nothing runs yet
    EXPECT_EQ(owner->StartThread(), 0);
    EXPECT_EQ(owner->StartThread(), -1);
    EXPECT_TRUE(owner->IsRunning());
    EXPECT_EQ(owner->StopThread(), 0);
    EXPECT_FALSE(owner->IsRunning());
    EXPECT_EQ(owner->StartThread(), 0);
  }  // the destructor stops the restarted thread
}

TEST(RecThreadOwner, StopEndsTheThreadBeforeReturning) {
  CountingOwner owner;
  ASSERT_EQ(owner.StartThread(), 0);
  while (owner.steps < 2) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  owner.StopThread();
  const int after = owner.steps;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(owner.steps, after);
}
