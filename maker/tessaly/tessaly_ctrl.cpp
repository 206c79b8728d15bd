#include "tessaly/tessaly_ctrl.h"

#include <QPainter>
#include <QRegion>

#include "platform/thread_handoff.h"
#include "streva/media_blocks.h"
#include "tessaly/audio_decoder.h"
#include "tessaly/snapshot_writer.h"
#include "tessaly/sound_output.h"
#include "tessaly/video_decoder.h"

CTessalyCtrl::CTessalyCtrl(QWidget* parent)
    : QWidget(parent),
      video_(std::make_unique<VideoDecoder>()),
      audio_(std::make_unique<AudioDecoder>()),
      sound_(std::make_unique<SoundOutput>()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::ArrowCursor);
  viewSize_ = size();
}

CTessalyCtrl::~CTessalyCtrl() {
  std::lock_guard<std::mutex> lock(decoderMutex_);
  video_->Close();
  audio_->Close();
}

long CTessalyCtrl::CreateRender(const CString&) {
  if (renderId_ != 0) return -1;
  renderId_ = 1;
  return renderId_;
}

long CTessalyCtrl::DeleteRender(long render) {
  if (!IsRender(render)) return -1;
  CloseDecoder(kVideo, render);
  CloseDecoder(kAudio, render);
  renderId_ = 0;
  return 0;
}

long CTessalyCtrl::SetupDecoder(long type, long render, const BYTE* block, long size) {
  if (!IsRender(render)) return -1;
  std::lock_guard<std::mutex> lock(decoderMutex_);
  if (type == kVideo) {
    VideoParamBlock params;
    return mediablocks::ReadVideoBlock(block, size, &params) && video_->Open(params) ? 0 : -1;
  }
  if (type == kAudio) {
    AudioParamBlock params;
    return mediablocks::ReadAudioBlock(block, size, &params) && audio_->Open(params) ? 0 : -1;
  }
  return -1;
}

long CTessalyCtrl::CloseDecoder(long type, long render) {
  if (!IsRender(render) || (type != kVideo && type != kAudio)) return -1;
  {
    std::lock_guard<std::mutex> lock(decoderMutex_);
    if (type == kVideo) {
      video_->Close();
    } else {
      audio_->Close();
    }
  }
  if (type == kVideo) ClearPictureUnlessKept();
  return 0;
}

void CTessalyCtrl::ClearPictureUnlessKept() {
  if (keepLastFrame_) return;
  {
    std::lock_guard<std::mutex> lock(pictureMutex_);
    decoded_.reset();
    shown_ = QImage();
  }
  update();
}

long CTessalyCtrl::InputData(long type, long render, const BYTE* data, long length, const BYTE*,
                             long) {
  if (!IsRender(render) || !data || length < 1) return -1;
  if (type == kVideo) {
    DecodedPicture decoded;
    QImage shown;
    {
      std::lock_guard<std::mutex> lock(decoderMutex_);
      if (!video_->IsOpen()) return -1;
      if (!video_->Decode(data, static_cast<size_t>(length), &decoded)) return 0;
      ++picturesDecoded_;
      QSize view;
      bool fill = false;
      bool viewShown = false;
      {
        std::lock_guard<std::mutex> pictureLock(pictureMutex_);
        view = viewSize_;
        fill = fillScreen_;
        viewShown = viewShown_;
      }
      if (viewShown) {
        const QRect target = ShownRect(PictureSize(*decoded), QRect(QPoint(0, 0), view), fill);
        shown = decodeScaler_.Convert(*decoded, target.size());
      }
    }
    {
      std::lock_guard<std::mutex> lock(pictureMutex_);
      decoded_ = std::move(decoded);
      shown_ = std::move(shown);
    }
    // One repaint waits at a time; it draws whatever picture is newest.
    if (!repaintPosted_.exchange(true)) {
      QueueCall(
          this,
          [this] {
            repaintPosted_ = false;
            update();
          });
    }
    return 0;
  }
  if (type == kAudio) {
    QByteArray pcm;
    int rate = 0;
    int channels = 0;
    {
      std::lock_guard<std::mutex> lock(decoderMutex_);
      if (!audio_->IsOpen()) return -1;
      if (!soundOn_) return 0;  // nothing to play: no need to decode
      if (!audio_->Decode(data, static_cast<size_t>(length), &pcm)) return 0;
      rate = audio_->SampleRate();
      channels = audio_->Channels();
    }
    QueueCall(this, [this, pcm, rate, channels] { PlayPcm(pcm, rate, channels); });
    return 0;
  }
  return -1;
}

void CTessalyCtrl::PlayPcm(const QByteArray& pcm, int sampleRate, int channels) {
  if (soundOn_) sound_->Play(pcm, sampleRate, channels);
}

long CTessalyCtrl::Sound(long render, long on) {
  if (!IsRender(render)) return -1;
  soundOn_ = on != 0;
  if (!soundOn_) sound_->Stop();
  return 0;
}

bool CTessalyCtrl::IsSoundSilent() const { return sound_->IsSilent(); }

long CTessalyCtrl::MouseMode(long render, long mode) {
  if (!IsRender(render)) return -1;
  mouseMode_ = mode;
  return 0;
}

void CTessalyCtrl::KeepLastFrame(long on) { keepLastFrame_ = on != 0; }

long CTessalyCtrl::Snapshot(long render, long format, const CString& path) {
  if (!IsRender(render)) return -1;
  QImage picture = LastPicture();
  return snapshotwriter::Save(picture, format, path).empty() ? -1 : 0;
}

long CTessalyCtrl::RecordMark(long, long on) {
  recordMark_ = on != 0;
  update();
  return 0;
}

long CTessalyCtrl::FillScreen(long on) {
  {
    std::lock_guard<std::mutex> lock(pictureMutex_);
    fillScreen_ = on != 0;
  }
  update();
  return 0;
}

long CTessalyCtrl::Release() {
  if (renderId_ != 0) {
    CloseDecoder(kVideo, renderId_);
    CloseDecoder(kAudio, renderId_);
  }
  return 0;
}

long CTessalyCtrl::Talk(long, long value) {
  talk_ = value;
  return 0;
}

long CTessalyCtrl::Flip(long, long value) {
  flip_ = value;
  return 0;
}

long CTessalyCtrl::BufferTick(long value) {
  bufferTick_ = value;
  return 0;
}

long CTessalyCtrl::BufferCount(long value) {
  bufferCount_ = value;
  return 0;
}

bool CTessalyCtrl::HasPicture() const {
  std::lock_guard<std::mutex> lock(pictureMutex_);
  return decoded_ != nullptr;
}

QImage CTessalyCtrl::LastPicture() const {
  DecodedPicture decoded;
  {
    std::lock_guard<std::mutex> lock(pictureMutex_);
    decoded = decoded_;
  }
  if (!decoded) return QImage();
  PictureScaler scaler;
  return scaler.Convert(*decoded, PictureSize(*decoded));
}

void CTessalyCtrl::SetViewShown(bool shown) {
  std::lock_guard<std::mutex> lock(pictureMutex_);
  viewShown_ = shown;
}

void CTessalyCtrl::resizeEvent(QResizeEvent* event) {
  {
    std::lock_guard<std::mutex> lock(pictureMutex_);
    viewSize_ = size();
  }
  QWidget::resizeEvent(event);
}

void CTessalyCtrl::showEvent(QShowEvent* event) {
  SetViewShown(true);
  QWidget::showEvent(event);
}

void CTessalyCtrl::hideEvent(QHideEvent* event) {
  SetViewShown(false);
  QWidget::hideEvent(event);
}

void CTessalyCtrl::paintEvent(QPaintEvent*) {
  DecodedPicture decoded;
  QImage shown;
  bool fill = false;
  {
    std::lock_guard<std::mutex> lock(pictureMutex_);
    decoded = decoded_;
    shown = shown_;
    fill = fillScreen_;
    viewShown_ = true;  // painted, so it shows
  }
  QRect target;
  if (decoded) {
    target = ShownRect(PictureSize(*decoded), rect(), fill);
    if (shown.size() != target.size()) {
      // Decoded before the widget took its present size or mode, or while hidden.
      shown = paintScaler_.Convert(*decoded, target.size());
      std::lock_guard<std::mutex> lock(pictureMutex_);
      if (decoded_ == decoded) shown_ = shown;
    }
  }
  QPainter painter(this);
  QRegion around(rect());
  if (!shown.isNull()) around -= target;
  for (const QRect& band : around) painter.fillRect(band, Qt::black);
  if (!shown.isNull()) painter.drawImage(target.topLeft(), shown);
  if (recordMark_) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 0, 0));
    painter.drawEllipse(QRect(6, 6, 10, 10));
  }
}
