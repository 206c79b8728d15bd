#include "core/packet_queue.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

namespace {

BYTE* NewPacket(int len, BYTE fill) {
  BYTE* data = new BYTE[len];
  for (int i = 0; i < len; ++i) data[i] = fill;
  return data;
}

}  // namespace

TEST(PacketQueue, RefusesBeforeInitAndBadItems) {
  BYTE data[4] = {1, 2, 3, 4};
  PacketQueue queue;
  EXPECT_EQ(queue.Push({data, 4, FALSE}), -1);
  queue.Init();
  EXPECT_EQ(queue.Push({nullptr, 4, FALSE}), -1);
  EXPECT_EQ(queue.Push({data, 0, FALSE}), -1);
  EXPECT_EQ(queue.Push({data, -3, FALSE}), -1);
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(queue.Push({data, 4, FALSE}), 4);
  EXPECT_EQ(queue.Count(), 1);

  EXPECT_EQ(queue.Pop(nullptr), 0);
  EXPECT_EQ(queue.Count(), 1);
  PacketItem item;
  EXPECT_EQ(queue.Pop(&item), 4);
  EXPECT_EQ(item.pData, data);
  EXPECT_EQ(queue.Pop(&item), 0);
}

// Packets the queue does not own live in a stack array here: freeing one of
// them on overflow or Clear would abort the test.
TEST(PacketQueue, OverflowDropsOldestAndFreesOnlyOwnedData) {
  std::array<std::array<BYTE, 8>, 60> borrowed{};
  PacketQueue queue;
  queue.Init();
  for (int i = 0; i < 60; ++i) {
    borrowed[i].fill(static_cast<BYTE>(i));
    // Every other packet is owned by the queue.
    const PacketItem item = i % 2 ? PacketItem{NewPacket(8, static_cast<BYTE>(i)), 8, TRUE}
                                  : PacketItem{borrowed[i].data(), 8, FALSE};
    EXPECT_EQ(queue.Push(item), 8);
    EXPECT_EQ(queue.Count(), std::min(i + 1, PacketQueue::kDefaultLimit));
  }
  // The ten oldest were dropped; the borrowed ones among them are untouched.
  for (int i = 0; i < 10; i += 2) {
    borrowed[i][0] = 0xEE;
    EXPECT_EQ(borrowed[i][7], static_cast<BYTE>(i));
  }
  for (int i = 10; i < 60; ++i) {
    PacketItem item;
    ASSERT_EQ(queue.Pop(&item), 8);
    EXPECT_EQ(item.pData[0], static_cast<BYTE>(i)) << "FIFO order";
    EXPECT_EQ(item.bOwner, i % 2 ? TRUE : FALSE);
    if (item.bOwner) delete[] item.pData;
  }
  EXPECT_EQ(queue.Count(), 0);
}

TEST(PacketQueue, ClearFreesOwnedKeepsBorrowed) {
  BYTE borrowed[16] = {};
  PacketQueue queue;
  queue.Init();
  queue.Push({borrowed, 16, FALSE});
  queue.Push({NewPacket(16, 7), 16, TRUE});
  queue.Push({borrowed + 8, 8, FALSE});
  queue.Clear();
  EXPECT_EQ(queue.Count(), 0);
  borrowed[15] = 1;
  PacketItem item;
  EXPECT_EQ(queue.Pop(&item), 0);
  // Still usable after Clear; the destructor frees what is left.
  EXPECT_EQ(queue.Push({NewPacket(4, 1), 4, TRUE}), 4);
}

TEST(PacketQueue, ConcurrentPushAndPop) {
  PacketQueue queue;
  queue.Init();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&queue] {
      for (int i = 0; i < 500; ++i) queue.Push({NewPacket(32, 0), 32, TRUE});
    });
  }
  threads.emplace_back([&queue] {
    for (int i = 0; i < 500; ++i) {
      PacketItem item;
      if (queue.Pop(&item) > 0 && item.bOwner) delete[] item.pData;
    }
  });
  for (auto& t : threads) t.join();
  EXPECT_LE(queue.Count(), PacketQueue::kDefaultLimit);
}
