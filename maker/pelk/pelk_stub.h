// The relay library stand-in counts the calls made to it, for the tests.
#pragma once

struct PelkCallCounts {
  int rspDeviceVideo = 0;
  int reportVideo = 0;
  int reportAudio = 0;
  int closeDeviceVideo = 0;
  int setMsgWnd = 0;
  int setCallbacks = 0;      // the four main-window callbacks and the real-data one
  int inviteDeviceVideo = 0;
  int loginOut = 0;
  int stopTS = 0;
  int deleteRecord = 0;
  int replayStop = 0;
};

PelkCallCounts Pelk_StubCounts();
void Pelk_StubReset();
