// Tessaly: the stream player. Each control is a child widget of the window it
// is created on and holds one render with a video and an audio decoder, fed
// with the frames and parameter blocks of the pull client (streva_ctrl.h).
//
// Threads: create, set up, close and every display setting on the UI thread;
// InputData from any one thread at a time (the pump thread). Decoding runs on
// the caller's thread, and so does the conversion of each picture to RGB at the
// size it is shown at: stretched over the widget with FillScreen on, else the
// largest size that keeps its aspect, centred on black. The widget draws the
// newest converted picture on the UI thread as it is; only a picture decoded
// before the widget changed size or mode is converted again there. While the
// widget is hidden, pictures are decoded but not converted.
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
#include "tessaly/picture_scaler.h"

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
  QImage LastPicture() const;  // at the size it was decoded at
  unsigned long long PicturesDecoded() const { return picturesDecoded_; }
  bool IsSoundSilent() const;
  long GetMouseMode() const { return mouseMode_; }
  long GetTalk() const { return talk_; }
  long GetFlip() const { return flip_; }
  long GetBufferTick() const { return bufferTick_; }
  long GetBufferCount() const { return bufferCount_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  bool IsRender(long render) const { return render >= 1 && render == renderId_; }
  void PlayPcm(const QByteArray& pcm, int sampleRate, int channels);
  void ClearPictureUnlessKept();
  void SetViewShown(bool shown);

  long renderId_ = 0;
  mutable std::mutex decoderMutex_;  // the decoders and decodeScaler_
  std::unique_ptr<VideoDecoder> video_;
  std::unique_ptr<AudioDecoder> audio_;
  PictureScaler decodeScaler_;
  PictureScaler paintScaler_;  // UI thread

  // The pictures and what the decoding thread needs to know of the widget.
  mutable std::mutex pictureMutex_;
  DecodedPicture decoded_;  // the newest picture, at its own size
  QImage shown_;            // decoded_ converted to the size it is drawn at
  QSize viewSize_;
  bool viewShown_ = false;
  bool fillScreen_ = false;
  std::atomic<bool> repaintPosted_{false};
  std::atomic<unsigned long long> picturesDecoded_{0};
  std::atomic<bool> soundOn_{false};
  std::unique_ptr<SoundOutput> sound_;

  bool keepLastFrame_ = true;
  bool recordMark_ = false;
  long mouseMode_ = 0;
  long talk_ = 0;
  long flip_ = 0;
  long bufferTick_ = 0;
  long bufferCount_ = 0;
};
