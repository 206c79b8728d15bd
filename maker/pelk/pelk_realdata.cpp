#include "pelk/pelk_realdata.h"

namespace pelk {

void RealDataRegistry::Register(const std::string& key, DWORD mainId, DWORD subId, PelkRealDataCallback callback,
                                void* context) {
  if (!callback) {
    Unregister(key, mainId, subId);
    return;
  }
  auto entry = std::make_shared<Entry>();
  entry->callback = callback;
  entry->context = context;
  std::shared_ptr<Entry> old;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& slot = entries_[Key{key, mainId, subId}];
    old = slot;
    slot = entry;
  }
  if (old) {
    // The replaced registration is not called again either.
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [&] { return old->inFlight == 0 || old->callingThread == std::this_thread::get_id(); });
  }
}

void RealDataRegistry::Unregister(const std::string& key, DWORD mainId, DWORD subId) {
  std::unique_lock<std::mutex> lock(mutex_);
  auto found = entries_.find(Key{key, mainId, subId});
  if (found == entries_.end()) return;
  std::shared_ptr<Entry> entry = found->second;
  entries_.erase(found);
  idle_.wait(lock, [&] { return entry->inFlight == 0 || entry->callingThread == std::this_thread::get_id(); });
}

bool RealDataRegistry::Dispatch(LONG login, const std::string& key, DWORD mainId, DWORD subId, LONG kind,
                                const BYTE* data, LONG length, const RelayFrameInfo* info) {
  std::shared_ptr<Entry> entry;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = entries_.find(Key{key, mainId, subId});
    if (found == entries_.end()) return false;
    entry = found->second;
    ++entry->inFlight;
    entry->callingThread = std::this_thread::get_id();
  }
  entry->callback(login, mainId, subId, kind, data, length, info, entry->context);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --entry->inFlight;
  }
  idle_.notify_all();
  return true;
}

size_t RealDataRegistry::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

}  // namespace pelk
