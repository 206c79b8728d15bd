// TalkAudioPlayer: the talk decoder's output on the default sound device
// through Qt Multimedia. The samples go into a ring of the size the decoder
// asks for; the sound device pulls from it and gets silence while the ring is
// empty or playing has not started. Without a sound device the player is
// silent: writes are taken and dropped, nothing fails.
//
// Created and released on the UI thread; QueryState, Write, Stop and SetVolume
// may be called from the decoder's thread.
#pragma once

#include <memory>

#include "live/audio/audio_renderer.h"

class QAudioSink;
class TalkAudioRing;

class TalkAudioPlayer : public AudioRenderer {
 public:
  TalkAudioPlayer();
  ~TalkAudioPlayer() override;

  bool Initialize() override;
  bool AllocDSoundBuffer(const TalkWaveFormat& format, size_t size) override;
  int QueryState() override;
  void Write(const int16_t* samples, size_t count) override;
  void Stop() override;
  void SetVolume(int volume) override;
  void Release() override;

  bool IsSilent() const { return silent_; }

 private:
  std::unique_ptr<TalkAudioRing> ring_;
  std::unique_ptr<QAudioSink> sink_;
  bool silent_ = false;
};
