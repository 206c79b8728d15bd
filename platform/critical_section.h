// Critical sections: recursive locks that one thread may take several times.
#pragma once

#include <mutex>

struct CRITICAL_SECTION {
  std::recursive_mutex mutex;
};

inline void InitializeCriticalSection(CRITICAL_SECTION*) {}
inline void DeleteCriticalSection(CRITICAL_SECTION*) {}
inline void EnterCriticalSection(CRITICAL_SECTION* cs) { cs->mutex.lock(); }
inline void LeaveCriticalSection(CRITICAL_SECTION* cs) { cs->mutex.unlock(); }

// A critical section object with Lock/Unlock.
class CCriticalSection {
 public:
  void Lock() { cs_.mutex.lock(); }
  void Unlock() { cs_.mutex.unlock(); }
  CRITICAL_SECTION* Get() { return &cs_; }

 private:
  CRITICAL_SECTION cs_;
};

// Holds a critical section for the life of the guard.
class CsLock {
 public:
  explicit CsLock(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
  explicit CsLock(CCriticalSection& cs) : cs_(cs.Get()) { EnterCriticalSection(cs_); }
  ~CsLock() { LeaveCriticalSection(cs_); }
  CsLock(const CsLock&) = delete;
  CsLock& operator=(const CsLock&) = delete;

 private:
  CRITICAL_SECTION* cs_;
};
