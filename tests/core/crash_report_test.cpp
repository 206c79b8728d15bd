#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>

#include "common/sanitizer.h"
#include "common/temp_folder.h"
#include "core/crash_report.h"
#include "core/crash_report_testing.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

enum class Crash { NullWrite, Abort, IntDivide, IllegalInstruction, Breakpoint };

[[noreturn]] void CrashNow(Crash crash) {
  switch (crash) {
    case Crash::NullWrite:
      *static_cast<volatile int*>(nullptr) = 1;
      break;
    case Crash::Abort:
      abort();
    case Crash::IntDivide: {
      volatile int zero = 0, one = 1;  // both unknown: a real division instruction
      volatile int result = one / zero;
      (void)result;
      break;
    }
    case Crash::IllegalInstruction:
      __builtin_trap();
    case Crash::Breakpoint:
#if defined(__x86_64__)
      __asm__ volatile("int3");
#else
      raise(SIGTRAP);
#endif
      break;
  }
  _exit(3);
}

// Runs a child that installs the reporter as the program does, for a program
// file `program`, and crashes; returns the signal that ended the child.
int CrashChild(const std::string& program, Crash crash) {
  pid_t pid = fork();
  if (pid == 0) {
    SetCrashReportProgramForTest(program);
    CExceptionReporter::Install();
    CrashNow(crash);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST(CrashReport, ReportPathBesideTheProgram) {
  const struct {
    const char* program;
    const char* report;
  } cases[] = {
      {"/opt/vemo/vemo", "/opt/vemo/vemo.RPT"},  // would otherwise be the program itself
      {"/opt/vemo/vemo.exe", "/opt/vemo/vemo.RPT"},
      {"/opt/vemo/vemo.bin2", "/opt/vemo/vemo.RPT"},
      {"/opt/vemo/vemo.x", "/opt/vemo/vemo.x.RPT"},
      {"/opt/vemo.d/vemo", "/opt/vemo.d/vemo.RPT"},  // a '.' in a folder is no extension
  };
  for (const auto& c : cases) EXPECT_EQ(CrashReportPathFor(c.program), c.report) << c.program;
}

TEST(CrashReport, ReportsTheFaultAndDiesByTheSignal) {
  SKIP_DELIBERATE_CRASH_UNDER_SANITIZERS();
  const struct {
    Crash crash;
    int signal;
    const char* codeLine;
  } cases[] = {
      {Crash::NullWrite, SIGSEGV, "Exception code: C0000005 ACCESS_VIOLATION\r\n"},
      {Crash::Abort, SIGABRT, "Exception code: 00000006 Aborted\r\n"},
      {Crash::IntDivide, SIGFPE, "Exception code: C0000094 INT_DIVIDE_BY_ZERO\r\n"},
      {Crash::IllegalInstruction, SIGILL, "Exception code: C000001D ILLEGAL_INSTRUCTION\r\n"},
      {Crash::Breakpoint, SIGTRAP, "Exception code: 80000003 BREAKPOINT\r\n"},
  };
  const std::string rule = "//=====================================================\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codeLine);
    TempFolder folder;
    const std::string program = folder.File("vemo");
    ASSERT_EQ(CrashChild(program, c.crash), c.signal);
    const std::string report = ReadFile(program + ".RPT");
    ASSERT_FALSE(report.empty());

    // Header: rule, GBK date line, rule.
    ASSERT_EQ(report.compare(0, rule.size(), rule), 0);
    const size_t dateEnd = report.find("\r\n", rule.size()) + 2;
    const std::string date = report.substr(rule.size(), dateEnd - rule.size());
    EXPECT_TRUE(std::regex_match(date, std::regex("[0-9]{4}\xC4\xEA[ 0-9]{2}\xD4\xC2[ 0-9]{2}\xC8\xD5"
                                                  " [ 0-9]{2}:[ 0-9]{2}:[ 0-9]{2}\r\n")))
        << date;
    EXPECT_EQ(report.compare(dateEnd, rule.size(), rule), 0);
    EXPECT_EQ(report.compare(dateEnd + rule.size(), strlen(c.codeLine), c.codeLine), 0);
    EXPECT_NE(report.find("Signal: " + std::to_string(c.signal) + " ("), std::string::npos);

    std::smatch fault;
    ASSERT_TRUE(std::regex_search(report, fault,
                                  std::regex("Fault address:  ([0-9A-F]{16}) ([0-9A-F]{2}):([0-9A-F]{16}) ([^\r]*)\r\n")));
    const std::string address = fault[1];
    EXPECT_NE(fault[4].str(), "");  // the module holding the instruction
    EXPECT_NE(fault[2].str(), "00");

    for (const char* reg : {"RAX", "RBX", "RCX", "RDX", "RSI", "RDI", "R15", "Flags"}) {
      EXPECT_TRUE(std::regex_search(report, std::regex(std::string("\r\n") + reg + ":[0-9A-F]{16}\r\n"))) << reg;
    }
    EXPECT_NE(report.find("CS:RIP:"), std::string::npos);
    EXPECT_TRUE(std::regex_search(report, std::regex("CS:RIP:[0-9A-F]{4}:" + address + "\r\n")));
    EXPECT_TRUE(std::regex_search(report, std::regex("SS:RSP:[0-9A-F]{4}:[0-9A-F]{16}  RBP:[0-9A-F]{16}\r\n")));
    EXPECT_TRUE(std::regex_search(report, std::regex("DS:[0-9A-F]{4}  ES:[0-9A-F]{4}  FS:[0-9A-F]{4}  GS:[0-9A-F]{4}\r\n")));

    const std::string stackHeader = "\r\nCall stack:\r\nAddress   Frame     Logical addr  Module\r\n";
    const size_t stack = report.find(stackHeader);
    ASSERT_NE(stack, std::string::npos);
    const std::string firstFrame = report.substr(stack + stackHeader.size(), 16);
    EXPECT_EQ(firstFrame, address);
    EXPECT_TRUE(std::regex_search(report.substr(stack + stackHeader.size()),
                                  std::regex("^[0-9A-F]{16}  [0-9A-F]{16}  [0-9A-F]{4}:[0-9A-F]{16} [^\r]*\r\n")));
    EXPECT_EQ(report.substr(report.size() - 4), "\r\n\r\n");
  }
}

TEST(CrashReport, ReportsAreAppended) {
  SKIP_DELIBERATE_CRASH_UNDER_SANITIZERS();
  TempFolder folder;
  const std::string program = folder.File("vemo.exe");
  ASSERT_EQ(CrashChild(program, Crash::NullWrite), SIGSEGV);
  ASSERT_EQ(CrashChild(program, Crash::IntDivide), SIGFPE);
  const std::string report = ReadFile(folder.File("vemo.RPT"));
  EXPECT_NE(report.find("C0000005 ACCESS_VIOLATION"), std::string::npos);
  EXPECT_GT(report.find("C0000094 INT_DIVIDE_BY_ZERO"), report.find("C0000005"));
}

TEST(CrashReport, UnwritableReportStillEndsTheProcess) {
  SKIP_DELIBERATE_CRASH_UNDER_SANITIZERS();
  EXPECT_EQ(CrashChild("/nonexistent-folder/vemo", Crash::NullWrite), SIGSEGV);
}

void CustomHandler(int) {}

TEST(CrashReport, DestructionRestoresThePreviousHandlers) {
  struct sigaction custom {}, saved {}, now {};
  custom.sa_handler = CustomHandler;
  sigemptyset(&custom.sa_mask);
  ASSERT_EQ(sigaction(SIGTRAP, &custom, &saved), 0);
  {
    CExceptionReporter reporter;
    sigaction(SIGTRAP, nullptr, &now);
    EXPECT_TRUE(now.sa_flags & SA_SIGINFO);
    EXPECT_TRUE(now.sa_flags & SA_ONSTACK);
  }
  sigaction(SIGTRAP, nullptr, &now);
  EXPECT_EQ(now.sa_handler, CustomHandler);
  sigaction(SIGTRAP, &saved, nullptr);
}

}  // namespace
