// PTZ texts and talk audio over the device-messaging control with the fake
// device (tests/peers/fake_device.py) on the other end.
#include <gtest/gtest.h>

#include "fake_device_process.h"
#include "gimbro/gimbro.h"
#include "live/audio/audio_codec.h"
#include "live/streams/gimbro_events.h"
#include "live/live_messages.h"
#include "live/ptz/ptz_command_text.h"
#include "live/ptz/ptz_panel_logic.h"
#include "maker_test_support.h"
#include "tests/live/message_window.h"
#include "ptz_panel_test_host.h"

namespace {

// The main window's part: the pane hands the text to the control.
struct DeviceHost : RecordingPtzHost {
  CGimbroCtrl* ctrl = nullptr;
  LONG gimbroId = 0;
  void SendPtzXml(const std::string& text) override {
    RecordingPtzHost::SendPtzXml(text);
    ctrl->PtzCommand(gimbroId, text.c_str());
  }
};

class PtzTalkDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device.Ready());
    events.SetMainWindow(mainWnd.GetSafeHwnd());
    ctrl.Advise(&events);
    id = ctrl.AddDevice("127.0.0.1", device.Port(), "admin", "secret");
    ASSERT_GT(id, 0);
    ASSERT_TRUE(WaitFor([&] {
      for (const ReceivedMessage& m : mainWnd.received) {
        if (m.msg == WM_DEVSTATUSRESPONSE && m.lParam == GIMBRO_STATUS_LOGIN_OK) return true;
      }
      return false;
    }, 15000));
    host.ctrl = &ctrl;
    host.gimbroId = id;
  }

  FakeDeviceProcess device;
  MessageWindow mainWnd;
  CGimbroEvents events;
  CGimbroCtrl ctrl;
  LONG id = 0;
  DeviceHost host;
};

}  // namespace

TEST_F(PtzTalkDeviceTest, PanelTextsReachTheDevice) {
  CPtzPanelLogic panel(host);
  panel.Press(2, 3, 7);
  panel.StopHeld();
  EXPECT_EQ(device.Take("PTZ"), "PTZ " + Hex(ptz::MovementCommandText("right", 3, 7)));
  EXPECT_EQ(device.Take("PTZ"), "PTZ " + Hex(ptz::StopCommandText()));

  ASSERT_TRUE(host.plugin.Load());
  panel.Advance(44);  // Open3
  EXPECT_EQ(device.Take("PTZ"),
            "PTZ " + Hex("<xml><cmd>tarnex</cmd><addr>7</addr><word>Open3</word><a>0</a><b>0</b></xml>"));
}

// The talk answer opens the decoder; the talk packets are taken.
TEST_F(PtzTalkDeviceTest, TalkAnswerAndPacketsFeedTheDecoder) {
  std::unique_ptr<CAudioCodec> codec;
  std::vector<int> inputs;
  events.SetTalkHandlers(
      [&](LONG, const BYTE* data, LONG length, const BYTE*) {
        inputs.push_back(codec ? codec->InputData(data, length) : -100);
      },
      [&](LONG, std::string text) {
        if (const auto params = ReadTalkAnswer(text)) OpenTalkDecoder(*params, &codec);
      });
  ASSERT_EQ(ctrl.Talk(id, 1), GIMBRO_OK);
  ASSERT_TRUE(WaitFor([&] { return inputs.size() == 3; }, 15000));
  EXPECT_EQ(inputs, (std::vector<int>{0, 0, 0}));
  ASSERT_TRUE(codec);
  EXPECT_TRUE(codec->IsOpen());
  EXPECT_EQ(codec->AudioParams().sampleRate, 8000);
  EXPECT_EQ(codec->AudioParams().channels, 1);
  codec.reset();
}
