#include "pelk/pelk_records.h"

#include "pelk/pelk_log.h"

namespace pelk {

void RecordStore::Register(void* pointer, int kind, void (*free)(void*)) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_[pointer] = Entry{kind, free};
}

char* RecordStore::NewText(const char* text, size_t length) {
  char* copy = NewArray<char>(length + 1);
  if (length) std::memcpy(copy, text, length);
  copy[length] = 0;
  return copy;
}

bool RecordStore::Delete(void* pointer, int kind) {
  if (!pointer) return false;
  Entry entry{};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = entries_.find(pointer);
    if (found == entries_.end()) return false;
    entry = found->second;
    entries_.erase(found);
  }
  if (entry.kind != kind) {
    qCInfo(lcPelk) << "a relay record was given back as kind" << kind << "but is of kind" << entry.kind;
  }
  entry.free(pointer);
  return true;
}

size_t RecordStore::Outstanding() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

void RecordStore::Clear() {
  std::unordered_map<void*, Entry> entries;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entries.swap(entries_);
  }
  for (auto& [pointer, entry] : entries) entry.free(pointer);
}

}  // namespace pelk
