// A bounded first-in first-out queue of data packets, safe between threads.
#pragma once

#include "platform/critical_section.h"
#include "platform/win_types.h"

// One packet. With `bOwner` set the queue owns `pData` (allocated with
// new BYTE[]) and frees it when it drops or clears the packet; otherwise the
// data stays the caller's and the queue never frees it. Pop hands the packet,
// owner flag included, back to the caller, who then owns what the flag says.
struct PacketItem {
  BYTE* pData = nullptr;
  int nLen = 0;
  BOOL bOwner = FALSE;
};

class PacketQueue {
 public:
  static constexpr int kDefaultLimit = 50;

  PacketQueue() = default;
  ~PacketQueue();
  PacketQueue(const PacketQueue&) = delete;
  PacketQueue& operator=(const PacketQueue&) = delete;

  // Empties the queue and sets its limit to 50. A queue takes packets only
  // after Init.
  void Init();

  // Appends the packet at the tail; when the count then exceeds the limit the
  // oldest packet is dropped (its data freed only when the packet owns it).
  // Returns the packet's length, or -1 (nothing queued) before Init, for null
  // data or a length of 0 or less.
  int Push(const PacketItem& item);

  // Takes the head packet out into `item` (its data is not freed); returns its
  // length, or 0 when the queue is empty or `item` is null.
  int Pop(PacketItem* item);

  int Count();

  // Drops every packet, freeing the data of those that own it.
  void Clear();

 private:
  struct Node {
    PacketItem item;
    Node* prev = nullptr;
    Node* next = nullptr;
  };

  static void Free(Node* node);
  Node* TakeHead();  // caller holds the lock; null when empty

  CCriticalSection lock_;
  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  int count_ = 0;
  int limit_ = 0;  // 0 until Init
};
