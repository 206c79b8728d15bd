// The inside of a player's engine: its state, its decoders, the reading thread
// of a file, and the way out to the window.
//
// Locks, always taken in this order and never the other way round:
//   decodeMutex_ (the decoders, held while a frame decodes)
//   outputMutex_ (the output pointer, held while something is handed out)
//   pictureMutex_ (the last picture)
// convertMutex_ guards LastPicture's scaler and is taken alone.
// state_ guards the play state alone and is never held while another lock is
// taken. Nothing here waits for the UI thread, so a window may stop or close its
// engine from the UI thread while any other thread feeds it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "morvik/morvik.h"
#include "tessaly/audio_decoder.h"
#include "tessaly/picture_scaler.h"
#include "tessaly/video_decoder.h"

class MorvikPlayback {
 public:
  MorvikPlayback() = default;
  ~MorvikPlayback();

  LONG SetMediaParam(const char* base64, LONG size, LONG kind);
  LONG Input(bool video, const BYTE* data, LONG length, const BYTE* header, LONG headerLength);
  LONG Play();
  LONG Stop();
  LONG OpenFile(const char* path);
  LONG SetPlaySeconds(LONG kind, LONG seconds);
  LONG SetRunState(LONG state);
  LONG SetPlayOption(LONG option, LONG value);
  void Command(LONG command, LONG value);
  void Close();

  // The play state, read under state_.
  struct State {
    bool closed = false;
    bool playing = false;   // a file plays, or Play was called for a fed stream
    bool file = false;      // a file's reading thread runs
    bool paused = false;
    bool videoSet = false;
    bool audioSet = false;
    LONG speed = 1;         // 1 normal, N fast by N, -N slowed by N
    LONG runState = 0;
    LONG pieceLength = 0;
    LONG startPosition = -1;
    LONG position = -1;     // last second reported
    std::map<LONG, LONG> options;
  };
  State Snapshot() const;

  // The newest picture as decoded (null without one), and the same converted
  // to an RGB32 image of its own size.
  DecodedPicture NewestPicture() const;
  QImage LastPicture() const;
  unsigned long long PicturesShown() const { return picturesShown_.load(std::memory_order_relaxed); }
  void SetOutput(MorvikOutput* output);

 private:
  void StopFile();             // ends the reading thread (not from that thread)
  void CloseDecoders();
  void ClearPicture();
  // Shows a picture decoded in `epoch` (PictureEpoch before decoding): a
  // picture of an epoch that a Stop or Close has ended is dropped.
  void ShowPicture(DecodedPicture picture, uint64_t epoch);
  uint64_t PictureEpoch();
  void Emit(LONG eventId, LONG a, LONG b = 0, LONG c = 0, const std::string& text = {});
  void EmitState(const State& state);
  void ReportPosition(LONG second);
  void FileLoop(std::unique_ptr<IMorvikFileSource> source, uint32_t frameRate, uint64_t generation);
  // The decoded picture, or null when the data gave none.
  DecodedPicture DecodeVideo(const BYTE* data, size_t length);

  mutable std::mutex state_;
  State s_;
  std::condition_variable wake_;  // the reading thread waits on state_
  bool fileStop_ = false;
  LONG seekTo_ = -1;
  uint64_t generation_ = 0;       // which file the reading thread reads
  std::thread fileThread_;
  std::mutex fileControl_;        // one OpenFile / Stop at a time

  std::mutex decodeMutex_;
  VideoDecoder video_;
  AudioDecoder audio_;

  std::mutex outputMutex_;
  MorvikOutput* output_ = nullptr;
  bool outputClosed_ = false;
  uint64_t epoch_ = 0;  // advanced by every Stop: older pictures are stale

  // Pictures are kept as decoded: only those that are drawn (or asked for) are
  // converted, so a player that decodes faster than it draws converts nothing
  // in vain.
  mutable std::mutex pictureMutex_;
  DecodedPicture picture_;
  mutable std::mutex convertMutex_;  // LastPicture's scaler; taken alone
  mutable PictureScaler scaler_;
  std::atomic<unsigned long long> picturesShown_{0};
};
