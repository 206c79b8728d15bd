// One recorder stream: its parameter blocks, its clocks, the pre-record buffer
// and the recordings running on it.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "clipta/media_clock.h"
#include "clipta/record_file_writer.h"
#include "streva/streva_ctrl.h"

// Creates every missing level of a Windows-form folder ("D:\\Record\\Cam\\");
// the folder with one trailing backslash, or empty when it cannot be made.
std::string MakeRecordFolders(const std::string& folder);
// True when the folder exists, or could be made again in its existing parent.
bool FolderOrParentRemade(const std::string& folder);

struct ClipFrame {
  bool video = true;
  bool key = false;
  double timeMs = 0;  // stream time
  std::shared_ptr<const std::vector<uint8_t>> data;
};

// A recording that could not write: its file id and the system's error number.
struct ClipFailure {
  long fileId = 0;
  int error = 0;
  bool opening = false;  // true: a new file could not be created; false: a write failed
};

class CliptaStream {
 public:
  static constexpr size_t kMaxBufferBytes = 64 << 20;
  // After a failure a recording tries a new file at the first key frame this
  // much stream time later (a full disk is not hammered with new files).
  static constexpr double kRetryMs = 10000.0;

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
  std::vector<ClipFailure> Failures();  // failures since the last call
  std::string CurrentPath(long fileId) const;

 private:
  struct Recording {
    long fileId = 0;
    std::string folder;  // ANSI, with a trailing backslash
    long kind = 1;
    double startMs = 0;
    double endMs = 0;
    double fileLengthMs = 0;
    double fileStartMs = 0;
    double retryAfterMs = -1;  // no new file before this stream time
    RecordFileWriter writer;
    bool waitingKey = true;
  };

  void Feed(Recording& recording, const ClipFrame& frame, double nowMs);
  bool OpenFile(Recording& recording, double firstFrameMs, double nowMs);
  void EndFile(Recording& recording, double frameMs);
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
  std::vector<ClipFailure> failures_;
  std::vector<uint8_t> scratch_;
};
