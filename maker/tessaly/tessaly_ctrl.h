// Tessaly: the stream player. Each control is a child widget of the window it
// is created on and holds one render with a video and an audio decoder, fed
// with the frames and parameter blocks of the pull client (streva_ctrl.h).
//
// Threads: create, set up, close and every display setting on the UI thread;
// InputData from any one thread at a time (the pump thread). Decoding runs on
// the caller's thread; the last picture is handed to the widget, which draws it
// on the UI thread scaled to its size: stretched with FillScreen on, else with
// its aspect kept on black.
//
// Results: 0 done, -1 refused (no such render, no decoder, bad block ...).
// Render ids: CreateRender gives 1; a control has one render at a time.
// Snapshot formats: 0 BMP, 1 (and any other value) JPG.
#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/win_types.h"

class VideoDecoder;
class AudioDecoder;
class SoundOutput;

class CTessalyCtrl : public QWidget {
 public:
  enum DecoderType : long { kAudio = 0, kVideo = 1 };

  explicit CTessalyCtrl(QWidget* parent);
  ~CTessalyCtrl() override;

  long CreateRender(const CString& name);
  long DeleteRender(long render);  // closes both decoders
  // block: VideoParamBlock (536) for type 1, AudioParamBlock (276) for type 0.
  long SetupDecoder(long type, long render, const BYTE* block, long size);
  long CloseDecoder(long type, long render);
  // header: FrameHeader (16 bytes) or null. From the pump thread.
  long InputData(long type, long render, const BYTE* data, long length, const BYTE* header,
                 long headerLength);

  long Sound(long render, long on);  // without a sound device: silent, still 0
  long MouseMode(long render, long mode);
  void KeepLastFrame(long on);  // off: the picture clears when the decoders close
  // Writes the last decoded picture (see snapshot_writer.h for path forms); 0 / -1.
  long Snapshot(long render, long format, const CString& path);
  long RecordMark(long stream, long on);  // a small red mark in the corner while on
  long FillScreen(long on);
  long Release();  // stops decoding at once; the decoders close
  long Talk(long stream, long value);
  long Flip(long stream, long value);
  long BufferTick(long value);
  long BufferCount(long value);

  // State, for the program's tests and status.
  bool HasPicture() const;
  QImage LastPicture() const;
  bool IsSoundSilent() const;
  long GetMouseMode() const { return mouseMode_; }
  long GetTalk() const { return talk_; }
  long GetFlip() const { return flip_; }
  long GetBufferTick() const { return bufferTick_; }
  long GetBufferCount() const { return bufferCount_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool IsRender(long render) const { return render >= 1 && render == renderId_; }
  void PlayPcm(const QByteArray& pcm, int sampleRate, int channels);
  void ClearPictureUnlessKept();

  long renderId_ = 0;
  mutable std::mutex decoderMutex_;  // the decoders
  std::unique_ptr<VideoDecoder> video_;
  std::unique_ptr<AudioDecoder> audio_;
  mutable std::mutex pictureMutex_;
  QImage picture_;
  std::atomic<bool> repaintPosted_{false};
  std::atomic<bool> soundOn_{false};
  std::unique_ptr<SoundOutput> sound_;

  bool keepLastFrame_ = true;
  bool fillScreen_ = false;
  bool recordMark_ = false;
  long mouseMode_ = 0;
  long talk_ = 0;
  long flip_ = 0;
  long bufferTick_ = 0;
  long bufferCount_ = 0;
};
