// The relay library stand-in counts the calls made to it, for the tests.
#pragma once

struct PelkCallCounts {
  int rspDeviceVideo = 0;
  int reportVideo = 0;
  int reportAudio = 0;
  int closeDeviceVideo = 0;
};

PelkCallCounts Pelk_StubCounts();
void Pelk_StubReset();
