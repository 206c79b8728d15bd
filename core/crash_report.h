// The crash report: when the program dies of a fault signal, a text report with
// the exception code, the fault address, the registers and the call stack is
// appended to a file beside the program, named like the program with the
// extension "RPT" ("vemo" gives "vemo.RPT", "vemo.bin" gives "vemo.RPT").
//
// One global CExceptionReporter is built before main and destroyed after it.
// Because it lives in a static library, the linker keeps it only when the
// program refers to this file: main calls CExceptionReporter::Install() first
// thing, which also installs the handlers should the global not have run yet.
//
// The handlers (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP) run on an
// alternate stack, so a stack overflow of the main thread is reported too.
// After writing, the default action is restored and the signal raised again:
// the process still dies by its signal.
#pragma once

#include <csignal>

class CExceptionReporter {
 public:
  CExceptionReporter();   // installs the handlers, keeping the previous ones
  ~CExceptionReporter();  // puts the previous handlers back
  CExceptionReporter(const CExceptionReporter&) = delete;
  CExceptionReporter& operator=(const CExceptionReporter&) = delete;

  // Makes sure the program's reporter is linked in and installed.
  static void Install();

 private:
  void InstallHandlers();

  static constexpr int kSignalCount = 6;
  struct sigaction previous_[kSignalCount];
  stack_t previousStack_ {};
  bool installed_ = false;
};
