// Peers started by a test (servers, fake devices, socat) die with the test
// process, also when it dies without cleaning up (a crash, a kill by ctest's
// time-out): otherwise they hold ctest's output pipe open and a crash looks like
// a hang.
#include "common/peer_lifetime.h"

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "common/wait_for.h"

namespace {

// A process that no longer runs: gone, or a zombie left for its new parent.
bool Ended(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidText, name, state;
  if (!(stat >> pidText >> name >> state)) return true;
  return state == "Z" || state == "X";
}

}  // namespace

// Run by PeersDieWithTheTestThatStartedThem in a child process: starts a peer as
// the tests do, names its pid and waits to be killed.
TEST(PeerLifetimeChild, StartAPeerAndWait) {
  if (std::getenv("VEMO_PEER_LIFETIME_CHILD") == nullptr) GTEST_SKIP() << "run by PeersDieWithTheTestThatStartedThem";
  QProcess peer;
  DieWithParent(peer);
  peer.start("sleep", {"300"});
  ASSERT_TRUE(peer.waitForStarted(10000));
  std::printf("PEER %lld\n", static_cast<long long>(peer.processId()));
  std::fflush(stdout);
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

TEST(PeerLifetime, PeersDieWithTheTestThatStartedThem) {
  QProcess child;
  DieWithParent(child);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VEMO_PEER_LIFETIME_CHILD", "1");
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=PeerLifetimeChild.*"});
  ASSERT_TRUE(child.waitForStarted(10000));
  pid_t peer = 0;
  std::string output;
  ASSERT_TRUE(WaitFor(
      [&] {
        output += child.readAllStandardOutput().toStdString();
        const size_t at = output.find("PEER ");
        if (at == std::string::npos || output.find('\n', at) == std::string::npos) return false;
        peer = static_cast<pid_t>(std::atoll(output.c_str() + at + 5));
        return true;
      },
      60000))
      << output;
  ASSERT_GT(peer, 0);
  EXPECT_FALSE(Ended(peer));

  kill(static_cast<pid_t>(child.processId()), SIGKILL);  // dies without cleaning up
  child.waitForFinished(10000);
  const bool ended = WaitFor([&] { return Ended(peer); }, 20000);
  EXPECT_TRUE(ended) << "the peer outlived the test that started it";
  if (!ended) kill(peer, SIGKILL);
}
