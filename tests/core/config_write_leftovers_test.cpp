// A save cut off by the end of its process leaves its temporary beside the
// file ("<file>.tmp<pid>-<n>"); the file's next save removes such leftovers,
// and nothing else: not another file's, not one of a process still running,
// not a name that only looks alike.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

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

// The real thing: a writer ended by the system in the middle of its write (a
// file-size limit: SIGXFSZ) leaves its temporary; the next save removes it.
TEST_F(ConfigWriteLeftoversTest, AWriterKilledMidSaveLeavesNothingAfterTheNextSave) {
  LoadDevInfo();
  for (int i = 0; i < 200; ++i) {  // a file well over the limit below
    DevInfo& dev = g_lstDevInfo.emplace_back();
    std::fill(dev.DevName, dev.DevName + sizeof dev.DevName - 1, 'n');
  }
  SaveDevInfo();
  auto leftovers = [&] {
    int count = 0;
    for (const std::string& name : ConfigEntries()) count += name.find(".tmp") != std::string::npos;
    return count;
  };
  ASSERT_EQ(leftovers(), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    SaveDevInfo();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
  ASSERT_EQ(leftovers(), 1) << "the killed writer's temporary";
  SaveDevInfo();
  EXPECT_EQ(leftovers(), 0);
  EXPECT_EQ(LoadDevInfo(), 0);
}
