// One recorder stream: its parameter blocks, its clocks, the pre-record buffer
// and the recordings running on it.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "clipta/avi_file_writer.h"
#include "clipta/media_clock.h"
#include "streva/streva_ctrl.h"

struct ClipFrame {
  bool video = true;
  bool key = false;
  double timeMs = 0;  // stream time
  std::shared_ptr<const std::vector<uint8_t>> data;
};

class CliptaStream {
 public:
  static constexpr size_t kMaxBufferBytes = 64 << 20;

  bool SetVideo(const VideoParamBlock& block);
  void SetAudio(const AudioParamBlock& block) { audio_ = block; }
  bool HasVideo() const { return video_.dwValid != 0; }
  void SetPreRecord(long seconds);

  void Input(bool video, const uint8_t* data, size_t length, const FrameHeader* header);

  // nativeFolder exists. -> false when the values are unusable.
  bool Begin(long fileId, const std::string& ansiFolder, long preSeconds, long durationSeconds,
             long fileLengthSeconds, long kind);
  bool Stop(long fileId);  // false: no such recording
  std::vector<long> Finished();  // ids of recordings that ended by themselves since the last call
  std::string CurrentPath(long fileId) const;

 private:
  struct Recording {
    std::string folder;  // ANSI, with a trailing backslash
    long kind = 1;
    double startMs = 0;
    double endMs = 0;
    double fileLengthMs = 0;
    double fileStartMs = 0;
    AviFileWriter writer;
    bool waitingKey = true;
    int64_t videoPts = -1;
    int64_t audioPts = 0;
  };

  void Feed(Recording& recording, const ClipFrame& frame, double nowMs);
  bool OpenFile(Recording& recording, double firstFrameMs, double nowMs);
  void TrimBuffer();

  VideoParamBlock video_{};
  AudioParamBlock audio_{};
  MediaClock videoClock_;
  MediaClock audioClock_;
  long preSeconds_ = 0;
  std::deque<ClipFrame> buffer_;
  size_t bufferBytes_ = 0;
  std::map<long, std::unique_ptr<Recording>> recordings_;
  std::vector<long> finished_;
};
