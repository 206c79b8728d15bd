// RecordStore: the records and inner blocks the library hands to the program
// with its messages. Each is registered when made and freed when given back
// with Pelk_Delete; a pointer that is not registered is ignored, so a record
// given back twice or a foreign pointer never frees anything. Whatever is left
// at the end is freed with the store.
#pragma once

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "pelk/pelk.h"

namespace pelk {

class RecordStore {
 public:
  RecordStore() = default;
  ~RecordStore() { Clear(); }
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;

  // A new zeroed record of type T.
  template <class T>
  T* NewRecord() {
    T* record = new T();
    Register(record, PELK_DELETE_RECORD, [](void* p) { delete static_cast<T*>(p); });
    return record;
  }

  // An inner block: an array of `count` T (zeroed), or a text copy.
  template <class T>
  T* NewArray(size_t count) {
    T* block = new T[count == 0 ? 1 : count]();
    Register(block, PELK_DELETE_INNER, [](void* p) { delete[] static_cast<T*>(p); });
    return block;
  }
  char* NewText(const char* text, size_t length);

  // False when the pointer is not one of the store's (nothing is freed then).
  bool Delete(void* pointer, int kind);
  size_t Outstanding() const;
  void Clear();

 private:
  struct Entry {
    int kind;
    void (*free)(void*);
  };
  void Register(void* pointer, int kind, void (*free)(void*));

  mutable std::mutex mutex_;
  std::unordered_map<void*, Entry> entries_;
};

}  // namespace pelk
