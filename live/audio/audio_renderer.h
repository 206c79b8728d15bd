// The output that the talk decoder writes its samples to: a ring of a fixed
// size that the sound device plays from. The decoder's thread calls every
// member; an implementation guards its own state.
#pragma once

#include <cstddef>
#include <cstdint>

struct TalkWaveFormat {
  int channels = 1;
  int samplesPerSec = 8000;
  int bitsPerSample = 16;
  int blockAlign = 2;      // bits / 8 x channels
  int avgBytesPerSec = 16000;
};

// The wave format of the talk audio: below 32000 the sample rate is
// multiplied by the channel count, as the devices have always been played.
TalkWaveFormat MakeTalkWaveFormat(int sampleRate, int bitsPerSample, int channels);

// Volume 0..100 as an attenuation in hundredths of a decibel:
// 70 x 10^(2 x (100 - v) / 100), negated (100 gives -70, 0 gives -7000).
int VolumeToAttenuation(int volume);

class AudioRenderer {
 public:
  // What QueryState reports.
  enum State { kNoData = -1, kFull = 0, kRoom = 1 };
  // Room the decoder wants before it writes the next packet.
  static constexpr size_t kWriteRoom = 8192;

  virtual ~AudioRenderer() = default;
  // Opens the default sound device. False when there is none: the renderer
  // then stays silent and takes every write without playing it.
  virtual bool Initialize() = 0;
  // Makes the ring of `size` bytes for this format; false when it cannot.
  virtual bool AllocDSoundBuffer(const TalkWaveFormat& format, size_t size) = 0;
  // kNoData when nothing waits to be played, kRoom when kWriteRoom more bytes
  // fit, else kFull.
  virtual int QueryState() = 0;
  // Queues the samples; the first write starts playing.
  virtual void Write(const int16_t* samples, size_t count) = 0;
  virtual void Stop() = 0;
  virtual void SetVolume(int volume) = 0;  // 0..100
  virtual void Release() = 0;
};
