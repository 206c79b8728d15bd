#include "core/crash_report.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "core/crash_report_testing.h"

namespace {

const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};

// Native path of the report file; filled before any handler can run, so the
// handler itself never allocates.
char g_reportPath[4096];

// The handlers run here, so that a fault on an exhausted stack is reported too.
alignas(16) char g_alternateStack[64 * 1024];

std::atomic<bool> g_reporting{false};

struct ExceptionName {
  uint32_t code;
  const char* name;
};

const ExceptionName kExceptionNames[] = {
    {0xC0000005, "ACCESS_VIOLATION"},       {0x80000002, "DATATYPE_MISALIGNMENT"},
    {0x80000003, "BREAKPOINT"},             {0x80000004, "SINGLE_STEP"},
    {0xC000008C, "ARRAY_BOUNDS_EXCEEDED"},  {0xC000008D, "FLT_DENORMAL_OPERAND"},
    {0xC000008E, "FLT_DIVIDE_BY_ZERO"},     {0xC000008F, "FLT_INEXACT_RESULT"},
    {0xC0000090, "FLT_INVALID_OPERATION"},  {0xC0000091, "FLT_OVERFLOW"},
    {0xC0000092, "FLT_STACK_CHECK"},        {0xC0000093, "FLT_UNDERFLOW"},
    {0xC0000094, "INT_DIVIDE_BY_ZERO"},     {0xC0000095, "INT_OVERFLOW"},
    {0xC0000096, "PRIV_INSTRUCTION"},       {0xC0000006, "IN_PAGE_ERROR"},
    {0xC000001D, "ILLEGAL_INSTRUCTION"},    {0xC0000025, "NONCONTINUABLE_EXCEPTION"},
    {0xC00000FD, "STACK_OVERFLOW"},         {0xC0000026, "INVALID_DISPOSITION"},
    {0x80000001, "GUARD_PAGE"},             {0xC0000008, "INVALID_HANDLE"},
};

// The exception code that stands for a signal; a signal without one is
// reported with its own number as the code.
uint32_t ExceptionCode(int signal, int code) {
  switch (signal) {
    case SIGSEGV:
      return 0xC0000005;
    case SIGBUS:
      return 0x80000002;
    case SIGILL:
      return (code == ILL_PRVOPC || code == ILL_PRVREG) ? 0xC0000096 : 0xC000001D;
    case SIGTRAP:
      return code == TRAP_TRACE ? 0x80000004 : 0x80000003;
    case SIGFPE:
      switch (code) {
        case FPE_INTDIV: return 0xC0000094;
        case FPE_INTOVF: return 0xC0000095;
        case FPE_FLTDIV: return 0xC000008E;
        case FPE_FLTOVF: return 0xC0000091;
        case FPE_FLTUND: return 0xC0000093;
        case FPE_FLTRES: return 0xC000008F;
        case FPE_FLTINV: return 0xC0000090;
        case FPE_FLTSUB: return 0xC000008C;
        default: break;
      }
      break;
    default:
      break;
  }
  return static_cast<uint32_t>(signal);
}

// sigdescr_np gives strsignal's English text without touching the locale,
// which a signal handler must not.
const char* SignalText(int signal) {
  const char* text = sigdescr_np(signal);
  return text ? text : "Unknown signal";
}

const char* ExceptionNameOf(uint32_t code, int signal) {
  for (const ExceptionName& entry : kExceptionNames) {
    if (entry.code == code) return entry.name;
  }
  return SignalText(signal);
}

// Appends formatted pieces to the report file through a stack buffer.
class ReportFile {
 public:
  explicit ReportFile(int fd) : fd_(fd) {}

  void Print(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n <= 0) return;
    size_t left = static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1;
    const char* p = buffer;
    while (left > 0) {
      ssize_t written = write(fd_, p, left);
      if (written <= 0) return;
      p += written;
      left -= static_cast<size_t>(written);
    }
  }

 private:
  int fd_;
};

// Logical address of a code address: the module holding it, the 1-based
// number of its loadable segment and the offset within that segment.
struct LogicalAddress {
  unsigned segment = 0;
  uintptr_t offset = 0;
  const char* module = "";
};

struct SegmentSearch {
  uintptr_t address;
  unsigned segment;
  uintptr_t offset;
};

int FindSegment(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<SegmentSearch*>(data);
  unsigned number = 0;
  for (unsigned i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_LOAD) continue;
    ++number;
    const uintptr_t start = info->dlpi_addr + header.p_vaddr;
    const uintptr_t size = header.p_memsz > header.p_filesz ? header.p_memsz : header.p_filesz;
    if (search->address >= start && search->address <= start + size) {
      search->segment = number;
      search->offset = search->address - start;
      return 1;
    }
  }
  return 0;
}

LogicalAddress LogicalAddressOf(uintptr_t address) {
  LogicalAddress result;
  Dl_info module {};
  if (dladdr(reinterpret_cast<void*>(address), &module) == 0 || !module.dli_fname) return result;
  SegmentSearch search {address, 0, 0};
  if (dl_iterate_phdr(FindSegment, &search) == 0) return result;
  result.segment = search.segment;
  result.offset = search.offset;
  result.module = module.dli_fname;
  return result;
}

void PrintStackLine(ReportFile& report, uintptr_t code, uintptr_t frame) {
  const LogicalAddress logical = LogicalAddressOf(code);
  report.Print("%016llX  %016llX  %04X:%016llX %s\r\n", static_cast<unsigned long long>(code),
               static_cast<unsigned long long>(frame), logical.segment,
               static_cast<unsigned long long>(logical.offset), logical.module);
}

#if defined(__x86_64__)
unsigned short ReadSegment(int which) {
  unsigned short value = 0;
  switch (which) {
    case 0: __asm__ volatile("mov %%ds, %0" : "=r"(value)); break;
    case 1: __asm__ volatile("mov %%es, %0" : "=r"(value)); break;
    default: __asm__ volatile("mov %%ss, %0" : "=r"(value)); break;
  }
  return value;
}

uintptr_t InstructionPointer(const ucontext_t* context) {
  return static_cast<uintptr_t>(context->uc_mcontext.gregs[REG_RIP]);
}

uintptr_t FramePointer(const ucontext_t* context) {
  return static_cast<uintptr_t>(context->uc_mcontext.gregs[REG_RBP]);
}

void PrintRegisters(ReportFile& report, const ucontext_t* context) {
  const greg_t* r = context->uc_mcontext.gregs;
  auto u = [r](int index) { return static_cast<unsigned long long>(r[index]); };
  report.Print("\r\nRegisters:\r\n");
  report.Print("RAX:%016llX\r\nRBX:%016llX\r\nRCX:%016llX\r\nRDX:%016llX\r\nRSI:%016llX\r\nRDI:%016llX\r\n",
               u(REG_RAX), u(REG_RBX), u(REG_RCX), u(REG_RDX), u(REG_RSI), u(REG_RDI));
  report.Print("R8:%016llX\r\nR9:%016llX\r\nR10:%016llX\r\nR11:%016llX\r\n"
               "R12:%016llX\r\nR13:%016llX\r\nR14:%016llX\r\nR15:%016llX\r\n",
               u(REG_R8), u(REG_R9), u(REG_R10), u(REG_R11), u(REG_R12), u(REG_R13), u(REG_R14),
               u(REG_R15));
  // CS, GS, FS (and SS where the kernel saved it) are packed into one word.
  const unsigned long long packed = u(REG_CSGSFS);
  const unsigned cs = packed & 0xFFFF, gs = (packed >> 16) & 0xFFFF, fs = (packed >> 32) & 0xFFFF;
  constexpr unsigned long kSavedSS = 0x2;  // UC_SIGCONTEXT_SS
  const unsigned ss = (context->uc_flags & kSavedSS) ? (packed >> 48) & 0xFFFF : ReadSegment(2);
  report.Print("CS:RIP:%04X:%016llX\r\n", cs, u(REG_RIP));
  report.Print("SS:RSP:%04X:%016llX  RBP:%016llX\r\n", ss, u(REG_RSP), u(REG_RBP));
  report.Print("DS:%04X  ES:%04X  FS:%04X  GS:%04X\r\n", ReadSegment(0), ReadSegment(1), fs, gs);
  report.Print("Flags:%016llX\r\n", u(REG_EFL));
}
#else
uintptr_t InstructionPointer(const ucontext_t*) { return 0; }
uintptr_t FramePointer(const ucontext_t*) { return 0; }
void PrintRegisters(ReportFile& report, const ucontext_t*) {
  report.Print("\r\nRegisters:\r\nnot recorded on this processor\r\n");
}
#endif

// The call stack from the unwinder, starting with the faulting instruction.
// The unwinder gives code addresses only: the frame column holds the context's
// frame pointer on the faulting line and 0 below it.
void PrintCallStack(ReportFile& report, uintptr_t pc, uintptr_t fp) {
  report.Print("\r\nCall stack:\r\n");
  report.Print("Address   Frame     Logical addr  Module\r\n");
  void* frames[64];
  const int count = backtrace(frames, 64);
  int first = -1;
  for (int i = 0; i < count; ++i) {
    if (reinterpret_cast<uintptr_t>(frames[i]) == pc) {
      first = i;
      break;
    }
  }
  if (first < 0) {
    // The unwinder lost the faulting frame (e.g. a jump to a bad address):
    // the faulting instruction, then what lies below the handler and the
    // signal trampoline.
    PrintStackLine(report, pc, fp);
    for (int i = 2; i < count; ++i) PrintStackLine(report, reinterpret_cast<uintptr_t>(frames[i]), 0);
    return;
  }
  for (int i = first; i < count; ++i) {
    PrintStackLine(report, reinterpret_cast<uintptr_t>(frames[i]), i == first ? fp : 0);
  }
}

void WriteReport(int signal, const siginfo_t* info, const ucontext_t* context) {
  if (g_reportPath[0] == '\0') return;
  const int fd = open(g_reportPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  ReportFile report(fd);
  const int code = info ? info->si_code : 0;

  time_t now = time(nullptr);
  struct tm t {};
  localtime_r(&now, &t);
  report.Print("//=====================================================\r\n");
  // "年", "月" and "日" in GBK, like all of the program's 8-bit text.
  report.Print("%4d\xC4\xEA%2d\xD4\xC2%2d\xC8\xD5 %2d:%2d:%2d\r\n", t.tm_year + 1900, t.tm_mon + 1,
               t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  report.Print("//=====================================================\r\n");

  const uint32_t exceptionCode = ExceptionCode(signal, code);
  report.Print("Exception code: %08X %s\r\n", exceptionCode, ExceptionNameOf(exceptionCode, signal));
  report.Print("Signal: %d (%s), code %d\r\n", signal, SignalText(signal), code);

  const uintptr_t pc = context ? InstructionPointer(context) : 0;
  const uintptr_t fp = context ? FramePointer(context) : 0;
  const LogicalAddress fault = LogicalAddressOf(pc);
  report.Print("Fault address:  %016llX %02X:%016llX %s\r\n", static_cast<unsigned long long>(pc),
               fault.segment, static_cast<unsigned long long>(fault.offset), fault.module);
  if (context) PrintRegisters(report, context);
  PrintCallStack(report, pc, fp);
  report.Print("\r\n");
  fsync(fd);
  close(fd);
}

void OnFaultSignal(int signal, siginfo_t* info, void* context) {
  if (!g_reporting.exchange(true)) WriteReport(signal, info, static_cast<ucontext_t*>(context));
  // Die by the same signal: with the default action back, the raised signal is
  // delivered as soon as the handler returns.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  raise(signal);
}

void SetReportPath(const std::string& programPath) {
  const std::string report = CrashReportPathFor(programPath);
  if (report.size() >= sizeof g_reportPath) {
    g_reportPath[0] = '\0';
    return;
  }
  memcpy(g_reportPath, report.c_str(), report.size() + 1);
}

// The program file itself (native path), read directly: this runs during
// static initialisation, before anything else of the program is set up.
std::string ProgramFilePath() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

// The program's reporter, active from before main until after it returns.
CExceptionReporter g_exceptionReporter;

}  // namespace

std::string CrashReportPathFor(const std::string& programPath) {
  const size_t slash = programPath.find_last_of('/');
  const size_t dot = programPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos &&
                            (slash == std::string::npos || dot > slash) &&
                            programPath.size() - dot - 1 >= 3;
  // Without an extension (the usual Linux program) ".RPT" is appended, so the
  // report never takes the program file's own name.
  return hasExtension ? programPath.substr(0, dot + 1) + "RPT" : programPath + ".RPT";
}

void SetCrashReportProgramForTest(const std::string& programPath) { SetReportPath(programPath); }

static_assert(sizeof kSignals / sizeof kSignals[0] == 6, "one saved action per signal");

CExceptionReporter::CExceptionReporter() { InstallHandlers(); }

CExceptionReporter::~CExceptionReporter() {
  if (!installed_) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  sigaltstack(&previousStack_, nullptr);
}

void CExceptionReporter::Install() { g_exceptionReporter.InstallHandlers(); }

void CExceptionReporter::InstallHandlers() {
  if (installed_) return;
  if (g_reportPath[0] == '\0') {
    const std::string program = ProgramFilePath();
    if (!program.empty()) SetReportPath(program);
  }
  // Load the unwinder and the time zone now, not inside the handler.
  void* frames[4];
  backtrace(frames, 4);
  tzset();

  stack_t stack {};
  stack.ss_sp = g_alternateStack;
  stack.ss_size = sizeof g_alternateStack;
  stack.ss_flags = 0;
  sigaltstack(&stack, &previousStack_);

  for (int i = 0; i < kSignalCount; ++i) {
    struct sigaction action {};
    action.sa_sigaction = OnFaultSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(kSignals[i], &action, &previous_[i]);
  }
  installed_ = true;
}
