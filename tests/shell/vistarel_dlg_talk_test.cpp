// The main window's talk with an NVR: the talk answer makes the decoder, the
// talk audio feeds it, and closing the talk deletes it.
#include <gtest/gtest.h>


#include "core/fixed_text.h"
#include "live/audio/audio_codec.h"
#include "tests/shell/main_window_fixture.h"

namespace {

constexpr char kAnswer[] =
    "<MESSAGE><MESSAGE_BODY><RA_START_RESPONSE AudioCodec=\"AAC-LC\" Samplerate=\"16000\" BitsPerSample=\"16\" "
    "Channels=\"1\"/></MESSAGE_BODY></MESSAGE>";

TEST_F(MainWindowTest, NvrTalkAnswersOpenAndReplaceTheDecoder) {
  CVistarelDlg& dlg = Open();
  const BYTE packet[64] = {};
  EXPECT_EQ(dlg.OnNVRSpeakMediaData(1, packet, sizeof packet), 0) << "talk audio before any answer is dropped";
  EXPECT_EQ(dlg.OnNVRSpeakParam(1, "no xml"), -1);
  EXPECT_EQ(dlg.m_pAudioCodec, nullptr);

  ASSERT_EQ(dlg.OnNVRSpeakParam(1, kAnswer), 0);
  ASSERT_NE(dlg.m_pAudioCodec, nullptr);
  EXPECT_TRUE(dlg.m_pAudioCodec->IsOpen());
  EXPECT_EQ(dlg.m_pAudioCodec->AudioParams().audioType, 1);
  EXPECT_EQ(dlg.m_pAudioCodec->AudioParams().sampleRate, 16000);
  const CAudioCodec* first = dlg.m_pAudioCodec.get();

  EXPECT_EQ(dlg.OnNVRSpeakParam(1, "<MESSAGE><MESSAGE_BODY"), -1);
  EXPECT_EQ(dlg.m_pAudioCodec.get(), first) << "an unreadable answer leaves the decoder";
  EXPECT_EQ(dlg.OnNVRSpeakParam(1, "<M><MESSAGE_BODY><RA_START_RESPONSE Channels=\"0\"/></MESSAGE_BODY></M>"), -1);
  EXPECT_EQ(dlg.m_pAudioCodec.get(), first);

  ASSERT_EQ(dlg.OnNVRSpeakParam(2, "<MESSAGE><MESSAGE_BODY/></MESSAGE>"), 0);
  ASSERT_NE(dlg.m_pAudioCodec, nullptr);
  EXPECT_EQ(dlg.m_pAudioCodec->AudioParams().sampleRate, 8000) << "a new answer makes a new decoder";
  EXPECT_EQ(dlg.m_pAudioCodec->AudioParams().audioType, 0);

  dlg.ReleaseNVRSpeakCodec(1);
  EXPECT_NE(dlg.m_pAudioCodec, nullptr) << "only 0 closes the talk";
  dlg.ReleaseNVRSpeakCodec(0);
  EXPECT_EQ(dlg.m_pAudioCodec, nullptr);
  EXPECT_EQ(dlg.OnNVRSpeakMediaData(2, packet, sizeof packet), 0);
}

TEST_F(MainWindowTest, ClearTalkByStreamIdFindsTheDeviceOfTheStream) {
  DevInfo camera;
  CopyFixedText(camera.DevName, "Gate");
  camera.SubStreamId = 17;
  g_lstDevInfo = {camera};
  CVistarelDlg& dlg = Open();
  EXPECT_EQ(dlg.ClearTalkByStreamId(5), 0) << "no device has the stream";
  EXPECT_EQ(dlg.ClearTalkByStreamId(0), 0);
  EXPECT_EQ(dlg.ClearTalkByStreamId(17), -1) << "the device's pane is not in the grid: the grid's answer";
}

}  // namespace
