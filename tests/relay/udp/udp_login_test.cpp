// The UDP login against the fake login server, with the thread's clock in the
// test's hands.
#include <gtest/gtest.h>

#include <QByteArray>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "common/wait_for.h"
#include "relay/relay_messages.h"
#include "relay/udp/udp_login.h"
#include "relay/udp/udp_login_retry.h"
#include "relay/udp/udp_packet.h"
#include "tests/live/message_window.h"
#include "udp_login_server_process.h"

namespace {

QByteArray Bytes(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

TEST(UdpPacket, LoginAndKeepAliveBytes) {
  const udplogin::LoginPacket login = udplogin::BuildLoginPacket("alice", "E10ADC3949BA59ABBE56E057F20F883E");
  EXPECT_EQ(Bytes(login.data(), login.size()),
            Hex("726e7671" "40000000" "1000" "0500" "00000000"
                "616c696365000000000000000000000000000000000000000000000000000000"
                "4531304144433339343942413539414242453536453035374632304638383345"));

  // A 40-character name sends its first 32 bytes, without a terminator.
  const std::string longName(32, 'n');
  const udplogin::LoginPacket cut = udplogin::BuildLoginPacket((longName + "XXXXXXXX").c_str(), nullptr);
  EXPECT_EQ(Bytes(cut.data() + 16, 32), QByteArray(longName.c_str()));
  EXPECT_EQ(Bytes(cut.data() + 48, 32), QByteArray(32, '\0'));

  const udplogin::KeepAlivePacket keepAlive = udplogin::BuildKeepAlivePacket(0x11223344, 0x55667788);
  EXPECT_EQ(Bytes(keepAlive.data(), keepAlive.size()),
            Hex("726e7671" "08000000" "1000" "0900" "00000000" "44332211" "88776655"));
}

TEST(UdpPacket, ReceivedDatagramsByCommandAndLength) {
  auto packet = [](uint16_t command, size_t size) {
    std::vector<uint8_t> bytes(size, 0);
    if (size >= 12) {
      bytes[10] = static_cast<uint8_t>(command);
      bytes[11] = static_cast<uint8_t>(command >> 8);
    }
    if (size >= 32) {
      bytes[16] = 9;                                    // result
      bytes[24] = 0x44, bytes[25] = 0x33, bytes[26] = 0x22, bytes[27] = 0x11;  // session 1
      bytes[28] = 0x88;                                 // session 2
    }
    return bytes;
  };
  struct Case {
    uint16_t command;
    size_t size;
    udplogin::Datagram::Kind kind;
  };
  using D = udplogin::Datagram;
  for (const Case& c : {Case{2, 1231, D::kIgnored}, Case{2, 1232, D::kNotice}, Case{2, 1500, D::kNotice},
                        Case{6, 159, D::kIgnored}, Case{6, 160, D::kLoginAnswer}, Case{10, 16, D::kKeepAliveAnswer},
                        Case{10, 15, D::kIgnored}, Case{9, 24, D::kIgnored}, Case{0xFFFF, 1500, D::kIgnored},
                        Case{2, 0, D::kIgnored}}) {
    const std::vector<uint8_t> bytes = packet(c.command, c.size);
    EXPECT_EQ(udplogin::ReadDatagram(bytes.data(), bytes.size()).kind, c.kind) << c.command << " / " << c.size;
  }
  const std::vector<uint8_t> answer = packet(6, 160);
  const D read = udplogin::ReadDatagram(answer.data(), answer.size());
  EXPECT_EQ(read.result, 9u);
  EXPECT_EQ(read.session1, 0x11223344u);
  EXPECT_EQ(read.session2, 0x88u);
  EXPECT_EQ(udplogin::ReadDatagram(nullptr, 100).kind, D::kIgnored);
}

// A login thread on a clock the test moves, reporting to a window.
class UdpLoginTest : public testing::Test {
 protected:
  void Start(int port, const char* host = "127.0.0.1") {
    login_ = std::make_unique<CUdpLogin>("alice", "E10ADC3949BA59ABBE56E057F20F883E", host, port);
    login_->SetNotifyWnd(window_.GetSafeHwnd());
    login_->SetTickSource([this] { return static_cast<DWORD>(now_.load()); });
    ASSERT_TRUE(login_->Start());
  }
  std::vector<WPARAM> Statuses() const {
    std::vector<WPARAM> statuses;
    for (const ReceivedMessage& m : window_.received) {
      if (m.msg == WM_UDP_LOGIN_STATUS) statuses.push_back(m.wParam);
    }
    return statuses;
  }
  bool Running() {
    DWORD code = 0;
    return login_->GetExitCode(&code) && code == STILL_ACTIVE;
  }
  // Moves the clock and lets the thread see it.
  void At(uint32_t ms) {
    now_ = ms;
    DeliverFor(150);
  }
  static void DeliverFor(int ms) {
    WaitFor([] { return false; }, ms);
  }

  std::atomic<uint32_t> now_{1000};
  MessageWindow window_;
  std::unique_ptr<CUdpLogin> login_;
};

TEST_F(UdpLoginTest, SilentServerEndsTheSessionWithStatus6AfterTwoKeepAlives) {
  UdpLoginServerProcess server("silent");
  ASSERT_GT(server.Port(), 0);
  now_ = 0xFFFFF000u;  // the tick counter wraps during the session
  Start(server.Port());
  ASSERT_EQ(server.WaitReceived(1).size(), 1u);
  const udplogin::LoginPacket login = udplogin::BuildLoginPacket("alice", "E10ADC3949BA59ABBE56E057F20F883E");
  EXPECT_EQ(server.Received()[0], Bytes(login.data(), login.size()));

  At(0xFFFFF000u + 6999);
  EXPECT_EQ(server.Received().size(), 1u) << "no keep-alive before 7 s";
  At(0xFFFFF000u + 7000);
  ASSERT_EQ(server.WaitReceived(2).size(), 2u);
  EXPECT_EQ(server.Received()[1], Hex("726e7671080000001000090000000000" "0000000000000000"))
      << "session words stay 0 without a login answer";
  At(0xFFFFF000u + 14000);
  ASSERT_EQ(server.WaitReceived(3).size(), 3u);
  At(0xFFFFF000u + 14999);
  EXPECT_TRUE(Statuses().empty());
  EXPECT_TRUE(Running());
  now_ = 0xFFFFF000u + 15000;
  ASSERT_TRUE(WaitFor([&] { return !Statuses().empty(); }));
  EXPECT_EQ(Statuses(), std::vector<WPARAM>{6});
  EXPECT_TRUE(WaitFor([&] { return !Running(); })) << "the thread ends after status 6";
  EXPECT_EQ(server.Received().size(), 3u);
  EXPECT_FALSE(login_->IsLoggedIn());
}

TEST_F(UdpLoginTest, AcceptedLoginSendsTheSessionWordsAndAnswersKeepItAlive) {
  UdpLoginServerProcess server("accept");
  ASSERT_GT(server.Port(), 0);
  Start(server.Port());
  ASSERT_EQ(server.WaitReceived(1).size(), 1u);
  ASSERT_TRUE(WaitFor([&] { return login_->IsLoggedIn(); }));
  At(8000);
  ASSERT_EQ(server.WaitReceived(2).size(), 2u);
  EXPECT_EQ(server.Received()[1], Hex("726e7671080000001000090000000000" "4433221188776655"));
  // The notice goes out behind the keep-alive answer: once it arrived, the
  // answer was taken at 8000.
  ASSERT_EQ(server.Command("notice 7 100001001 x"), "OK");
  ASSERT_TRUE(WaitFor([&] { return window_.received.size() == 1; }));
  ASSERT_EQ(server.Command("answers off"), "OK");
  At(22999);  // 22 s after the login, 14999 ms after the answer
  EXPECT_TRUE(Statuses().empty());
  EXPECT_TRUE(Running());
  now_ = 23000;
  ASSERT_TRUE(WaitFor([&] { return !Statuses().empty(); }));
  EXPECT_EQ(Statuses(), std::vector<WPARAM>{6});
}

TEST_F(UdpLoginTest, RefusedLoginPostsStatus7AndTheSessionGoesOn) {
  UdpLoginServerProcess server("refuse");
  ASSERT_GT(server.Port(), 0);
  Start(server.Port());
  ASSERT_TRUE(WaitFor([&] { return !Statuses().empty(); }));
  EXPECT_EQ(Statuses(), std::vector<WPARAM>{7});
  DeliverFor(100);
  EXPECT_TRUE(Running());
  EXPECT_FALSE(login_->IsLoggedIn());
  login_->Stop();
  EXPECT_EQ(Statuses().size(), 1u);
}

TEST_F(UdpLoginTest, ShortLoginAnswerIsIgnored) {
  UdpLoginServerProcess server("short");
  ASSERT_GT(server.Port(), 0);
  Start(server.Port());
  ASSERT_EQ(server.WaitReceived(1).size(), 1u);
  DeliverFor(150);
  At(8000);
  ASSERT_EQ(server.WaitReceived(2).size(), 2u);
  EXPECT_EQ(server.Received()[1], Hex("726e7671080000001000090000000000" "0000000000000000"));
  EXPECT_FALSE(login_->IsLoggedIn());
  EXPECT_TRUE(Statuses().empty());
}

// Notices are handed on as 1232-byte copies; what is too short or not a notice is dropped.
TEST_F(UdpLoginTest, NoticesAreCopiedWholeAndBadDatagramsIgnored) {
  UdpLoginServerProcess server("accept");
  ASSERT_GT(server.Port(), 0);
  std::vector<QByteArray> copies;
  window_.inspect = [&](UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_UDP_DEVICE_LIST && wParam == 2)
      copies.push_back(QByteArray(reinterpret_cast<const char*>(lParam), udplogin::kNoticeSize));
  };
  Start(server.Port());
  ASSERT_EQ(server.WaitReceived(1).size(), 1u);

  auto header = [](int command) {
    QByteArray h("rnvq\0\0\0\0\x10\0", 10);
    h += static_cast<char>(command);
    h += QByteArray(5, '\0');
    return h;
  };
  const QByteArray notice = header(2) + QByteArray(1216, 'a');
  const QByteArray oversized = header(2) + QByteArray(1484, 'b');  // 1500 bytes
  for (const QByteArray& bad : {QByteArray("rnvq"), QByteArray(15, '\x02'), header(2) + QByteArray(1215, 'c'),
                                header(6) + QByteArray(100, '\0'), header(77) + QByteArray(2000, 'd'),
                                QByteArray(3000, '\xff')}) {
    ASSERT_EQ(server.Command("raw " + bad.toHex().toStdString()), "OK");
  }
  ASSERT_EQ(server.Command("raw " + notice.toHex().toStdString()), "OK");
  ASSERT_EQ(server.Command("raw " + oversized.toHex().toStdString()), "OK");
  ASSERT_EQ(server.Command("notice 18446744073709551615 100001004 ip:1.2.3.4\\r\\nptz:1"), "OK");
  ASSERT_TRUE(WaitFor([&] { return copies.size() == 3; }));
  DeliverFor(100);
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0], notice);
  EXPECT_EQ(copies[1], oversized.left(1232)) << "a longer notice is cut to 1232 bytes";
  EXPECT_EQ(copies[2].mid(16, 12), Hex("ffffffffffffffff" "ece4f505"));
  EXPECT_TRUE(copies[2].mid(28).startsWith("ip:1.2.3.4\r\nptz:1"));
  EXPECT_TRUE(Statuses().empty());
  EXPECT_TRUE(Running());
}

TEST_F(UdpLoginTest, UnresolvableServerPostsStatus2AndEnds) {
  Start(6060, "");
  ASSERT_TRUE(WaitFor([&] { return !Statuses().empty(); }));
  EXPECT_EQ(Statuses(), std::vector<WPARAM>{2});
  EXPECT_TRUE(WaitFor([&] { return !Running(); }));
}

TEST_F(UdpLoginTest, StopEndsAtOnceAndPostsNothing) {
  UdpLoginServerProcess server("silent");
  ASSERT_GT(server.Port(), 0);
  Start(server.Port());
  ASSERT_EQ(server.WaitReceived(1).size(), 1u);
  login_->Stop();
  DWORD code = 0;
  EXPECT_FALSE(login_->GetExitCode(&code));
  now_ = 100000;
  DeliverFor(100);
  EXPECT_TRUE(window_.received.empty());
}

}  // namespace

TEST(UdpLoginRetry, WaitDoublesUpToAMinuteAndStartsOverAfterAnAcceptedLogin) {
  UdpLoginRetry retry;
  std::vector<DWORD> waits;
  for (int i = 0; i < 9; ++i) waits.push_back(retry.NextDelay(false));
  EXPECT_EQ(waits, (std::vector<DWORD>{1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000}));
  EXPECT_EQ(retry.NextDelay(true), 1000u) << "the server had accepted the login: it was reachable";
  EXPECT_EQ(retry.NextDelay(false), 2000u);
}
