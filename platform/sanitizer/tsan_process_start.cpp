// Built into the executables of the thread-sanitizer build only (see
// vemo_sanitizer_support in cmake/VemoTargets.cmake).
//
// QProcess starts a program the vfork way: clone() with CLONE_VM | CLONE_VFORK,
// the child running on a small stack in the parent's own memory until it
// calls exec. ThreadSanitizer's clone() handling prepares the parent for a
// fork, then lets the child redo that preparation - in memory it shares with
// the parent - and stops the parent on an internal check as it resumes
// ("CHECK failed: ... !thr->slot"), so every test that starts a peer would end
// there. This clone() takes the place of the sanitizer's (whose symbol is
// weak) and hands it the same request without CLONE_VM: the child then gets a
// copy of the memory, as after fork(), and the parent still waits for its
// exec. That is the fork the sanitizer handles well; the program started is
// the same, and the child only runs until its exec.
#include <sched.h>
#include <sys/types.h>

#include <cstdarg>

extern "C" int __interceptor_clone(int (*fn)(void*), void* stack, int flags, void* arg, int* parentTid, void* tls,
                                   pid_t* childTid);

extern "C" int clone(int (*fn)(void*), void* stack, int flags, void* arg, ...) {
  va_list rest;
  va_start(rest, arg);
  int* parentTid = va_arg(rest, int*);
  void* tls = va_arg(rest, void*);
  pid_t* childTid = va_arg(rest, pid_t*);
  va_end(rest);
  if ((flags & CLONE_VM) && (flags & CLONE_VFORK)) flags &= ~CLONE_VM;
  return __interceptor_clone(fn, stack, flags, arg, parentTid, tls, childTid);
}
