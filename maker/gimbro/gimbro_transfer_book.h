// One record per device of a control, for the transfers that run between the
// control's methods (UI thread) and the devices' connections (network thread):
// the replay words and downloads (gimbro_replay), the uploads (gimbro_upload).
// The book's one lock guards every record; a control is told apart by its
// event hub.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

#include "platform/win_types.h"

class GimbroEventHub;

template <class Entry>
class GimbroTransferBook {
 public:
  std::mutex mutex;

  // Under `mutex`: the device's record, or null / a new one.
  Entry* Find(GimbroEventHub* hub, LONG id) {
    auto it = entries_.find({hub, id});
    return it == entries_.end() ? nullptr : &it->second;
  }
  Entry& At(GimbroEventHub* hub, LONG id) { return entries_[{hub, id}]; }
  // Under `mutex`: a new transfer number (> 0).
  int32_t NextTransfer() {
    last_ = last_ == INT32_MAX ? 1 : last_ + 1;
    return last_;
  }

  // Closes (close(record)) and forgets one device's record, or every record of a control.
  template <class Close>
  void Forget(GimbroEventHub* hub, LONG id, Close close) {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = entries_.find({hub, id});
    if (it == entries_.end()) return;
    close(it->second);
    entries_.erase(it);
  }
  template <class Close>
  void ForgetAll(GimbroEventHub* hub, Close close) {
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = entries_.begin(); it != entries_.end();) {
      if (it->first.first == hub) {
        close(it->second);
        it = entries_.erase(it);
      } else {
        ++it;
      }
    }
  }

 private:
  std::map<std::pair<GimbroEventHub*, LONG>, Entry> entries_;
  int32_t last_ = 0;  // under `mutex`
};
