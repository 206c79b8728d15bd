// The NVR link against the fake NVR: requests and replies, reconnection,
// the NVR's faults, and the link's end.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "fake_nvr_process.h"
#include "link_fixture.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/protocol/nvr_socket.h"
#include "harlen/link/sections/ipc_head_info.h"
#include "harlen/link/xml/text_codec.h"

namespace {

bool Eventually(const std::function<bool()>& done, int ms = 15000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>";

}  // namespace

TEST(NvrLink, EveryRequestGetsItsReply) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  OpenLink open(nvr.Port());
  ASSERT_EQ(open.connectResult, 0);
  CNVRMCInf& link = open.link;

  IpcHeadInfo camera{};
  std::strcpy(camera.serial, "IPC0002");
  camera.ip = StringToIp("192.168.1.10");
  const std::string ntp = ReadNvrFixture("NTP.xml");
  const std::string setTime = "<settime timezone=\"8\" year=\"2025\" month=\"1\" day=\"2\" hour=\"3\" minute=\"4\" second=\"5\" />";
  struct Case {
    const char* name;
    std::function<int()> request;
    std::string logged;  // the NVR's record of the request
    int command;
    int argument;
    std::string contains;
  };
  const std::vector<Case> cases = {
      {"channel section", [&] { return link.GetConfig(6); }, "GET 6", 4391, 6, "<channelcfg>"},
      {"whole configuration", [&] { return link.GetConfig(0); }, "GET 0", 4391, 0, "<networkparam>"},
      {"set", [&] { return link.SetConfig(14, ntp.data(), static_cast<int>(ntp.size())); },
       "SET 14 " + std::to_string(ntp.size()), 4383, -1, ""},
      {"restore", [&] { return link.RestoreDefault(); }, "RESTORE", 4385, 0, "<nvr>"},
      {"search", [&] { return link.SearchCameras(); }, "SEARCH", 4395, -1, "<ipcheadinfo "},
      {"camera", [&] { return link.SetIpcNetParam(camera); }, "IPCNET 495043303030320000", 4398, -1, ""},
      {"set time", [&] { return link.SendControl(3, setTime.data(), static_cast<int>(setTime.size())); }, "CTRL 3 ",
       4402, 3, ""},
      {"device time", [&] { return link.QueryStatus(4100); }, "CTRL 4100 ", 4402, 4100, "year=\"2025\""},
      {"disk status", [&] { return link.QueryStatus(4097); }, "CTRL 4097 ", 4402, 4097, "<disk "},
      {"stream rates", [&] { return link.QueryStatus(4098); }, "CTRL 4098 ", 4402, 4098, "kbs_main"},
      {"online users", [&] { return link.QueryStatus(4099); }, "CTRL 4099 ", 4402, 4099, "<user "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.request(), 0);
    EXPECT_FALSE(nvr.Take(c.logged).empty());
    const std::optional<NvrReply> reply = open.log.TakeAny();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->command, c.command);
    EXPECT_EQ(reply->argument, c.argument);
    EXPECT_EQ(reply->status, 0);
    if (!c.contains.empty()) {
      EXPECT_NE(reply->data.find(c.contains), std::string::npos) << reply->data;
    }
    if (c.command == 4391) {
      EXPECT_EQ(reply->data.rfind(kDeclaration, 0), 0u);
    }
  }
  // The camera record: its address bytes at offset 28 of the 88 bytes.
  ASSERT_EQ(link.SetIpcNetParam(camera), 0);
  const std::string record = nvr.Take("IPCNET ");
  ASSERT_EQ(record.size(), 7u + 176u);
  EXPECT_EQ(record.substr(7 + 56, 8), "c0a8010a");
  open.log.TakeAny();

  // Formatting a disk answers with its progress, three times.
  const std::string format = "<disk path=\"sda\" />";
  ASSERT_EQ(link.SendControl(1, format.data(), static_cast<int>(format.size())), 0);
  for (const char* value : {"value=\"0\"", "value=\"50\"", "value=\"100\""}) {
    const std::optional<NvrReply> progress = open.log.TakeAny();
    ASSERT_TRUE(progress.has_value());
    EXPECT_EQ(progress->argument, 1);
    EXPECT_NE(progress->data.find(value), std::string::npos);
  }
}

TEST(NvrLink, RequestsNeedAReadyConnectedLinkWithASendBuffer) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  CNVRMCInf link;
  EXPECT_EQ(link.Connect("127.0.0.1", static_cast<uint16_t>(nvr.Port())), -1);  // not ready
  EXPECT_EQ(link.GetConfig(6), -1);
  ASSERT_EQ(link.Init(), 0);
  EXPECT_EQ(link.Init(), 0);  // a ready link stays as it is
  EXPECT_EQ(link.GetConfig(6), -1);  // not connected
  ASSERT_EQ(link.Connect("127.0.0.1", static_cast<uint16_t>(nvr.Port())), 0);
  EXPECT_EQ(link.QueryStatus(4100), -1);  // no send buffer
  link.GiveSendBuffer();
  EXPECT_EQ(link.QueryStatus(4100), 0);
  EXPECT_FALSE(nvr.Take("CTRL 4100").empty());
  EXPECT_EQ(nvr.Count("CTRL"), 0);  // exactly one request went out
}

TEST(NvrLink, ConnectsByNameAndKeepsTheDottedText) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  OpenLink open(nvr.Port(), "localhost");
  EXPECT_EQ(open.connectResult, 0);
  EXPECT_EQ(open.link.HostText(), "127.0.0.1");
  // A name that does not resolve fails and leaves the kept text as it was.
  EXPECT_EQ(open.link.Connect("no-such-host.invalid", static_cast<uint16_t>(nvr.Port())), -4);
  EXPECT_EQ(open.link.HostText(), "127.0.0.1");
  // The link then reconnects to the kept address by itself.
  EXPECT_TRUE(Eventually([&] { return open.link.IsConnected(); }));
}

TEST(NvrLink, RefusedConnectionIsReportedAndRetriedInTheBackground) {
  int port;
  {
    FakeNvrProcess first;
    ASSERT_TRUE(first.Ready());
    port = first.Port();
  }  // nothing listens on the port any more
  OpenLink open(port);
  EXPECT_EQ(open.connectResult, -4);
  EXPECT_EQ(open.link.GetConfig(1), -1);
  FakeNvrProcess nvr(port);
  ASSERT_TRUE(nvr.Ready());
  ASSERT_TRUE(Eventually([&] { return open.link.IsConnected(); }));
  ASSERT_EQ(open.link.GetConfig(1), 0);
  EXPECT_TRUE(open.log.Take(IsReply(4391, 1)).has_value());
}

TEST(NvrLink, ReconnectsWhenTheNvrClosesTheConnection) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  OpenLink open(nvr.Port());
  ASSERT_EQ(open.connectResult, 0);
  EXPECT_FALSE(nvr.Take("CONNECT").empty());
  EXPECT_EQ(nvr.Command("drop"), "OK 1");
  EXPECT_FALSE(nvr.Take("CONNECT").empty());
  ASSERT_TRUE(Eventually([&] { return open.link.IsConnected(); }));
  ASSERT_EQ(open.link.GetConfig(2), 0);
  EXPECT_TRUE(open.log.Take(IsReply(4391, 2)).has_value());
}

// Every fault of the NVR: the link neither crashes nor hangs, and it either
// delivers what the protocol allows or drops the frame and goes on.
TEST(NvrLink, FaultsOfTheNvr) {
  enum class Expect { kDelivered, kDropped, kDroppedAndReconnected, kDeliveredThenReconnected };
  struct Case {
    QStringList mode;
    Expect expect;
    int status;
    int argument;
  };
  const std::vector<Case> cases = {
      {{"stray", "5"}, Expect::kDelivered, 0, 1},
      {{"split", "64", "60"}, Expect::kDelivered, 0, 1},
      {{"status", "5"}, Expect::kDelivered, 5, 1},
      {{"missing", "19"}, Expect::kDelivered, 0, -1},
      {{"missing", "20"}, Expect::kDropped, 0, 0},
      {{"badlength"}, Expect::kDropped, 0, 0},
      {{"silent"}, Expect::kDropped, 0, 0},
      {{"oversize"}, Expect::kDroppedAndReconnected, 0, 0},
      {{"closeafter", "1"}, Expect::kDeliveredThenReconnected, 0, 1},
  };
  const std::string common = ReadNvrFixture("common.xml");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode.join(' ').toStdString());
    FakeNvrProcess nvr(0, QStringList{"--mode"} + c.mode);
    ASSERT_TRUE(nvr.Ready());
    OpenLink open(nvr.Port());
    ASSERT_EQ(open.connectResult, 0);
    ASSERT_FALSE(nvr.Take("CONNECT").empty());
    ASSERT_EQ(open.link.GetConfig(1), 0);
    ASSERT_FALSE(nvr.Take("GET 1").empty());
    if (c.expect == Expect::kDelivered || c.expect == Expect::kDeliveredThenReconnected) {
      const std::optional<NvrReply> reply = open.log.TakeAny();
      ASSERT_TRUE(reply.has_value());
      EXPECT_EQ(reply->command, 4391);
      EXPECT_EQ(reply->status, c.status);
      EXPECT_EQ(reply->argument, c.argument);
      EXPECT_EQ(reply->data, common);
    }
    if (c.expect == Expect::kDroppedAndReconnected || c.expect == Expect::kDeliveredThenReconnected) {
      EXPECT_FALSE(nvr.Take("CONNECT").empty());  // the link came back on a new connection
    }
    ASSERT_EQ(nvr.Command("mode normal"), "OK");
    ASSERT_TRUE(Eventually([&] { return open.link.IsConnected() && open.link.GetConfig(2) == 0; }));
    // The next reply is the one asked for now: a dropped reply never shows up later.
    const std::optional<NvrReply> next = open.log.TakeAny();
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(next->argument, 2);
    EXPECT_EQ(open.log.Size(), 0u);
  }
}

TEST(NvrLink, UnsolicitedFramesAreDeliveredWhenTheTableKnowsThem) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  OpenLink open(nvr.Port());
  ASSERT_EQ(open.connectResult, 0);
  ASSERT_FALSE(nvr.Take("CONNECT").empty());
  for (const char* kind : {"config", "unknown", "noheader", "ack"}) {
    EXPECT_EQ(nvr.Command(std::string("push ") + kind), "OK 1");
  }
  ASSERT_EQ(open.link.GetConfig(2), 0);
  std::vector<int> commands;
  for (int i = 0; i < 3; ++i) {
    const std::optional<NvrReply> reply = open.log.TakeAny();
    ASSERT_TRUE(reply.has_value());
    commands.push_back(reply->command);
  }
  EXPECT_EQ(commands, (std::vector<int>{4391, 4383, 4391}));
  EXPECT_EQ(open.log.Size(), 0u);
}

TEST(NvrLink, SeveralLinksToOneNvrEachGetTheirOwnReplies) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  OpenLink first(nvr.Port());
  OpenLink second(nvr.Port());
  ASSERT_EQ(first.connectResult, 0);
  ASSERT_EQ(second.connectResult, 0);
  EXPECT_FALSE(nvr.Take("CONNECT").empty());
  EXPECT_FALSE(nvr.Take("CONNECT").empty());
  EXPECT_EQ(nvr.Command("connections"), "OK 2");
  ASSERT_EQ(first.link.GetConfig(1), 0);
  ASSERT_EQ(second.link.GetConfig(2), 0);
  EXPECT_TRUE(first.log.Take(IsReply(4391, 1)).has_value());
  EXPECT_TRUE(second.log.Take(IsReply(4391, 2)).has_value());
  EXPECT_EQ(first.log.Size() + second.log.Size(), 0u);
}

TEST(NvrLink, RequestLargerThanTheSendBufferIsRefused) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  OpenLink open(nvr.Port());
  ASSERT_EQ(open.connectResult, 0);
  const std::string huge(NVRMC_SEND_BUFFER_SIZE, 'x');
  EXPECT_EQ(open.link.SetConfig(6, huge.data(), static_cast<int>(huge.size())), -1);
  EXPECT_EQ(open.link.SendControl(1, huge.data(), static_cast<int>(huge.size())), -1);
  // A frame that just fits goes out whole.
  const std::string fits(NVRMC_SEND_BUFFER_SIZE - 12 - 48 - 12 - 8 - 8, 'y');
  EXPECT_EQ(open.link.SetConfig(99, fits.data(), static_cast<int>(fits.size())), 0);
  EXPECT_FALSE(nvr.Take("SET 99 " + std::to_string(fits.size())).empty());
  ASSERT_EQ(open.link.GetConfig(6), 0);
  EXPECT_TRUE(open.log.Take(IsReply(4391, 6)).has_value());
}

TEST(NvrLink, RequestsWhileTheConnectionComesAndGoesAreSafe) {
  FakeNvrProcess nvr(0, {"--mode", "closeafter", "1"});
  ASSERT_TRUE(nvr.Ready());
  OpenLink open(nvr.Port());
  ASSERT_EQ(open.connectResult, 0);
  int sent = 0;
  for (int i = 0; i < 300; ++i) {
    const int result = open.link.GetConfig(1);
    ASSERT_TRUE(result == 0 || result == -1 || result == -2) << result;
    sent += result == 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_GT(sent, 0);
  // Once the NVR keeps its connections, a request gets its reply again (the
  // connection in use may still be one the NVR has just closed: ask again).
  ASSERT_EQ(nvr.Command("mode normal"), "OK");
  EXPECT_TRUE(Eventually([&] {
    return open.link.GetConfig(17) == 0 && open.log.Take(IsReply(4391, 17), 1000).has_value();
  }));
}

TEST(NvrLink, DeletingTheLinkEndsItsThreadAndItsCallbacks) {
  // Connected to a silent NVR, and reconnecting to an NVR that is gone.
  for (bool nvrGone : {false, true}) {
    SCOPED_TRACE(nvrGone);
    FakeNvrProcess nvr(0, {"--mode", "silent"});
    ASSERT_TRUE(nvr.Ready());
    ReplyLog log;
    auto link = std::make_unique<CNVRMCInf>();
    link->Init();
    link->GiveSendBuffer();
    ASSERT_EQ(link->Connect("127.0.0.1", static_cast<uint16_t>(nvr.Port())), 0);
    link->SetReplyCallback(&ReplyLog::Callback, &log);
    ASSERT_EQ(link->GetConfig(1), 0);
    if (nvrGone) {
      nvr.Stop();
      ASSERT_TRUE(Eventually([&] { return !link->IsConnected(); }));
    }
    link.reset();
    EXPECT_EQ(log.Size(), 0u);
  }
}

// A link that keeps reconnecting to a closed local port can be handed that very
// port as its own and connect to itself; such a socket is told apart from an NVR.
TEST(NvrLink, ASocketConnectedToItselfIsNoConnection) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in self{};
  self.sin_family = AF_INET;
  self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof self), 0);
  socklen_t length = sizeof self;
  ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&self), &length), 0);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&self), sizeof self), 0) << "simultaneous open with itself";
  EXPECT_TRUE(nvr_socket::ConnectedToItself(fd));
  close(fd);

  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  const int other = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  peer.sin_port = htons(static_cast<uint16_t>(nvr.Port()));
  ASSERT_EQ(connect(other, reinterpret_cast<sockaddr*>(&peer), sizeof peer), 0);
  EXPECT_FALSE(nvr_socket::ConnectedToItself(other));
  close(other);
}
