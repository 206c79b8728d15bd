// MorvikEngine: the control's methods, handed to the playback inside.
#include "morvik/morvik.h"
#include "morvik/morvik_playback.h"

MorvikEngine::MorvikEngine() : impl_(std::make_unique<MorvikPlayback>()) {}

MorvikEngine::~MorvikEngine() { impl_->Close(); }

LONG MorvikEngine::SetMediaParam(const char* base64, LONG size, LONG kind) {
  return impl_->SetMediaParam(base64, size, kind);
}

LONG MorvikEngine::InputVideo(const BYTE* data, LONG length, const BYTE* header, LONG headerLength) {
  return impl_->Input(true, data, length, header, headerLength);
}

LONG MorvikEngine::InputAudio(const BYTE* data, LONG length, const BYTE* header, LONG headerLength) {
  return impl_->Input(false, data, length, header, headerLength);
}

LONG MorvikEngine::Play() { return impl_->Play(); }

LONG MorvikEngine::Stop() { return impl_->Stop(); }

LONG MorvikEngine::OpenFile(const char* path) { return impl_->OpenFile(path); }

LONG MorvikEngine::IsPlaying() const { return impl_->Snapshot().playing ? 1 : 0; }

LONG MorvikEngine::SetRunState(LONG state) {
  return impl_->SetRunState(state);
}

LONG MorvikEngine::SetPlayOption(LONG option, LONG value) { return impl_->SetPlayOption(option, value); }

LONG MorvikEngine::SetPlaySeconds(LONG kind, LONG seconds) { return impl_->SetPlaySeconds(kind, seconds); }

LONG MorvikEngine::GetSetupState(LONG kind) const {
  const MorvikPlayback::State s = impl_->Snapshot();
  switch (kind) {
    case kMorvikSetupVideo: return s.videoSet ? 1 : 0;
    case kMorvikSetupAudio: return s.audioSet ? 1 : 0;
    case kMorvikSetupStart: return s.startPosition;
    default: return -1;
  }
}

void MorvikEngine::Command(LONG command, LONG value) { impl_->Command(command, value); }

void MorvikEngine::Close() { impl_->Close(); }

LONG MorvikEngine::GetPlayOption(LONG option) const {
  const MorvikPlayback::State s = impl_->Snapshot();
  auto it = s.options.find(option);
  return it == s.options.end() ? 0 : it->second;
}

LONG MorvikEngine::GetRunState() const { return impl_->Snapshot().runState; }

LONG MorvikEngine::GetPieceLength() const { return impl_->Snapshot().pieceLength; }

LONG MorvikEngine::GetPosition() const { return impl_->Snapshot().position; }

bool MorvikEngine::IsPaused() const { return impl_->Snapshot().paused; }

LONG MorvikEngine::GetSpeed() const { return impl_->Snapshot().speed; }

bool MorvikEngine::IsFilePlaying() const { return impl_->Snapshot().file; }

QImage MorvikEngine::LastPicture() const { return impl_->LastPicture(); }

std::shared_ptr<const AVFrame> MorvikEngine::NewestPicture() const { return impl_->NewestPicture(); }

bool MorvikEngine::HasPicture() const { return impl_->NewestPicture() != nullptr; }

unsigned long long MorvikEngine::PicturesShown() const { return impl_->PicturesShown(); }

void MorvikEngine::SetOutput(MorvikOutput* output) { impl_->SetOutput(output); }
