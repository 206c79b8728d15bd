#include "platform/jmutex.h"

int JMutex::Init() {
  if (initialized_) return ERR_JMUTEX_ALREADYINIT;
  initialized_ = true;
  return 0;
}

int JMutex::Lock() {
  if (!initialized_) return ERR_JMUTEX_NOTINIT;
  mutex_.lock();
  return 0;
}

int JMutex::Unlock() {
  if (!initialized_) return ERR_JMUTEX_NOTINIT;
  mutex_.unlock();
  return 0;
}
