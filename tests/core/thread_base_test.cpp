#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "common/sanitizer.h"
#include "common/temp_folder.h"
#include "core/process_query.h"
#include "core/start_thread.h"
#include "platform/paths.h"
#include "platform/post_message.h"
#include "platform/wnd.h"
#include "tests/platform/event_wait.h"

#include <QWidget>

extern char** environ;

namespace {

class CountingThread : public CThread {
 public:
  ~CountingThread() override {
    quit = true;
    Stop();
  }
  DWORD Run() override {
    ++runs;
    while (!quit) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 42;
  }
  std::atomic<int> runs{0};
  std::atomic<bool> quit{false};
};

class SelfStoppingThread : public CThread {
 public:
  DWORD Run() override {
    Stop();  // must not wait for itself
    done = true;
    return 1;
  }
  std::atomic<bool> done{false};
};

// A derived class that forgets to stop its thread in its destructor.
class UnstoppedThread : public CThread {
 public:
  DWORD Run() override {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 0;
  }
  std::atomic<bool> release{false};
};

class DoneWindow : public QWidget, public CWnd {
 public:
  DoneWindow() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM, LPARAM) override {
    if (msg == WM_STARTTHREAD_DONE) ++done;
    return 0;
  }
  int done = 0;
};

}  // namespace

TEST(CThread, StartStopEdgeCases) {
  CountingThread t;
  t.Stop();  // never started: returns at once
  DWORD code = 0;
  EXPECT_FALSE(t.GetExitCode(&code));

  EXPECT_TRUE(t.Start());
  EXPECT_TRUE(t.Start());  // a second Start makes no second thread
  EXPECT_TRUE(t.GetExitCode(&code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_TRUE(t.SetPriority(-1));  // lowering is always allowed
  EXPECT_EQ(t.Suspend(), static_cast<DWORD>(-1));
  t.quit = true;
  while (t.GetExitCode(&code) && code == STILL_ACTIVE) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(t.Start());  // ended but not reaped: still the same thread
  EXPECT_EQ(t.runs, 1);
  t.Stop();
  t.Stop();
  EXPECT_FALSE(t.GetExitCode(&code));
  EXPECT_FALSE(t.SetPriority(0));

  t.quit = false;
  EXPECT_TRUE(t.Start());  // after Stop a new thread
  while (t.runs < 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  t.quit = true;
  t.Stop();
  EXPECT_EQ(t.runs, 2);
}

TEST(CThread, StopFromTheThreadItselfAndDestructionWithoutStop) {
  auto self = std::make_unique<SelfStoppingThread>();
  EXPECT_TRUE(self->Start());
  while (!self->done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  self.reset();

  // Run has returned and nobody called Stop: the destructor reaps the thread.
  auto ended = std::make_unique<UnstoppedThread>();
  ended->release = true;
  ASSERT_TRUE(ended->Start());
  DWORD code = 0;
  while (ended->GetExitCode(&code) && code == STILL_ACTIVE) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ended.reset();

  // A derived class that stops in its destructor may go while Run runs.
  auto running = std::make_unique<CountingThread>();
  ASSERT_TRUE(running->Start());
  while (running->runs == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  running.reset();
}

TEST(CThreadDeathTest, DestroyedWhileItsRunRunsEndsTheProcessLoudly) {
  SKIP_DELIBERATE_CRASH_UNDER_SANITIZERS();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        auto* thread = new UnstoppedThread;
        thread->Start();
        delete thread;  // its Run still waits for `release`, a member now gone
      },
      "must Stop it in its destructor");
}

TEST(CStartThread, StartsTheWatchdogAndReportsOnce) {
  TempFolder folder;
  paths::SetProgramFolder(folder.Path());
  DoneWindow window;

  // No watchdog program: not an error, the owner is told.
  CStartThread missing(window.GetSafeHwnd());
  missing.Start();
  EXPECT_TRUE(WaitUntil([&] { return window.done == 1; }));
  missing.Stop();

  // A watchdog program that leaves a mark.
  const std::string watch = folder.File(kWatchProgramName);
  {
    std::ofstream script(watch);
    script << "#!/bin/sh\necho started > \"" << folder.File("mark") << "\"\n";
  }
  std::filesystem::permissions(watch, std::filesystem::perms::owner_all);
  CStartThread starter(window.GetSafeHwnd());
  starter.Start();
  EXPECT_TRUE(WaitUntil([&] { return window.done == 2 && std::filesystem::exists(folder.File("mark")); }));
  starter.Stop();

  // A running watchdog: nothing is started and nothing is posted.
  std::filesystem::remove(watch);
  std::filesystem::copy_file("/bin/sleep", watch);
  pid_t pid = 0;
  char* const argv[] = {const_cast<char*>(watch.c_str()), const_cast<char*>("30"), nullptr};
  ASSERT_EQ(posix_spawn(&pid, watch.c_str(), nullptr, nullptr, argv, environ), 0);
  ASSERT_TRUE(WaitUntil([] { return IsProcessRunning(kWatchProgramName) != FALSE; }));
  CStartThread running(window.GetSafeHwnd());
  running.Start();
  running.Stop();
  DWORD code = 0;
  EXPECT_FALSE(running.GetExitCode(&code));
  RunEventsFor(50);
  EXPECT_EQ(window.done, 2);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  paths::SetProgramFolder("");
}

// A program called "Watch" elsewhere on the machine (another installation's
// watchdog) is not this program's: the start-up thread still starts its own,
// and the exit's end of the watchdog leaves the other one running.
TEST(CStartThread, AWatchOfAnotherFolderIsNotTheWatchdog) {
  TempFolder elsewhere;
  const std::string otherWatch = elsewhere.File(kWatchProgramName);
  std::filesystem::copy_file("/bin/sleep", otherWatch);
  pid_t pid = 0;
  char* const argv[] = {const_cast<char*>(otherWatch.c_str()), const_cast<char*>("30"), nullptr};
  ASSERT_EQ(posix_spawn(&pid, otherWatch.c_str(), nullptr, nullptr, argv, environ), 0);
  ASSERT_TRUE(WaitUntil([] { return IsProcessRunning(kWatchProgramName) != FALSE; }));

  TempFolder folder;
  paths::SetProgramFolder(folder.Path());
  const std::string watch = folder.File(kWatchProgramName);
  {
    std::ofstream script(watch);
    script << "#!/bin/sh\necho started > \"" << folder.File("mark") << "\"\n";
  }
  std::filesystem::permissions(watch, std::filesystem::perms::owner_all);
  DoneWindow window;
  CStartThread starter(window.GetSafeHwnd());
  starter.Start();
  EXPECT_TRUE(WaitUntil([&] { return window.done == 1 && std::filesystem::exists(folder.File("mark")); }));
  starter.Stop();

  KillProcessByName(WatchProgramPath().c_str());
  EXPECT_EQ(kill(pid, 0), 0) << "the other folder's Watch still runs";
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  paths::SetProgramFolder("");
}
