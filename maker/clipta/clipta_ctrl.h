// Clipta: the recorder. One control per stream object; it takes the frames of
// the pull client (streva_ctrl.h: parameter blocks and FrameHeader) and writes
// them unchanged, one chunk per frame, into record files of the fixed layout of
// record_file_layout.h (an AVI file that players read too). Key frames are
// stored with their stream headers in front (record_media.h).
//
// A recorder stream (BeginStream .. EndStream) holds the parameter blocks and,
// after PreRecordSetup with seconds >= 1, the last that many seconds of frames,
// always beginning with a video key frame. BeginRecordFile starts a recording
// into a folder:
//   - it begins with the buffered frames of the last pre-record seconds (from a
//     key frame), else with the next video key frame;
//   - a new file starts at the first key frame after every file-length seconds;
//   - the recording ends by itself after duration seconds (stream time), or
//     with StopRecordFile / EndStream / destruction of the control.
// Files are named "HHMMSS-vvK.avi" (local start time; "-av" when audio is
// recorded; K 1 main / 2 sub stream), "HHMMSS-N-vvK.avi" when the name is taken.
// Missing folders are created. Audio is recorded when SetAudioParam was given a
// filled block.
//
// Time stamps: the stream time of a frame comes from its FrameHeader time stamp;
// frames without one, or with one that does not increase, count one frame
// interval after the previous. A file stores its frames one after another at
// its frame rate (the announced one, or the measured one when that differs by
// more than 10 %).
//
// Crash safety: the file's RIFF and movi sizes are brought up to date on disk
// at least once a second (after the frames themselves are on disk), so a file
// whose writer died is still read up to its last written frame. A normal end
// writes the index.
//
// Failures: a file whose writing fails (a full disk, a folder removed) is closed
// at its last whole frame; the recording tries a new file, making the folder
// again, at the first key frame 10 s of stream time later. A file that reaches
// 4 GiB is followed by a new one at the next key frame.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win_types.h"

// Events of the recorder (two values each), raised on the thread that fed the
// frame, while the control is locked (a sink must not call the control):
//   OnEvent1 (file id, -errno): writing a record file failed, the file ends;
//   OnEvent2 (file id, -errno): a new record file could not be created.
// OnEvent3 is not raised.
class ICliptaEvents {
 public:
  virtual ~ICliptaEvents() = default;
  virtual long OnEvent1(long value1, long value2) = 0;
  virtual long OnEvent2(long value1, long value2) = 0;
  virtual long OnEvent3(long value1, long value2) = 0;
};

class CliptaStream;

class CCliptaCtrl {
 public:
  CCliptaCtrl();
  ~CCliptaCtrl();  // ends every recording (files closed properly)
  CCliptaCtrl(const CCliptaCtrl&) = delete;
  CCliptaCtrl& operator=(const CCliptaCtrl&) = delete;

  void Advise(ICliptaEvents* sink);
  void Unadvise(ICliptaEvents* sink);

  // Results: 0 done, -1 refused (unknown stream, bad block ...).
  long BeginStream(long streamId);  // also when it exists: keeps it
  long EndStream(long streamId);    // ends its recordings, drops the buffer
  long SetVideoParam(long streamId, const BYTE* block, long length);  // VideoParamBlock, 536
  long SetAudioParam(long streamId, const BYTE* block, long length);  // AudioParamBlock, 276
  // Pre-recording: keep the last `seconds` (0 = off). text and the last two
  // values are not used.
  long PreRecordSetup(long streamId, const CString& text, long seconds, long reserved1,
                      long reserved2);

  // From any thread. header: FrameHeader (16 bytes) or null.
  long InputVideo(long streamId, const BYTE* data, long length, const BYTE* header,
                  long headerLength);
  long InputAudio(long streamId, const BYTE* data, long length, const BYTE* header,
                  long headerLength);

  // folder: the program's Windows-form path. -> file id >= 1, or < 1 on failure
  // (-1 unknown stream or no video parameters, -2 folder cannot be made, -3 bad values).
  long BeginRecordFile(long streamId, const CString& folder, long preRecordSeconds,
                       long durationSeconds, long fileLengthSeconds, long streamKind);
  long StopRecordFile(long fileId);  // 0, -1 unknown id

  // The native path of the file a recording writes now (empty when none) - for tests and logs.
  std::string CurrentFilePath(long fileId);

 private:
  long Input(long streamId, bool video, const BYTE* data, long length, const BYTE* header,
             long headerLength);

  std::mutex mutex_;
  std::vector<ICliptaEvents*> sinks_;
  std::map<long, std::unique_ptr<CliptaStream>> streams_;
  std::map<long, long> fileStreams_;  // file id -> stream id
  long nextFileId_ = 1;
};
