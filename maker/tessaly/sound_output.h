// Plays 16-bit PCM on the default sound device. Without a usable device it
// stays silent and says so (IsSilent); nothing fails. UI thread only.
#pragma once

#include <QByteArray>
#include <memory>

class QAudioSink;
class QIODevice;

class SoundOutput {
 public:
  SoundOutput();
  ~SoundOutput();
  SoundOutput(const SoundOutput&) = delete;
  SoundOutput& operator=(const SoundOutput&) = delete;

  // Opens the device for this format when not open for it yet, then queues the PCM.
  void Play(const QByteArray& pcm, int sampleRate, int channels);
  void Stop();
  bool IsSilent() const { return silent_; }

 private:
  std::unique_ptr<QAudioSink> sink_;
  QIODevice* device_ = nullptr;
  int sampleRate_ = 0;
  int channels_ = 0;
  bool silent_ = false;
};
