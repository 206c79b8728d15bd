#include "core/dev_state_image.h"

int DevStateImage(const DevInfo& dev) {
  if (dev.nOnline != 1) return kImgOffline;
  if (dev.bWatched == 1 && dev.bRecording == 1) return kImgOnlineWatchedRecording;
  if (dev.bWatched == 1) return kImgOnlineWatched;
  if (dev.bRecording == 1) return kImgOnlineRecording;
  return kImgOnline;
}

int RelayStateImage(int state) {
  switch (state) {
    case 0: return kImgOffline;
    case 1: return kImgOnline;
    case 2: return kImgOnlineWatched;
    case 3: return kImgOnlineRecording;
    case 4: return kImgOnlineWatchedRecording;
    default: return -1;
  }
}

