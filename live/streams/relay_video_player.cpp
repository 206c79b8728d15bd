#include "live/streams/relay_video_player.h"

#include <QCursor>
#include <cstring>

#include "core/user_settings.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

RECT ClientRect(const QWidget* window) {
  if (!window) return RECT{};
  return RECT{0, 0, window->width(), window->height()};
}

void Place(QWidget* player, const RECT& rect) {
  player->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

constexpr long kFrameHeaderLength = sizeof(FrameHeader);
constexpr long kSnapshotFormat = 1;

}  // namespace

RelayVideoPlayer::RelayVideoPlayer(QWidget* parent, BOOL fillScreen) : parent_(parent) {
  if (!parent) return;
  clientRect_ = ClientRect(parent);
  auto* player = new CTessalyCtrl(parent);
  Place(player, clientRect_);
  player->setCursor(Qt::ArrowCursor);
  player->show();
  renderId_ = player->CreateRender("TEST");
  player->FillScreen(fillScreen);
  player->MouseMode(renderId_, mouseMode_);
  player->KeepLastFrame(g_bShowLastFrame);
  std::lock_guard<std::mutex> lock(feedMutex_);
  player_ = player;
}

RelayVideoPlayer::~RelayVideoPlayer() { Close(); }

bool RelayVideoPlayer::HasPlayer() const { return Player() != nullptr; }

CTessalyCtrl* RelayVideoPlayer::Player() const { return parent_ ? player_ : nullptr; }

long RelayVideoPlayer::SetVideoParam(const BYTE* block, long length) {
  if (!Player() || !block || length < static_cast<long>(sizeof(videoParam_))) return -1;
  std::memcpy(&videoParam_, block, sizeof(videoParam_));
  return player_->SetupDecoder(CTessalyCtrl::kVideo, renderId_,
                               reinterpret_cast<const BYTE*>(&videoParam_), sizeof(videoParam_));
}

long RelayVideoPlayer::SetAudioParam(const BYTE* block, long length) {
  if (!Player() || !block || length < static_cast<long>(sizeof(audioParam_))) return -1;
  if (block[0] == 0) return -1;  // no audio in the relayed stream
  std::memcpy(&audioParam_, block, sizeof(audioParam_));
  return player_->SetupDecoder(CTessalyCtrl::kAudio, renderId_,
                               reinterpret_cast<const BYTE*>(&audioParam_), sizeof(audioParam_));
}

long RelayVideoPlayer::InputData(long kind, const BYTE* data, long length,
                                 const RelayFrameInfo* info) {
  if (kind != kVideoFrame && kind != kAudioFrame) return -1;
  std::lock_guard<std::mutex> lock(feedMutex_);
  if (!player_) return -1;
  FrameHeader& header = kind == kVideoFrame ? videoHeader_ : audioHeader_;
  if (info) {
    header.dwFlags = info->dwKeyFlag;
    header.dwTimeStamp = static_cast<uint32_t>(info->dTime);
  }
  ++framesFed_;
  return player_->InputData(kind == kVideoFrame ? CTessalyCtrl::kVideo : CTessalyCtrl::kAudio,
                            renderId_, data, length, reinterpret_cast<const BYTE*>(&header),
                            kFrameHeaderLength);
}

void RelayVideoPlayer::Close() {
  CTessalyCtrl* player = nullptr;
  {
    // Taken under the lock: a frame being fed finishes first, later ones see no player.
    std::lock_guard<std::mutex> lock(feedMutex_);
    player = player_;
    player_ = nullptr;
  }
  // A parent window that is gone has destroyed the player with it.
  if (player && parent_) {
    player->CloseDecoder(CTessalyCtrl::kVideo, renderId_);
    player->CloseDecoder(CTessalyCtrl::kAudio, renderId_);
    player->DeleteRender(renderId_);
    delete player;
  }
  renderId_ = 0;
}

void RelayVideoPlayer::Resize() {
  if (!Player()) return;
  clientRect_ = ClientRect(parent_);
  Place(player_, clientRect_);
}

void RelayVideoPlayer::SetParentWindow(QWidget* window) {
  if (!Player() || !window) return;
  parent_ = window;
  player_->setParent(window);
  player_->show();
  Resize();
}

long RelayVideoPlayer::SnapShot(const CString& path) {
  return Player() ? player_->Snapshot(renderId_, kSnapshotFormat, path) : -1;
}

long RelayVideoPlayer::SetFillScreen(BOOL flag) { return Player() ? player_->FillScreen(flag) : -1; }

long RelayVideoPlayer::ApplyKeepLastFrame(BOOL on) {
  if (!Player()) return -1;
  player_->KeepLastFrame(on);
  return 0;
}

long RelayVideoPlayer::OpenSound() { return Player() ? player_->Sound(renderId_, 1) : -1; }

long RelayVideoPlayer::CloseSound() { return Player() ? player_->Sound(renderId_, 0) : -1; }

long RelayVideoPlayer::SetMouseMode(long mode) {
  if (!Player()) return -1;
  mouseMode_ = mode;
  return player_->MouseMode(renderId_, mode);
}
