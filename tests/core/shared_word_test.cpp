// The shared run-time words of a device record: atomic, yet copied with it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/dev_info.h"

TEST(SharedWord, CopiesWithItsRecordAndReadsLikeAnInt) {
  DevInfo dev;
  dev.bRecording = 1;
  dev.MainStreamId = 17;
  DevInfo copy = dev;
  EXPECT_EQ(copy.bRecording, 1);
  EXPECT_EQ(copy.MainStreamId, 17);
  copy.bRecording = 0;
  EXPECT_EQ(dev.bRecording, 1);  // a copy, not a reference
  dev = copy;
  EXPECT_EQ(dev.bRecording, 0);
  EXPECT_TRUE(std::atomic<int>::is_always_lock_free);

  // One thread writes while another reads without a lock, as the recording
  // and UI threads do; every value read is one that was written.
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 100000; ++i) dev.nMotionAlarm = i % 2 ? 14 : 0;
    done = true;
  });
  bool onlyWritten = true;
  while (!done) {
    const int value = dev.nMotionAlarm;
    onlyWritten = onlyWritten && (value == 0 || value == 14);
  }
  writer.join();
  EXPECT_TRUE(onlyWritten);
}
