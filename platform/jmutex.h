// JMutex: a mutex with an explicit Init, as the thread library of the program offers it.
#pragma once

#include <mutex>

#define ERR_JMUTEX_ALREADYINIT -1
#define ERR_JMUTEX_NOTINIT -2
#define ERR_JMUTEX_CANTCREATEMUTEX -3

class JMutex {
 public:
  JMutex() = default;
  ~JMutex() = default;
  JMutex(const JMutex&) = delete;
  JMutex& operator=(const JMutex&) = delete;

  int Init();
  int Lock();
  int Unlock();
  bool IsInitialized() const { return initialized_; }

 private:
  std::recursive_mutex mutex_;
  bool initialized_ = false;
};

// Holds a JMutex for the life of the guard.
class JMutexAutoLock {
 public:
  explicit JMutexAutoLock(JMutex& m) : m_(m) { m_.Lock(); }
  ~JMutexAutoLock() { m_.Unlock(); }
  JMutexAutoLock(const JMutexAutoLock&) = delete;
  JMutexAutoLock& operator=(const JMutexAutoLock&) = delete;

 private:
  JMutex& m_;
};
