// The image that the device trees show for a device's state, by index in the
// trees' image list: shared by every tree and by the pages that draw devices.
#pragma once

#include "core/dev_info.h"

// Indexes in the trees' image list.
enum DevTreeImage : int {
  kImgMultiChannel = 0,  // NVR/DVR or video server, root items, maps
  kImgGroup = 1,         // groups, "Online"/"Offline"
  kImgOffline = 2,
  kImgOnline = 3,
  kImgOnlineRecording = 6,
  kImgOnlineWatched = 7,
  kImgOnlineWatchedRecording = 10,
  kImgAlarm = 11,
  kDevTreeImageCount = 12,
};

// State image of a local channel from its online, watched and recording words.
int DevStateImage(const DevInfo& dev);
// State image of a relay channel from its state word; -1 for an unknown state.
int RelayStateImage(int state);
