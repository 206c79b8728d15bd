#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "core/client_log.h"
#include "core/client_log_testing.h"

namespace {

constexpr size_t kPrefixLength = 29;  // "[Vemo2]:" + 19-character stamp + two blanks
const std::regex kLinePattern(
    R"(\[Vemo2\]:(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) )"
    R"([ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9]  )");

// The program passes Windows-form paths; an absolute folder without a drive
// letter maps straight onto the same native folder.
std::string WindowsForm(std::string native) {
  for (char& c : native) {
    if (c == '/') c = '\\';
  }
  return native;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A UDP socket on 127.0.0.1 standing in for the log viewer.
class Listener {
 public:
  Listener() {
    fd_ = socket(AF_INET, SOCK_DGRAM, 0);
    int size = 4 << 20;
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    SetTimeout(2000);
  }
  ~Listener() { close(fd_); }

  uint16_t Port() const { return port_; }

  void SetTimeout(int ms) {
    timeval tv {ms / 1000, (ms % 1000) * 1000};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  }

  // One datagram, or false on time-out.
  bool Receive(std::string& data, uint16_t* sourcePort = nullptr) {
    std::vector<char> buffer(65536);
    sockaddr_in from {};
    socklen_t length = sizeof from;
    ssize_t n = recvfrom(fd_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return false;
    data.assign(buffer.data(), static_cast<size_t>(n));
    if (sourcePort) *sourcePort = ntohs(from.sin_port);
    return true;
  }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

class ClientLog : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseLogFile();
    SetLogDatagramPortForTest(listener_.Port());
  }
  void TearDown() override { CloseLogFile(); }

  std::string LogPath() const { return folder_.File("clientlog.txt"); }
  int Open() { return OpenLogFile(WindowsForm(LogPath()).c_str()); }

  TempFolder folder_;
  Listener listener_;
};

TEST_F(ClientLog, LineGoesToFileAndAsOneDatagramFromOneSocket) {
  ASSERT_EQ(Open(), 0);
  WriteLog(6, "CVistarelApp: Login cancel %d", 7);
  WriteLog(6, "%s", "second");

  const std::string file = ReadFile(LogPath());
  const size_t firstEnd = file.find('\n') + 1;
  const std::string first = file.substr(0, firstEnd);
  EXPECT_TRUE(std::regex_search(first, kLinePattern, std::regex_constants::match_continuous)) << first;
  EXPECT_EQ(first.substr(kPrefixLength), "CVistarelApp: Login cancel 7\n");
  EXPECT_EQ(file.substr(firstEnd + kPrefixLength), "second\n");
  EXPECT_EQ(LogFileSizeForTest(), static_cast<long>(file.size()));

  std::string datagram, next;
  uint16_t port1 = 0, port2 = 0;
  ASSERT_TRUE(listener_.Receive(datagram, &port1));
  ASSERT_TRUE(listener_.Receive(next, &port2));
  EXPECT_EQ(datagram, first);  // exactly the line: no terminating zero
  EXPECT_EQ(datagram + next, file);
  EXPECT_EQ(port1, port2);
}

TEST_F(ClientLog, LevelMasks) {
  ASSERT_EQ(Open(), 0);
  WriteLog(0, "never");
  for (unsigned mask : {6u, 3u, 5u, 2u, static_cast<unsigned>(-2)}) WriteLog(mask, "mask %d", static_cast<int>(mask));
  const std::string file = ReadFile(LogPath());
  EXPECT_EQ(file.find("never"), std::string::npos);
  for (const char* text : {"mask 6\n", "mask 3\n", "mask 5\n", "mask 2\n", "mask -2\n"}) {
    EXPECT_NE(file.find(text), std::string::npos) << text;
    std::string datagram;
    ASSERT_TRUE(listener_.Receive(datagram));
    EXPECT_EQ(datagram.substr(kPrefixLength), text);
  }
}

TEST_F(ClientLog, LongMessagesAreWholeOrCutWithTheLineIntact) {
  ASSERT_EQ(Open(), 0);
  const std::string whole(5000, 'w');
  const std::string huge(20000, 'h');
  // GBK text cut at the limit keeps whole characters: "ab" + pairs puts the
  // limit in the middle of a pair.
  std::string chinese = "ab";
  for (int i = 0; i < 5000; ++i) chinese += "\xC4\xEA";
  WriteLog(6, "%s", whole.c_str());
  WriteLog(6, "%s", huge.c_str());
  WriteLog(6, "%s", chinese.c_str());

  std::string lines[3];
  for (std::string& line : lines) ASSERT_TRUE(listener_.Receive(line));
  EXPECT_EQ(ReadFile(LogPath()), lines[0] + lines[1] + lines[2]);

  EXPECT_EQ(lines[0].substr(kPrefixLength), whole + "\n");
  EXPECT_EQ(lines[1].size(), 5119u);
  EXPECT_TRUE(std::regex_search(lines[1], kLinePattern, std::regex_constants::match_continuous));
  EXPECT_EQ(lines[1].substr(kPrefixLength), huge.substr(0, 5119 - kPrefixLength - 1) + "\n");
  EXPECT_EQ(lines[2].substr(kPrefixLength), chinese.substr(0, 5088) + "\n");
}

TEST_F(ClientLog, InvalidGbkBytesReachBothSinks) {
  ASSERT_EQ(Open(), 0);
  WriteLog(6, "bad \xFF\x80\x81 tail \x81");
  std::string datagram;
  ASSERT_TRUE(listener_.Receive(datagram));
  EXPECT_EQ(datagram.substr(kPrefixLength), "bad \xFF\x80\x81 tail \x81\n");
  EXPECT_EQ(ReadFile(LogPath()), datagram);
}

TEST_F(ClientLog, OpenAndCloseResults) {
  EXPECT_EQ(CloseLogFile(), -3);
  {
    std::ofstream existing(LogPath());
    existing << "earlier\n";
  }
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(LogFileSizeForTest(), 8);  // appends after what is there
  EXPECT_EQ(Open(), -1);
  EXPECT_EQ(CloseLogFile(), 0);
  EXPECT_EQ(CloseLogFile(), -3);

  // A size that cannot be read (a pipe) leaves the file closed, not half open.
  const std::string fifo = folder_.File("pipe.txt");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(OpenLogFile(WindowsForm(fifo).c_str()), -4);
  EXPECT_EQ(CloseLogFile(), -3);
  EXPECT_EQ(Open(), 0);
}

TEST_F(ClientLog, UnwritableFolderStillSendsDatagrams) {
  const std::string missing = folder_.File("no-such-folder/clientlog.txt");
  EXPECT_EQ(OpenLogFile(WindowsForm(missing).c_str()), -2);
  EXPECT_EQ(OpenLogFile(WindowsForm(folder_.Path()).c_str()), -2);  // a folder, not a file
  WriteLog(6, "still %s", "sent");
  std::string datagram;
  ASSERT_TRUE(listener_.Receive(datagram));
  EXPECT_EQ(datagram.substr(kPrefixLength), "still sent\n");
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(CloseLogFile(), -3);
}

TEST_F(ClientLog, FailedSendsNeverStopTheFileAndTheSocketComesBack) {
  ASSERT_EQ(Open(), 0);
  uint16_t closedPort;
  {
    Listener gone;
    closedPort = gone.Port();
  }
  SetLogDatagramPortForTest(closedPort);  // nobody listens
  WriteLog(6, "one");
  WriteLog(6, "two");
  SetLogDatagramPortForTest(0);  // every send fails: the socket is dropped each time
  WriteLog(6, "three");
  WriteLog(6, "four");
  SetLogDatagramPortForTest(listener_.Port());
  WriteLog(6, "five");

  std::string file = ReadFile(LogPath());
  size_t at = 0;
  for (const char* text : {"one\n", "two\n", "three\n", "four\n", "five\n"}) {
    EXPECT_EQ(file.substr(at + kPrefixLength, strlen(text)), text);
    at += kPrefixLength + strlen(text);
  }
  std::string datagram;
  ASSERT_TRUE(listener_.Receive(datagram));
  EXPECT_EQ(datagram.substr(kPrefixLength), "five\n");
}

std::vector<std::string> RolledFiles(const std::string& folder) {
  std::vector<std::string> names;
  const std::regex pattern(R"(clientlog-\d\d-\d\d-\d\d-\d\d-\d\d-\d\d(-\d+)?\.txt)");
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (std::regex_match(name, pattern)) names.push_back(name);
  }
  return names;
}

TEST_F(ClientLog, RollsOverAtTenMegabytes) {
  strcpy(g_szCurUser, "operator1");
  ASSERT_EQ(Open(), 0);
  const std::string big(5000, 'x');
  const size_t lineLength = kPrefixLength + big.size() + 1;
  const size_t linesToRoll = (10485760 + lineLength - 1) / lineLength;
  for (size_t i = 1; i < linesToRoll; ++i) WriteLog(6, "%s", big.c_str());
  EXPECT_EQ(LogFileSizeForTest(), static_cast<long>((linesToRoll - 1) * lineLength));
  EXPECT_TRUE(RolledFiles(folder_.Path()).empty());

  WriteLog(6, "%s", big.c_str());  // crosses the limit
  EXPECT_EQ(LogFileSizeForTest(), 0);
  const std::vector<std::string> rolled = RolledFiles(folder_.Path());
  ASSERT_EQ(rolled.size(), 1u);
  const std::string old = ReadFile(folder_.File(rolled[0]));
  const std::string marker = "================= LOGIN USER : operator1=================\r\n";
  EXPECT_EQ(old.size(), linesToRoll * lineLength + marker.size());
  EXPECT_EQ(old.substr(old.size() - marker.size() - 5001), big + "\n" + marker);
  EXPECT_EQ(std::filesystem::file_size(LogPath()), 0u);

  WriteLog(6, "fresh");
  const std::string fresh = ReadFile(LogPath());
  EXPECT_EQ(fresh.substr(kPrefixLength), "fresh\n");
  EXPECT_EQ(LogFileSizeForTest(), static_cast<long>(fresh.size()));
  g_szCurUser[0] = '\0';
}

// Two roll-overs within one second would give the same stamped name; no line
// may be lost to a rename over the earlier file.
TEST_F(ClientLog, QuickRollOversLoseNoLine) {
  ASSERT_EQ(Open(), 0);
  const std::string big(5000, 'y');
  const int lines = 2 * 10485760 / 5030 + 10;
  for (int i = 0; i < lines; ++i) WriteLog(6, "%s", big.c_str());
  std::vector<std::string> files = RolledFiles(folder_.Path());
  EXPECT_GE(files.size(), 1u);
  files.push_back("clientlog.txt");
  size_t count = 0;
  for (const std::string& name : files) {
    const std::string text = ReadFile(folder_.File(name));
    for (size_t at = text.find("[Vemo2]:"); at != std::string::npos; at = text.find("[Vemo2]:", at + 1)) ++count;
  }
  EXPECT_EQ(count, static_cast<size_t>(lines));
}

// The stamped name is taken (an earlier roll-over in the same second): the file
// rolls to the next free name, so the new file and its size count agree.
TEST_F(ClientLog, ARollOverOntoATakenNameKeepsTheCountTrue) {
  // Every name the next seconds could stamp is taken already.
  const time_t now = time(nullptr);
  std::vector<std::string> taken;
  for (time_t t = now; t < now + 30; ++t) {
    struct tm local {};
    localtime_r(&t, &local);
    char name[64];
    snprintf(name, sizeof name, "clientlog-%02d-%02d-%02d-%02d-%02d-%02d.txt", local.tm_year - 100,
             local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    std::ofstream(folder_.File(name)) << "earlier";
    taken.push_back(name);
  }
  ASSERT_EQ(Open(), 0);
  const std::string big(5000, 'z');
  const int lines = 10485760 / 5030 + 10;
  for (int i = 0; i < lines; ++i) WriteLog(6, "%s", big.c_str());
  EXPECT_EQ(static_cast<uintmax_t>(LogFileSizeForTest()), std::filesystem::file_size(LogPath()));
  EXPECT_LT(std::filesystem::file_size(LogPath()), 10485760u);
  for (const std::string& name : taken) EXPECT_EQ(ReadFile(folder_.File(name)), "earlier") << name;
  EXPECT_EQ(RolledFiles(folder_.Path()).size(), taken.size() + 1);
}

TEST_F(ClientLog, ThreadsWriteWholeLines) {
  ASSERT_EQ(Open(), 0);
  constexpr int kThreads = 8, kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      const std::string filler(300 + t, static_cast<char>('a' + t));
      for (int i = 0; i < kLines; ++i) WriteLog(6, "thread %d line %d %s", t, i, filler.c_str());
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::ifstream in(LogPath());
  std::string line;
  std::vector<int> next(kThreads, 0);
  int total = 0;
  while (std::getline(in, line)) {
    int t = -1, i = -1;
    ASSERT_EQ(sscanf(line.c_str() + kPrefixLength, "thread %d line %d", &t, &i), 2) << line;
    ASSERT_TRUE(t >= 0 && t < kThreads);
    EXPECT_EQ(i, next[t]++);
    const std::string filler(300 + t, static_cast<char>('a' + t));
    EXPECT_EQ(line.substr(line.size() - filler.size() - 1), " " + filler);
    ++total;
  }
  EXPECT_EQ(total, kThreads * kLines);
}

}  // namespace
