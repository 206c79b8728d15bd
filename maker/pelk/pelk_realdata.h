// RealDataRegistry: who receives the frames of each relayed live video. A
// registration is keyed by the relay device key and the video's two session
// ids (stream word, channel). Dispatch calls the callback without holding the
// registry's lock; unregistering waits for calls in progress on other threads,
// so once it returns the callback is not called again for that video.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>

#include "pelk/pelk.h"

namespace pelk {

class RealDataRegistry {
 public:
  void Register(const std::string& key, DWORD mainId, DWORD subId, PelkRealDataCallback callback, void* context);
  // Removes the registration (if any) and waits for its calls in progress.
  void Unregister(const std::string& key, DWORD mainId, DWORD subId);
  // Calls the registered callback; false when none is registered.
  bool Dispatch(LONG login, const std::string& key, DWORD mainId, DWORD subId, LONG kind, const BYTE* data,
                LONG length, const RelayFrameInfo* info);
  size_t Count() const;

 private:
  struct Entry {
    PelkRealDataCallback callback = nullptr;
    void* context = nullptr;
    int inFlight = 0;
    std::thread::id callingThread;  // the last thread in a call (for a callback that unregisters itself)
  };
  using Key = std::tuple<std::string, DWORD, DWORD>;

  mutable std::mutex mutex_;
  std::condition_variable idle_;
  std::map<Key, std::shared_ptr<Entry>> entries_;
};

}  // namespace pelk
