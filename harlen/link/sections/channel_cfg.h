// Section 6 (channelcfg): per channel the on-screen display, the two video
// streams and the recording configuration; and section 18 (RecordDriven), the
// recording mode of every channel alone. Sixteen channels, numbered 1 to 16;
// the entry of channel n is slot n - 1 unless a list says otherwise.
#pragma once

#include <cstdint>

#include "harlen/link/xml/sched_cell.h"

constexpr int kNvrChannels = 16;

struct ChannelDisplay {
  uint8_t id;  // the channel number
  uint8_t loaded : 1;
  uint8_t : 3;
  uint8_t name1enable : 2;
  uint8_t name2enable : 2;
  uint8_t timedisplay;
  uint8_t brightness;
  uint8_t contrast;
  uint8_t saturation;
  uint8_t chroma;
  char name1[32];
  char name2[32];
};

struct ChannelStream {
  uint8_t resolution;
  uint8_t framerate;
  uint8_t quality : 4;
  uint8_t coderatetype : 2;
  uint8_t coderatemaxtype : 2;
  uint16_t coderatemax;
};

struct ChannelVideo {
  uint8_t id;
  uint8_t loaded;
  ChannelStream mainstream;
  ChannelStream auxstream;
};

struct RecordDrivenEntry {
  uint32_t used;  // 1 when the channel was loaded
  uint32_t mode;
};

struct RecordDrivenList {
  uint32_t count;
  RecordDrivenEntry entries[kNvrChannels];
};

// In channel order: entry i is channel i + 1.
struct RecordParamEntry {
  uint16_t enable;
  uint16_t stream;
  uint16_t cachseconds;
  uint16_t lastseconds;
  uint16_t expiredays;
  uint16_t audioenable;
};

struct RecordParamList {
  uint32_t count;
  RecordParamEntry entries[kNvrChannels];
};

struct PictureParamEntry {
  uint16_t enable;
  uint16_t stream;
  uint16_t quality;
  uint16_t interval;
};

struct PictureParamList {
  uint32_t count;
  PictureParamEntry entries[kNvrChannels];
};

struct SchedList {
  uint32_t count;
  SchedTable tables[kNvrChannels];
};

struct ChannelCfg {
  uint32_t displayCount;
  ChannelDisplay display[kNvrChannels];
  uint32_t videoCount;
  ChannelVideo video[kNvrChannels];
  RecordDrivenList recordDriven;
  RecordParamList recordParam;
  PictureParamList pictureParam;
  SchedList recordScheme;
  SchedList pictureScheme;
};
