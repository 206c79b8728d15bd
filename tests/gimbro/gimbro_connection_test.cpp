// Connection life: going offline and back, peers that misbehave, removal,
// release, sinks, and arguments that are refused.
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <thread>

#include "gimbro_fixture.h"
#include "maker/gimbro/gimbro_link.h"
#include "maker/gimbro/gimbro_network.h"

namespace {

int NetworkThreads() {
  int count = 0;
  for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == GimbroNetwork::kThreadName) ++count;
  }
  return count;
}

}  // namespace

TEST_F(GimbroTest, KilledDeviceGoesOfflineOnceAndComesBack) {
  auto device = std::make_unique<FakeDeviceProcess>();
  const LONG id = AddOnline(*device);
  const int port = device->Port();
  device->Kill();
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_CONNECTION_LOST));
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_CONNECTION_LOST)[0].id, id);
  EXPECT_EQ(ctrl->PtzCommand(id, "<xml/>"), GIMBRO_ERR_OFFLINE);
  Pump(1000);  // several reconnection attempts fail meanwhile
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_CONNECTION_LOST), 1u);
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_UNREACHABLE), 0u);

  device = std::make_unique<FakeDeviceProcess>(port);
  ASSERT_TRUE(device->Ready());
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_OK, 2));
  EXPECT_EQ(ctrl->PtzCommand(id, "<xml/>"), GIMBRO_OK);
  EXPECT_EQ(device->Take("PTZ"), "PTZ " + Hex("<xml/>"));
}

TEST_F(GimbroTest, UnreachableDeviceIsReportedOnceThenFoundWhenItStarts) {
  int port = 0;
  {
    FakeDeviceProcess probe;  // learn a free port, then free it again
    port = probe.Port();
  }
  const LONG id = ctrl->AddDevice("127.0.0.1", port, "admin", "secret");
  ASSERT_GT(id, 0);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_UNREACHABLE));
  Pump(800);
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_UNREACHABLE), 1u);
  FakeDeviceProcess device(port);
  ASSERT_TRUE(device.Ready());
  EXPECT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_OK));
}

// A connection to a local port that nobody listens on can meet itself (the
// socket is given that port as its own): no device, and the link must not keep
// the port that the device is about to listen on.
TEST(GimbroSocket, AConnectionThatMetItselfIsToldApart) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  const quint16 port = server.serverPort();
  QTcpSocket toServer;
  toServer.connectToHost(QHostAddress::LocalHost, port);
  ASSERT_TRUE(toServer.waitForConnected(5000));
  EXPECT_FALSE(SocketMetItself(toServer));
  toServer.abort();
  server.close();

  QTcpSocket self;
  ASSERT_TRUE(self.bind(QHostAddress::LocalHost, port));
  self.connectToHost(QHostAddress::LocalHost, port);
  ASSERT_TRUE(self.waitForConnected(5000));
  EXPECT_TRUE(SocketMetItself(self));
}

TEST_F(GimbroTest, MisbehavingPeersAreDroppedAndRetried) {
  for (const char* mode : {"garbage", "close", "huge", "truncated", "silent"}) {
    SCOPED_TRACE(mode);
    sink.events.clear();
    FakeDeviceProcess device(0, {"--mode", mode});
    ASSERT_TRUE(device.Ready());
    const LONG id = ctrl->AddDevice("127.0.0.1", device.Port(), "admin", "secret");
    ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_CONNECTION_LOST));
    EXPECT_EQ(sink.Of(1)[0].id, id);
    EXPECT_FALSE(sink.Of(1)[0].text.empty());
    // It tries again, without reporting the same failure again.
    EXPECT_FALSE(device.Take("CONNECT").empty());
    EXPECT_FALSE(device.Take("CONNECT").empty());
    EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_LOGIN_OK), 0u);
    EXPECT_EQ(ctrl->WriteAUXStringEx(id, "SYSTEM_CONTROL_MESSAGE", 1012, 0, ""), GIMBRO_ERR_OFFLINE);
    // Once the device behaves, the device logs in.
    ASSERT_EQ(device.Command("mode normal"), "OK");
    EXPECT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_OK));
    EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_CONNECTION_LOST), 1u);
    EXPECT_EQ(ctrl->RemoveDevice(id), GIMBRO_OK);
  }
}

TEST_F(GimbroTest, BadFramesAfterLoginEndTheConnection) {
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  for (const char* bad : {"garbage", "rawalarm 100", "rawalarm 0"}) {
    SCOPED_TRACE(bad);
    const size_t lost = sink.Count(1, GIMBRO_STATUS_CONNECTION_LOST);
    const size_t online = sink.Count(1, GIMBRO_STATUS_LOGIN_OK);
    ASSERT_EQ(device.Command(bad), "OK 1");
    ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_CONNECTION_LOST, lost + 1));
    ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_LOGIN_OK, online + 1));
  }
  EXPECT_TRUE(sink.Of(4).empty());
  EXPECT_EQ(ctrl->PtzCommand(id, "<xml/>"), GIMBRO_OK);
}

TEST_F(GimbroTest, RemovedDeviceIsClosedAndSilent) {
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  const LONG kept = AddOnline(device);
  ASSERT_NE(id, kept);
  ASSERT_EQ(ctrl->RemoveDevice(id), GIMBRO_OK);
  EXPECT_FALSE(device.Take("CLOSED").empty());
  const size_t before = sink.events.size();
  ASSERT_EQ(device.Command("status 26 4"), "OK 1");  // only the kept connection is left
  ASSERT_TRUE(WaitFor([&] { return sink.events.size() == before + 1; }));
  EXPECT_EQ(sink.events.back().id, kept);
  EXPECT_EQ(ctrl->RemoveDevice(id), GIMBRO_ERR_UNKNOWN_DEVICE);
  EXPECT_EQ(ctrl->PtzCommand(id, "<xml/>"), GIMBRO_ERR_UNKNOWN_DEVICE);
  EXPECT_EQ(ctrl->Talk(id, 1), GIMBRO_ERR_UNKNOWN_DEVICE);
  const LONG again = ctrl->AddDevice("127.0.0.1", device.Port(), "admin", "secret");
  EXPECT_GT(again, kept);  // ids are never reused
}

TEST_F(GimbroTest, ReleaseClosesEverythingAndEndsTheThread) {
  // The thread names itself as it starts, and is gone shortly after it ended.
  EXPECT_TRUE(WaitFor([] { return NetworkThreads() == 1; }));
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  ASSERT_EQ(device.Command("status 27 1"), "OK 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the event waits in the UI queue
  const size_t before = sink.events.size();
  ASSERT_EQ(ctrl->Release(), GIMBRO_OK);
  EXPECT_TRUE(WaitFor([] { return NetworkThreads() == 0; }));
  EXPECT_FALSE(device.Take("CLOSED").empty());
  Pump(300);
  EXPECT_EQ(sink.events.size(), before);
  EXPECT_EQ(ctrl->PtzCommand(id, "<xml/>"), GIMBRO_ERR_RELEASED);
  EXPECT_EQ(ctrl->AddDevice("127.0.0.1", device.Port(), "admin", "secret"), GIMBRO_ERR_RELEASED);
  EXPECT_EQ(ctrl->Release(), GIMBRO_OK);
}

TEST_F(GimbroTest, UnadvisedSinkIsNeverCalled) {
  RecordingSink second;
  ctrl->Advise(&second);
  FakeDeviceProcess device;
  AddOnline(device);
  ASSERT_EQ(device.Command("status 26 2"), "OK 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // queued, not yet delivered
  const size_t before = sink.events.size();
  ctrl->Unadvise(&sink);
  ASSERT_TRUE(WaitFor([&] { return second.Count(1, GIMBRO_STATUS_CHANNELS_CHANGED) == 1; }));
  Pump(100);
  EXPECT_EQ(sink.events.size(), before);
}

TEST_F(GimbroTest, RefusedArguments) {
  EXPECT_EQ(ctrl->AddDevice(nullptr, 80, "a", "b"), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->AddDevice("", 80, "a", "b"), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->AddDevice("127.0.0.1", 0, "a", "b"), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->AddDevice("127.0.0.1", 65536, "a", "b"), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->AddDeviceByHost("", 80, "a", "b"), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->PtzCommand(12345, "<xml/>"), GIMBRO_ERR_UNKNOWN_DEVICE);
  EXPECT_EQ(ctrl->StartBroadcast(2, 8000, 16, 1), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->StartBroadcast(0, 8000, 16, 3), GIMBRO_ERR_ARGUMENT);

  // A device that is not reached yet: messages are refused, a talk request is
  // answered with a refusal so that nobody waits for it.
  const LONG id = ctrl->AddDeviceByHost("localhost", 1, nullptr, nullptr);
  ASSERT_GT(id, 0);
  EXPECT_EQ(ctrl->PtzCommand(id, nullptr), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->WriteAUXStringEx(id, nullptr, 1012, 0, ""), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->WriteAUXStringEx(id, "SYSTEM_CONTROL_MESSAGE", 1012, 0, nullptr), GIMBRO_ERR_OFFLINE);
  EXPECT_EQ(ctrl->Talk(id, 1), GIMBRO_ERR_OFFLINE);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_REFUSED));
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_TALK_REFUSED)[0].id, id);
  ASSERT_EQ(ctrl->StartBroadcast(0, 8000, 16, 1), GIMBRO_OK);
  EXPECT_EQ(ctrl->AddBroadcastDevice(id), GIMBRO_ERR_OFFLINE);
  EXPECT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_REFUSED, 2));
  EXPECT_TRUE(WaitStatus(GIMBRO_STATUS_UNREACHABLE));
}
