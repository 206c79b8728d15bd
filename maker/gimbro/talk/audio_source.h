// Where the audio of a talk or a broadcast comes from: the default microphone
// (Qt Multimedia), or a source that a test puts in its place.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

class QAudioSource;
class QIODevice;

namespace talkaudio {

class Source {
 public:
  // Interleaved 16-bit samples, `frames` per channel.
  using Sink = std::function<void(const int16_t* samples, size_t frames)>;
  virtual ~Source() = default;
  // Starts delivering PCM of this rate and channel count, on the calling
  // thread (which runs an event loop), until the source is destroyed.
  virtual void Start(int sampleRate, int channels, Sink sink) = 0;
};

// The frames a source that produces sound itself (silence, a test's tone)
// owes at its real pace: as many as the time since Start holds, whenever its
// timer comes round. A timer that comes late (a busy machine, a thread held
// up) then delivers the missed audio with its next tick instead of losing it,
// as a capture device's buffer would; more than a second behind, the rest is
// given up rather than sent as one burst.
class RealTimePace {
 public:
  void Start(int sampleRate);
  // Frames due now, counted as delivered.
  size_t Due();

 private:
  int rate_ = 0;
  QElapsedTimer clock_;
  int64_t delivered_ = 0;
};

using SourceFactory = std::function<std::unique_ptr<Source>()>;
// The sources the control opens from now on; an empty factory restores the
// default microphone. Any thread.
void SetSourceFactory(SourceFactory factory);
std::unique_ptr<Source> MakeSource();

// The default input device. Without one, or when it cannot capture the
// format, it delivers silence at the same pace and logs once why: a talk
// never fails for want of a microphone.
class MicrophoneSource : public QObject, public Source {
 public:
  MicrophoneSource();
  ~MicrophoneSource() override;
  void Start(int sampleRate, int channels, Sink sink) override;
  bool silent() const { return silenceTimer_.isActive(); }

  // For the tests of the fallback: a source that behaves as without a device.
  static std::unique_ptr<MicrophoneSource> WithoutDevice();

 private:
  void StartSilence(const char* why);
  void OnReady();

  bool noDevice_ = false;
  Sink sink_;
  int channels_ = 1;
  int sampleRate_ = 0;
  std::unique_ptr<QAudioSource> input_;
  QIODevice* io_ = nullptr;
  QByteArray rest_;
  QTimer silenceTimer_;
  RealTimePace silencePace_;
};

}  // namespace talkaudio
