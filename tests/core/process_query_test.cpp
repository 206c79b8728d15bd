#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QWidget>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "core/process_query.h"
#include "platform/window_registry.h"

extern char** environ;

namespace {

// Copies of `sleep` under a name of their own (longer than the 15 characters
// the kernel keeps as the command name).
class SleepCopies {
 public:
  SleepCopies() : name_("vemo-watch-test-" + std::to_string(getpid())) {
    std::filesystem::copy_file("/bin/sleep", folder_.File(name_));
    std::filesystem::permissions(folder_.File(name_), std::filesystem::perms::owner_all);
  }
  ~SleepCopies() {
    for (pid_t pid : pids_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

  const std::string& Name() const { return name_; }
  std::string Path() const { return folder_.File(name_); }

  pid_t Start() {
    const std::string path = folder_.File(name_);
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("30"), nullptr};
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
    pids_.push_back(pid);
    // posix_spawn returns once the program runs; wait until /proc shows its exe.
    for (int i = 0; i < 200 && !IsProcessRunning(Path().c_str()); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pid;
  }

  // Reaps the process; returns the signal that ended it (0 if it exited).
  int Reap(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    std::erase(pids_, pid);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  }

 private:
  TempFolder folder_;
  std::string name_;
  std::vector<pid_t> pids_;
};

TEST(ProcessQuery, FindsAndEndsEveryProcessOfTheExactName) {
  SleepCopies copies;
  EXPECT_FALSE(IsProcessRunning(copies.Name().c_str()));
  std::vector<pid_t> pids;
  for (int i = 0; i < 3; ++i) pids.push_back(copies.Start());
  EXPECT_TRUE(IsProcessRunning(copies.Name().c_str()));
  std::string upper = copies.Name();
  upper[0] = 'V';
  EXPECT_FALSE(IsProcessRunning(upper.c_str()));
  EXPECT_FALSE(IsProcessRunning(copies.Name().substr(0, 15).c_str()));
  EXPECT_FALSE(IsProcessRunning(""));

  KillProcessByName(upper.c_str());  // no match: nothing ends
  KillProcessByName(copies.Name().c_str());
  // Ended processes stop counting even before they are reaped.
  for (int i = 0; i < 200 && IsProcessRunning(copies.Name().c_str()); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_FALSE(IsProcessRunning(copies.Name().c_str()));
  for (pid_t pid : pids) EXPECT_EQ(copies.Reap(pid), SIGKILL);
}

// A path asks for the processes of that program file only: a program of the
// same name in another folder is neither found nor ended.
TEST(ProcessQuery, APathNamesOneProgramFileWhateverElseIsCalledSo) {
  SleepCopies mine;
  SleepCopies other;  // the same name, another folder
  ASSERT_EQ(mine.Name(), other.Name());
  const pid_t otherPid = other.Start();
  EXPECT_TRUE(IsProcessRunning(mine.Name().c_str()));
  EXPECT_FALSE(IsProcessRunning(mine.Path().c_str()));
  EXPECT_FALSE(IsProcessRunning((mine.Path() + "-missing").c_str()));

  const pid_t minePid = mine.Start();
  EXPECT_TRUE(IsProcessRunning(mine.Path().c_str()));
  KillProcessByName(mine.Path().c_str());
  EXPECT_EQ(mine.Reap(minePid), SIGKILL);
  EXPECT_FALSE(IsProcessRunning(mine.Path().c_str()));
  EXPECT_TRUE(IsProcessRunning(other.Path().c_str())) << "the other folder's program runs on";
  EXPECT_EQ(kill(otherPid, 0), 0);
}

TEST(ProcessQuery, MemoryOfTheOwnProcessThroughALiveWindow) {
  EXPECT_EQ(GetProcessMemoryMB(nullptr), 0.0f);
  EXPECT_EQ(GetProcessMemoryMB(reinterpret_cast<HWND>(0x7)), 0.0f);  // never registered

  QWidget widget;
  HWND window = winreg::Register(&widget);
  const float mb = GetProcessMemoryMB(window);
  EXPECT_GT(mb, 1.0f);
  EXPECT_LT(mb, 1200.0f);

  EXPECT_FALSE(IsMemoryOverLimit());  // no main window yet
  SetMainWindowHandle(window);
  EXPECT_FALSE(IsMemoryOverLimit());
  winreg::Unregister(window);
  EXPECT_EQ(GetProcessMemoryMB(window), 0.0f);
  EXPECT_FALSE(IsMemoryOverLimit());
  SetMainWindowHandle(nullptr);
}

TEST(ProcessQuery, MemoryLimitIsReachedAtExactly1200MB) {
  EXPECT_TRUE(IsOverMemoryLimit(1200.0));
  EXPECT_TRUE(IsOverMemoryLimit(1200.5));
  EXPECT_FALSE(IsOverMemoryLimit(std::nextafter(1200.0, 0.0)));
  EXPECT_FALSE(IsOverMemoryLimit(0.0));
  EXPECT_TRUE(IsOverMemoryLimit(static_cast<float>(1200.0)));
}

}  // namespace
