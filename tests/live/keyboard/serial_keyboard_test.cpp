// The serial PTZ keyboard against a real serial line: a socat pseudo-terminal
// pair, the keyboard on one end, the test writing keyboard bytes into the
// other and watching the command texts reach the owner's hook.
#include "live/keyboard/serial_keyboard.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "serial_keyboard_test_support.h"

namespace {

constexpr int kPort = 7;

std::string Line(int sw, int port, const char* flow) {
  return "Switch=" + std::to_string(sw) + ",COMPort=" + std::to_string(port) +
         ",BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=" + flow;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

class SerialKeyboardTest : public KeyboardTest {
 protected:
  // Starts the keyboard and waits until its thread has the port open, so
  // that nothing written afterwards is lost.
  static void StartOpen(CPTZKeyboardCtrl& keyboard) {
    ASSERT_EQ(keyboard.StartHandleKCMsg(), 0);
    ASSERT_TRUE(WaitUntil([&] { return keyboard.IsComOpen() == 1; }));
  }
  void SetUp() override {
    KeyboardTest::SetUp();
    ASSERT_TRUE(line_.Ready());
    LinkComPort(kPort, line_.Port());
  }
  SocatPair line_;
  KeyboardRecordingHost host_;
};

}  // namespace

TEST_F(SerialKeyboardTest, KeyboardBytesReachTheHostAsTransTexts) {
  WriteParamsFile(Line(1, kPort, "NONE"));
  CPTZKeyboardCtrl keyboard(&host_);
  StartOpen(keyboard);

  ASSERT_TRUE(line_.Write({0x01, 0xA0, 0xFF}));
  ASSERT_TRUE(host_.WaitForBytes(3));
  EXPECT_EQ(host_.Texts().front(), "<xml>\n<cmd>trans</cmd>\n<data>01a0ff</data>\n</xml>");

  // XON and XOFF are ordinary bytes of a binary keyboard frame: with no flow
  // control configured they reach the camera like every other byte.
  host_.Clear();
  const std::vector<uint8_t> frame = {0xA0, 0x11, 0x13, 0x11, 0x00, 0x13, 0xAF};
  ASSERT_TRUE(line_.Write(frame));
  ASSERT_TRUE(host_.WaitForBytes(frame.size()));
  EXPECT_EQ(host_.Bytes(), frame);
  EXPECT_EQ(keyboard.StopHandleKBMsg(), 0);
}

TEST_F(SerialKeyboardTest, SoftwareFlowControlIsAppliedWhenConfigured) {
  WriteParamsFile(Line(1, kPort, "SOFTWARE"));
  CPTZKeyboardCtrl keyboard(&host_);
  StartOpen(keyboard);
  // With XON/XOFF on, the line itself takes 0x11 and 0x13; the rest arrives.
  ASSERT_TRUE(line_.Write({0x41, 0x11, 0x42, 0x13, 0x43}));
  ASSERT_TRUE(host_.WaitForBytes(3));
  keyboard.StopHandleKBMsg();
  EXPECT_EQ(host_.Bytes(), (std::vector<uint8_t>{0x41, 0x42, 0x43}));
}

TEST_F(SerialKeyboardTest, GarbageAndBurstsPassUnchangedInRecordsOfSixteen) {
  WriteParamsFile(Line(1, kPort, "NONE"));
  CPTZKeyboardCtrl keyboard(&host_);
  StartOpen(keyboard);
  // Every byte value, then a burst longer than one read.
  std::vector<uint8_t> sent(256);
  std::iota(sent.begin(), sent.end(), 0);
  for (int i = 0; i < 300; ++i) sent.push_back(static_cast<uint8_t>(i * 37 + 5));
  ASSERT_TRUE(line_.Write(sent));
  ASSERT_TRUE(host_.WaitForBytes(sent.size()));
  keyboard.StopHandleKBMsg();
  EXPECT_EQ(host_.Bytes(), sent);
  for (const CString& text : host_.Texts()) {
    const size_t bytes = TransBytes(text).size();
    EXPECT_GE(bytes, 1u);
    EXPECT_LE(bytes, kKeyboardRecordBytes);
  }
}

TEST_F(SerialKeyboardTest, StopEndsTheReadingThreadWithoutKillingIt) {
  WriteParamsFile(Line(1, kPort, "NONE"));
  CPTZKeyboardCtrl keyboard(&host_);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    StartOpen(keyboard);
    EXPECT_EQ(keyboard.StartHandleKCMsg(), 1);  // one thread only
    ASSERT_TRUE(line_.Write({static_cast<uint8_t>(round)}));
    ASSERT_TRUE(host_.WaitForBytes(round + 1));
    // The thread now waits on an idle port; the stop is seen between reads.
    EXPECT_EQ(keyboard.StopHandleKBMsg(), 0);
    EXPECT_FALSE(keyboard.IsThreadRunning());
  }
  const std::string log = Log();
  EXPECT_EQ(Count(log, "CPTZKeyboardCtrl::KCHandleProc CloseThread for m_nRunning=-1."), 3u);
  EXPECT_EQ(Count(log, "CPTZKeyboardCtrl::CloseCom close COM!"), 3u);
  EXPECT_EQ(log.find("TerminateThread"), std::string::npos);
  EXPECT_EQ(host_.Bytes(), (std::vector<uint8_t>{0, 1, 2}));
}

TEST_F(SerialKeyboardTest, StopWhileWaitingToReopenAMissingPort) {
  WriteParamsFile(Line(1, kPort + 1, "NONE"));  // no such port
  CPTZKeyboardCtrl keyboard(&host_);
  ASSERT_EQ(keyboard.StartHandleKCMsg(), 0);
  EXPECT_EQ(keyboard.StopHandleKBMsg(), 0);
  EXPECT_FALSE(keyboard.IsThreadRunning());
  const std::string log = Log();
  EXPECT_NE(log.find("CPTZKeyboardCtrl::KCHandleProc CloseThread for m_nRunning=-1."), std::string::npos);
  EXPECT_NE(log.find("CPTZKeyboardCtrl StopHandleKBMsg End!"), std::string::npos);
}

TEST_F(SerialKeyboardTest, APortThatDisappearsIsOpenedAgainWhenItComesBack) {
  WriteParamsFile(Line(1, kPort, "NONE"));
  CPTZKeyboardCtrl keyboard(&host_);
  StartOpen(keyboard);
  ASSERT_TRUE(line_.Write({0x10}));
  ASSERT_TRUE(host_.WaitForBytes(1));

  // The serial line goes away under the reading thread, and its name with it:
  // the number of a closed pseudo-terminal is handed to the next one opened (by
  // this test or one beside it), so a name left on the old number could lead
  // the keyboard to the wrong end of another line.
  LinkComPort(kPort, folder_.File("no-device"));
  line_.Kill();
  ASSERT_TRUE(WaitUntil([&] { return Log().find("CPTZKeyboardCtrl::ReadPort COM lost") != std::string::npos; }))
      << Log();
  SocatPair second;
  ASSERT_TRUE(second.Ready());
  LinkComPort(kPort, second.Port());
  // The keyboard opens the port again within its retry time; keep writing
  // until a byte gets through.
  bool through = false;
  for (int attempt = 0; attempt < 60 && !through; ++attempt) {
    ASSERT_TRUE(second.Write({0x20}));
    through = host_.WaitForBytes(2, 1);
  }
  EXPECT_TRUE(through) << Log();
  EXPECT_EQ(keyboard.StopHandleKBMsg(), 0);
  EXPECT_NE(Log().find("CPTZKeyboardCtrl::ReadPort COM lost"), std::string::npos);
  EXPECT_EQ(host_.Bytes().front(), 0x10);
}

TEST_F(SerialKeyboardTest, ShortFileLeavesTheKeyboardOff) {
  const std::string shortLine = "Switch=1,COMPort=7,BandRate=9600,DataBits=8,StopB";
  ASSERT_EQ(shortLine.size(), 49u);
  WriteParamsFile(shortLine);
  CPTZKeyboardCtrl keyboard(&host_);
  EXPECT_EQ(keyboard.StartHandleKCMsg(), 1);
  EXPECT_FALSE(keyboard.IsThreadRunning());
  EXPECT_NE(Log().find("StartHandleKCMsg() exit for InitComParams() ERROR !!!!!!"), std::string::npos);
}

TEST_F(SerialKeyboardTest, SwitchedOffKeyboardLeavesThePortClosedUntilSwitchedOn) {
  WriteParamsFile(Line(0, kPort, "NONE"));
  CPTZKeyboardCtrl keyboard(&host_);
  ASSERT_EQ(keyboard.StartHandleKCMsg(), 0);
  EXPECT_TRUE(keyboard.IsThreadRunning());
  ASSERT_TRUE(WaitUntil([&] { return Log().find("KCHandleProc BeginThread") != std::string::npos; }));
  EXPECT_EQ(keyboard.IsComOpen(), 0);

  EXPECT_EQ(keyboard.SetKeyboardControlParams(Line(1, kPort, "NONE")), 0);
  ASSERT_TRUE(WaitUntil([&] { return keyboard.IsComOpen() == 1; }));
  ASSERT_TRUE(line_.Write({0x61}));
  ASSERT_TRUE(host_.WaitForBytes(1));
  keyboard.StopHandleKBMsg();
  // The port was opened once: after the switch was turned on.
  EXPECT_EQ(Count(Log(), "CPTZKeyboardCtrl::CloseCom close COM!"), 1u);
}

TEST_F(SerialKeyboardTest, NewSettingsAreWrittenAndTakeEffect) {
  SocatPair other;
  ASSERT_TRUE(other.Ready());
  LinkComPort(kPort + 1, other.Port());
  WriteParamsFile(Line(1, kPort, "NONE"));
  CPTZKeyboardCtrl keyboard(&host_);
  ASSERT_EQ(keyboard.StartHandleKCMsg(), 0);

  const std::string moved = Line(1, kPort + 1, "NONE");
  EXPECT_EQ(keyboard.SetKeyboardControlParams(moved), 0);
  EXPECT_EQ(ParamsFile(), moved);
  CString applied;
  keyboard.GetKeyboardControlParams(applied);
  EXPECT_EQ(applied, moved);
  EXPECT_EQ(keyboard.GetParams().COMPort, kPort + 1);
  ASSERT_TRUE(WaitUntil([&] { return keyboard.IsComOpen() == 1; }));
  ASSERT_TRUE(other.Write({0x5A}));
  ASSERT_TRUE(host_.WaitForBytes(1));
  EXPECT_EQ(host_.Bytes(), (std::vector<uint8_t>{0x5A}));
  keyboard.StopHandleKBMsg();
}

TEST_F(SerialKeyboardTest, SixFieldLineIsRefusedAndThePreviousSettingsStay) {
  const std::string good = Line(1, kPort, "NONE");
  WriteParamsFile(good);
  CPTZKeyboardCtrl keyboard(&host_);
  ASSERT_EQ(keyboard.StartHandleKCMsg(), 0);

  const std::string six = "Switch=1,COMPort=9,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE";
  EXPECT_EQ(keyboard.SetKeyboardControlParams(six), -1);
  EXPECT_NE(Log().find("SetKeyboardParams fail for strParams error " + six + ":6!"), std::string::npos);
  EXPECT_EQ(ParamsFile(), good);
  EXPECT_EQ(keyboard.GetParams().COMPort, kPort);
  // Running again on the previous port.
  EXPECT_TRUE(keyboard.IsThreadRunning());
  ASSERT_TRUE(WaitUntil([&] { return keyboard.IsComOpen() == 1; }));
  ASSERT_TRUE(line_.Write({0x42}));
  ASSERT_TRUE(host_.WaitForBytes(1));
  keyboard.StopHandleKBMsg();
}

TEST_F(SerialKeyboardTest, StopBitsTenthsToCodes) {
  const struct {
    const char* tenths;
    int code;
  } cases[] = {{"10", kStopBitsOne}, {"15", kStopBitsOneAndHalf}, {"20", kStopBitsTwo}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tenths);
    WriteParamsFile(std::string("Switch=1,COMPort=7,BandRate=9600,DataBits=8,StopBits=") + c.tenths +
                    ",Verify=NONE,FlowControl=NONE");
    CPTZKeyboardCtrl keyboard(&host_);
    ASSERT_EQ(keyboard.InitComParams(), 0);
    EXPECT_EQ(keyboard.GetParams().StopBits, c.code);
    EXPECT_EQ(keyboard.InitComParams(), 1);  // loaded once
    // The port opens with every one of them and reads.
    host_.Clear();
    StartOpen(keyboard);
    ASSERT_TRUE(line_.Write({0x33}));
    ASSERT_TRUE(host_.WaitForBytes(1));
    keyboard.StopHandleKBMsg();
  }
}
