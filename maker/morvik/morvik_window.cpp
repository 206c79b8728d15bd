// CPlayBackAtl: the player window around its engine.
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <atomic>

#include "morvik/morvik.h"
#include "morvik/morvik_bar.h"
#include "tessaly/picture_scaler.h"
#include "tessaly/snapshot_writer.h"
#include "tessaly/sound_output.h"
#include "platform/thread_handoff.h"

namespace {

constexpr double kMaxZoom = 8.0;
// At most 50 paints a second: a file at 25 frames per second shows every
// picture, a fast-forward shows every picture the screen can follow.
constexpr qint64 kMinPaintIntervalMs = 20;

qint64 PaintClockMs() {
  static const QElapsedTimer clock = [] {
    QElapsedTimer started;
    started.start();
    return started;
  }();
  return clock.elapsed();
}

}  // namespace

// The engine's way to the window: every call comes back to the UI thread
// through the window's event queue; once the window is gone Qt drops what is
// still queued, and the engine has let go of this object before that.
class MorvikWindowOutput : public MorvikOutput {
 public:
  explicit MorvikWindowOutput(CPlayBackAtl* window) : window_(window) {}

  void PictureReady() override { Repaint(); }
  void PictureCleared() override { Repaint(); }
  // UI thread, from the paint: the next picture may ask for a paint again.
  void Painted() { repaintPosted_.store(false); }

  void Sound(const QByteArray& pcm, int sampleRate, int channels) override {
    CPlayBackAtl* window = window_;
    QueueCall(window, [window, pcm, sampleRate, channels] { window->PlaySound(pcm, sampleRate, channels); });
  }

  void Event(LONG eventId, LONG a, LONG b, LONG c, const std::string& text) override {
    CPlayBackAtl* window = window_;
    QueueCall(window, [window, eventId, a, b, c, text] { window->RaiseEvent(eventId, a, b, c, text); });
  }

 private:
  // One request waits at a time, until the window has painted: pictures that
  // come faster than the window paints post nothing, so they can never crowd
  // the paints themselves out of the event queue. The paint draws whatever
  // picture is newest.
  void Repaint() {
    if (repaintPosted_.exchange(true)) return;
    CPlayBackAtl* window = window_;
    QueueCall(window, [window] { window->RequestRepaint(); });
  }

  CPlayBackAtl* window_;
  std::atomic<bool> repaintPosted_{false};
};

CPlayBackAtl::CPlayBackAtl(QWidget* parent, int ctrlId)
    : QWidget(parent),
      ctrlId_(ctrlId),
      engine_(std::make_shared<MorvikEngine>()),
      output_(std::make_unique<MorvikWindowOutput>(this)),
      sound_(std::make_unique<SoundOutput>()),
      paintScaler_(std::make_unique<PictureScaler>()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  bar_ = new MorvikBar(
      this, [this](LONG command, LONG value) { OnBarCommand(command, value); },
      [this] { return engine_->GetSpeed(); });
  engine_->SetOutput(output_.get());
}

CPlayBackAtl::~CPlayBackAtl() {
  // After this no call of the engine reaches the window, whoever still holds it.
  engine_->Close();
}

QRect CPlayBackAtl::PictureRect() const {
  return QRect(0, 0, width(), std::max(0, height() - MorvikBar::kHeight));
}

void CPlayBackAtl::resizeEvent(QResizeEvent*) {
  bar_->setGeometry(0, std::max(0, height() - MorvikBar::kHeight), width(), MorvikBar::kHeight);
}

void CPlayBackAtl::RequestRepaint() {
  const qint64 wait = lastPaintMs_ < 0 ? 0 : lastPaintMs_ + kMinPaintIntervalMs - PaintClockMs();
  if (wait <= 0) {
    RepaintPicture();
    return;
  }
  if (repaintTimer_) return;
  repaintTimer_ = true;
  QTimer::singleShot(static_cast<int>(wait), this, [this] {
    repaintTimer_ = false;
    RepaintPicture();
  });
}

void CPlayBackAtl::RepaintPicture() {
  // A new picture of the same shape covers the old one: the black bands
  // around it and the bar below stay as they are.
  update(shownAt_.isValid() ? shownAt_ : PictureRect());
}

void CPlayBackAtl::paintEvent(QPaintEvent* event) {
  output_->Painted();
  lastPaintMs_ = PaintClockMs();
  QPainter painter(this);
  const QRect area = PictureRect();
  const std::shared_ptr<const AVFrame> decoded = engine_->NewestPicture();
  if (!decoded || area.isEmpty()) {
    shownFrom_.reset();
    shown_ = QImage();
    shownAt_ = QRect();
    painter.fillRect(area, Qt::black);
    return;
  }
  // The part of the picture shown: all of it, or the enlarged part around the centre.
  const QSize size = PictureSize(*decoded);
  const QSizeF part(size.width() / zoom_, size.height() / zoom_);
  const QRectF source(QPointF(zoomCentre_.x() * size.width() - part.width() / 2,
                              zoomCentre_.y() * size.height() - part.height() / 2),
                      part);
  const QRect target = ShownRect(part.toSize(), area, fillScreen_);
  // The whole picture is converted straight to the size it is drawn at; an
  // enlarged part is cut from the picture at its own size.
  const bool whole = zoom_ <= 1.0;
  const QSize converted = whole ? target.size() : size;
  if (shownFrom_ != decoded || shown_.size() != converted) {
    shown_ = paintScaler_->Convert(*decoded, converted);
    shownFrom_ = decoded;
  }
  QRegion around(area);
  if (!shown_.isNull()) around -= target;
  for (const QRect& band : around) painter.fillRect(band, Qt::black);
  const QRect before = shownAt_;
  shownAt_ = shown_.isNull() ? QRect() : target;
  // The picture took another place (another size, zoom or fill mode) while
  // only its old place was repainted: the rest follows at once.
  if (shownAt_ != before && !(QRegion(area) - event->region()).isEmpty()) update(area);
  if (shown_.isNull()) return;
  if (whole) {
    painter.drawImage(target.topLeft(), shown_);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(target), shown_, source);
  }
}

// --- events ---

void CPlayBackAtl::RaiseEvent(LONG eventId, LONG a, LONG b, LONG c, const std::string& text) {
  if (eventId == kMorvikEventNotify && a == kMorvikNotifyPosition) {
    bar_->SetRange(engine_->GetPieceLength());
    bar_->SetPosition(std::atoi(text.c_str()));
  }
  if (eventId == kMorvikEventState) {
    // (playing, factor, slower): a player with nothing set up was stopped.
    if (a == 0 && engine_->GetSetupState(kMorvikSetupVideo) <= 0) {
      bar_->Reset();
    } else {
      bar_->SetSpeed(b, c != 0);
    }
  }
  if (!sink_) return;
  switch (eventId) {
    case kMorvikEventMouse: sink_->OnPlayerMouse(ctrlId_, a, b, c); break;
    case kMorvikEventNotify: sink_->OnPlayerNotify(ctrlId_, a, text.c_str()); break;
    case kMorvikEventState: sink_->OnPlayerEvent3(ctrlId_, a, b, c); break;
    case kMorvikEventCommand: sink_->OnPlayerCommand(ctrlId_, a, b); break;
    default: break;
  }
}

void CPlayBackAtl::OnBarCommand(LONG command, LONG value) {
  if (command == MorvikBar::kSnapshot) {
    Snapshot();
    return;
  }
  engine_->Command(command, value);
}

void CPlayBackAtl::PlaySound(const QByteArray& pcm, int sampleRate, int channels) {
  sound_->Play(pcm, sampleRate, channels);
}

// --- view ---

LONG CPlayBackAtl::SetFillScreen(LONG on) {
  fillScreen_ = on != 0;
  update();
  return 0;
}

LONG CPlayBackAtl::SetFullView(LONG on) {
  if ((on != 0) == fullView_) return 0;
  if (on == 0) {
    LeaveFullView();
    return 0;
  }
  normalParent_ = parentWidget();
  normalGeometry_ = geometry();
  fullView_ = true;
  setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
  showFullScreen();
  setFocus();
  return 0;
}

void CPlayBackAtl::LeaveFullView() {
  if (!fullView_) return;
  fullView_ = false;
  setParent(normalParent_, Qt::Widget);
  setGeometry(normalGeometry_);
  show();
}

LONG CPlayBackAtl::GetViewState() const { return zoom_ > 1.0 ? 1 : 0; }

LONG CPlayBackAtl::SetMouseMode(LONG mode) {
  if (mode < kMorvikMousePointer || mode > kMorvikMouseMove) return -1;
  mouseMode_ = mode;
  switch (mode) {
    case kMorvikMouseZoomIn:
    case kMorvikMouseZoomOut: setCursor(Qt::CrossCursor); break;
    case kMorvikMouseMove: setCursor(Qt::OpenHandCursor); break;
    default: setCursor(Qt::ArrowCursor); break;
  }
  return 0;
}

void CPlayBackAtl::Zoom(const QPoint& at, bool in) {
  const QRect area = PictureRect();
  if (area.isEmpty()) return;
  // The clicked point becomes the centre of the shown part.
  const double fx = std::clamp(static_cast<double>(at.x()) / area.width(), 0.0, 1.0);
  const double fy = std::clamp(static_cast<double>(at.y()) / area.height(), 0.0, 1.0);
  const QPointF clicked(zoomCentre_.x() + (fx - 0.5) / zoom_, zoomCentre_.y() + (fy - 0.5) / zoom_);
  zoom_ = in ? std::min(kMaxZoom, zoom_ * 2) : std::max(1.0, zoom_ / 2);
  const double half = 0.5 / zoom_;
  zoomCentre_ = QPointF(std::clamp(clicked.x(), half, 1.0 - half), std::clamp(clicked.y(), half, 1.0 - half));
  update();
}

// --- snapshots ---

LONG CPlayBackAtl::SetSnapPath(LONG kind, const char* folder) {
  snapKind_ = kind;
  snapFolder_ = folder ? folder : "";
  return 0;
}

void CPlayBackAtl::SelectSnapKind(LONG kind) { snapKind_ = kind; }

std::string CPlayBackAtl::Snapshot() {
  const QImage picture = engine_->LastPicture();
  if (picture.isNull() || snapFolder_.empty()) return std::string();
  std::string folder = snapFolder_;
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return snapshotwriter::Save(picture, snapKind_, folder);
}

// --- mouse and keys ---

void CPlayBackAtl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && mouseMode_ == kMorvikMouseMove && zoom_ > 1.0) {
    dragging_ = true;
    dragFrom_ = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
  }
}

void CPlayBackAtl::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QRect area = PictureRect();
  const QPoint at = event->position().toPoint();
  if (area.isEmpty()) return;
  const double half = 0.5 / zoom_;
  const double dx = static_cast<double>(at.x() - dragFrom_.x()) / area.width() / zoom_;
  const double dy = static_cast<double>(at.y() - dragFrom_.y()) / area.height() / zoom_;
  zoomCentre_ = QPointF(std::clamp(zoomCentre_.x() - dx, half, 1.0 - half),
                        std::clamp(zoomCentre_.y() - dy, half, 1.0 - half));
  dragFrom_ = at;
  update();
}

void CPlayBackAtl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  if (dragging_) {
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
  } else if (mouseMode_ == kMorvikMouseZoomIn || mouseMode_ == kMorvikMouseZoomOut) {
    Zoom(at, mouseMode_ == kMorvikMouseZoomIn);
  }
  RaiseEvent(kMorvikEventMouse, kMorvikWmLButtonUp, at.x(), at.y(), std::string());
}

void CPlayBackAtl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  // A full view is left by a double click; the owner hears of it as well.
  QPointer<CPlayBackAtl> self(this);
  if (fullView_) LeaveFullView();
  if (self) RaiseEvent(kMorvikEventMouse, kMorvikWmLButtonDblClk, at.x(), at.y(), std::string());
}

void CPlayBackAtl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && fullView_) {
    LeaveFullView();
    return;
  }
  QWidget::keyPressEvent(event);
}
