// What the record search page does with the media that reach its players from
// the relay library and from NVRs: its own copies of the parameter blocks, the
// Base64 parameter texts, the 16-byte frame headers, the NVR media packets and
// the 10-minute pieces of an NVR day.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "pelk/pelk.h"
#include "platform/win_types.h"
#include "records/recfile/media_param.h"

namespace replaymedia {

// A block whose codec name is empty counts as absent.
bool IsPresent(const VideoParam& video);
bool IsPresent(const AudioParam& audio);

// The page's copy of a relay block (null: zeroed): the codec name, width and
// height, 0 as the third word, the fourth and fifth words, and as many codec
// header bytes as the block's length word says - never more than the block's
// 256, a negative length giving none.
void CopyVideoParam(const VideoParam* from, VideoParam* to);
void CopyAudioParam(const AudioParam* from, AudioParam* to);

// The same stream: codec names, width, height and third word (video); codec
// name and the first three words (audio).
bool SameVideo(const VideoParam& a, const VideoParam& b);
bool SameAudio(const AudioParam& a, const AudioParam& b);

// The standard Base64 text of a block (at most 5120 characters).
std::string ParamText(const void* block, size_t size);

// The 16-byte frame header of a relay frame: the first word of the frame
// information, then (at 8) its time in milliseconds; zeros without one.
void RelayFrameHeader(const RelayFrameInfo* info, BYTE (&header)[16]);

// An NVR media packet: a 20-byte prefix (byte 14 the kind), then the payload.
constexpr size_t kNvrPrefixSize = 20;
enum NvrPacketKind { kNvrFileVideo = 0, kNvrFileAudio = 1, kNvrDayVideo = 2, kNvrDayAudio = 3 };
struct NvrPacket {
  int kind = -1;
  const BYTE* payload = nullptr;
  long length = 0;
};
// False for a packet shorter than its prefix.
bool ParseNvrPacket(const BYTE* packet, long length, NvrPacket* out);

// An NVR day streams in 10-minute pieces: a frame at `frameMs` (milliseconds
// of the day) lies `msInPiece` into the piece that starts at `pieceStart`
// (second of the day).
constexpr int kPieceSeconds = 600;
struct DayPiece {
  int64_t msInPiece = 0;
  int pieceStart = 0;
};
DayPiece SplitDayTime(double frameMs);
// The frame time of a 16-byte header (-1 without a finite one) and a header
// with another time.
double HeaderTimeMs(const BYTE* header);
void SetHeaderTimeMs(BYTE (&header)[16], double ms);

// The NVR's media parameter text: an element whose attributes VideoParam and
// AudioParam hold Base64 blocks and VideoSeconds the file's length.
struct NvrMediaParam {
  bool hasVideo = false;
  bool hasAudio = false;
  std::string video;
  std::string audio;
  int seconds = 0;
};
bool ParseNvrMediaParam(const std::string& text, NvrMediaParam* out);

// The size a Base64 text stands for, as the NVR's texts are measured: length * 3 / 4.
long TextBlockSize(const std::string& text);

}  // namespace replaymedia
