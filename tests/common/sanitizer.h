// Sanitizer builds (scripts/sanitize) compile the suite with VEMO_SANITIZER set.
// A test that crashes a process on purpose (a death test, a child killed by a
// signal) skips there: the sanitizers take over the signals and the fork of a
// process with threads, so such a test would check the sanitizer, not the code.
#pragma once

#include <gtest/gtest.h>

#ifdef VEMO_SANITIZER
#define SKIP_DELIBERATE_CRASH_UNDER_SANITIZERS() GTEST_SKIP() << "deliberate crash: not run in a sanitizer build"
#else
#define SKIP_DELIBERATE_CRASH_UNDER_SANITIZERS() \
  do {                                           \
  } while (false)
#endif
