// A save cut off by the end of its process leaves its temporary beside the
// file ("<file>.tmp<pid>-<n>"); the file's next save removes such leftovers,
// and nothing else: not another file's, not one of a process still running,
// not a name that only looks alike.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "core/dev_info_store.h"
#include "tests/core/config_test_env.h"

namespace {

class ConfigWriteLeftoversTest : public ConfigTest {
 protected:
  std::set<std::string> ConfigEntries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.File("Config"))) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  // A process id that no process has any more: a child that has ended and was reaped.
  static pid_t EndedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
  }
};

}  // namespace

TEST_F(ConfigWriteLeftoversTest, TheNextSaveRemovesOnlyTheFilesOwnLeftovers) {
  LoadDevInfo();  // writes the default file, which a save rewrites
  const std::string ended = std::to_string(EndedProcess());
  const std::string self = std::to_string(getpid());
  const char* const left[] = {"DevInfo.xml.tmp", "DevInfo.xml.tmp-1", "DevInfo.xml.tmpx-1", "DevInfo.xml.bad"};
  const std::string kept[] = {
      "DevInfo.xml.tmp" + ended,              // no write number
      "DevInfo.xml.tmp" + ended + "-",        //
      "DevInfo.xml.tmp" + ended + "-2x",      // not a number
      "DevInfo.xml.tmp" + ended + "-2.bak",   //
      "xDevInfo.xml.tmp" + ended + "-2",      // another file's name
      "UserInfo.xml.tmp" + ended + "-2",      // another file's leftover: its own save removes it
      "DevInfo.xml.tmp1-2",                   // process 1 still runs: its write may be going on
      "DevInfo.tmp" + ended + "-2",
  };
  const std::string stale[] = {
      "DevInfo.xml.tmp" + ended + "-0",
      "DevInfo.xml.tmp" + ended + "-41",
      "DevInfo.xml.tmp" + self + "-999999",   // this process's number, but no write of it is going on
  };
  for (const char* name : left) WriteBytes(ConfigFile(name), "x");
  for (const std::string& name : kept) WriteBytes(ConfigFile(name), "x");
  for (const std::string& name : stale) WriteBytes(ConfigFile(name), "x");
  std::filesystem::create_directory(ConfigFile("DevInfo.xml.tmp" + ended + "-7"));  // a folder is no leftover
  const std::set<std::string> before = ConfigEntries();

  SaveDevInfo();
  std::set<std::string> expected = before;
  for (const std::string& name : stale) expected.erase(name);
  EXPECT_EQ(ConfigEntries(), expected);
  EXPECT_EQ(LoadDevInfo(), 0);  // the saved file itself is whole
}

// The real thing: writers killed while they save until one of them leaves its
// temporary; the next save of the file removes it.
TEST_F(ConfigWriteLeftoversTest, AWriterKilledMidSaveLeavesNothingAfterTheNextSave) {
  LoadDevInfo();
  for (int i = 0; i < 4000; ++i) {  // a file of some megabytes: its writing takes a while
    DevInfo& dev = g_lstDevInfo.emplace_back();
    std::fill(dev.DevName, dev.DevName + sizeof dev.DevName - 1, 'n');
    std::fill(dev.DevSN, dev.DevSN + sizeof dev.DevSN - 1, 's');
  }
  const auto started = std::chrono::steady_clock::now();
  SaveDevInfo();
  const auto oneSave = std::chrono::steady_clock::now() - started;
  auto leftovers = [&] {
    int count = 0;
    for (const std::string& name : ConfigEntries()) count += name.find(".tmp") != std::string::npos;
    return count;
  };
  int round = 0;
  for (; round < 200 && leftovers() == 0; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) SaveDevInfo();
    }
    // Kills spread over the child's first saves: some land in the writing.
    std::this_thread::sleep_for(oneSave * (1 + round % 10) / 4);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
  }
  ASSERT_GT(leftovers(), 0) << "no kill landed in a write in " << round << " rounds";
  SaveDevInfo();
  EXPECT_EQ(leftovers(), 0);
  EXPECT_EQ(LoadDevInfo(), 0);
}
