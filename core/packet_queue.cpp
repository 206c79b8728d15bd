#include "core/packet_queue.h"

PacketQueue::~PacketQueue() { Clear(); }

void PacketQueue::Init() {
  Clear();
  CsLock guard(lock_);
  limit_ = kDefaultLimit;
}

void PacketQueue::Free(Node* node) {
  if (node->item.bOwner) delete[] node->item.pData;
  delete node;
}

PacketQueue::Node* PacketQueue::TakeHead() {
  Node* node = head_;
  if (!node) return nullptr;
  head_ = node->next;
  if (head_) {
    head_->prev = nullptr;
  } else {
    tail_ = nullptr;
  }
  --count_;
  node->next = nullptr;
  return node;
}

int PacketQueue::Push(const PacketItem& item) {
  if (!item.pData || item.nLen <= 0) return -1;
  CsLock guard(lock_);
  if (limit_ <= 0) return -1;
  Node* node = new Node;
  node->item = item;
  node->prev = tail_;
  if (tail_) {
    tail_->next = node;
  } else {
    head_ = node;
  }
  tail_ = node;
  ++count_;
  while (count_ > limit_) Free(TakeHead());
  return item.nLen;
}

int PacketQueue::Pop(PacketItem* item) {
  if (!item) return 0;
  CsLock guard(lock_);
  Node* node = TakeHead();
  if (!node) return 0;
  *item = node->item;
  delete node;
  return item->nLen;
}

int PacketQueue::Count() {
  CsLock guard(lock_);
  return count_;
}

void PacketQueue::Clear() {
  CsLock guard(lock_);
  while (Node* node = TakeHead()) Free(node);
}
