// Shared pieces of the stream-control tests: an event recorder, waiting with
// the event loop running, ffprobe and the process's thread count.
#pragma once

#include "common/peer_lifetime.h"
#include "common/wait_for.h"
#include <functional>
#include <string>
#include <vector>

#include "streva/streva_ctrl.h"

// The RTSP test server builds a stream's encoders when a client asks for it:
// on a busy machine its first media can take as long as the server's own start.
constexpr int kFirstMediaMs = kPeerStartMs;

struct RecordedFrame {
  long streamId = 0;
  bool video = true;
  std::vector<BYTE> data;
  FrameHeader header{};
};

// A field of the packed stream blocks (FrameHeader, MediaParamBlock ...) as a
// value. The EXPECT macros take their arguments by reference, and a reference
// to a field of a packed struct may be misaligned, which is undefined.
template <class T>
T Field(T value) {
  return value;
}

class EventRecorder : public IStrevaEvents {
 public:
  long OnStreamState(long streamId, long state, long detail) override;
  long MediaRecv(long streamId, long mediaType, const BYTE* data, long length) override;
  long OnVideoFrame(long streamId, const BYTE* data, long length, const BYTE* header,
                    long headerLength) override;
  long OnAudioFrame(long streamId, const BYTE* data, long length, const BYTE* header,
                    long headerLength) override;

  int Count(long state) const;
  int VideoFrames() const;
  int AudioFrames() const;

  std::vector<std::pair<long, long>> states;  // (state, detail)
  std::vector<MediaParamBlock> media;
  std::vector<RecordedFrame> frames;
  long lastMediaType = 0;
  long lastMediaLength = 0;
  std::function<void(const RecordedFrame&)> onFrame;
  std::function<void(const MediaParamBlock&)> onMedia;
};

// Runs the event loop until done() or the time is up; returns done().

struct ProbeResult {
  bool ok = false;
  std::string videoCodec;
  std::string audioCodec;
  int videoFrames = 0;  // decoded
  int audioFrames = 0;
  int videoPackets = 0;  // read from the file (a frame the stream damaged still counts)
  int audioPackets = 0;
};
ProbeResult Ffprobe(const std::string& path);
// ffmpeg decodes every frame of the file without a single error message.
bool FfmpegDecodesCleanly(const std::string& path, std::string* errors = nullptr);

// Threads of this process named "streva" (the pull client's stream threads).
int StreamThreadCount();
std::string PeersDir();
std::vector<std::string> FilesIn(const std::string& folder, const std::string& suffix);
