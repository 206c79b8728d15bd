#include "maker/gimbro/talk/audio_source.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QMediaDevices>
#include <mutex>
#include <vector>

#include "maker/gimbro/gimbro_log.h"

namespace talkaudio {

namespace {

std::mutex& FactoryMutex() {
  static std::mutex mutex;
  return mutex;
}

SourceFactory& Factory() {
  static SourceFactory factory;
  return factory;
}

constexpr int kTickMs = 20;

}  // namespace

void SetSourceFactory(SourceFactory factory) {
  std::lock_guard<std::mutex> lock(FactoryMutex());
  Factory() = std::move(factory);
}

std::unique_ptr<Source> MakeSource() {
  SourceFactory factory;
  {
    std::lock_guard<std::mutex> lock(FactoryMutex());
    factory = Factory();
  }
  if (factory) return factory();
  return std::make_unique<MicrophoneSource>();
}

void RealTimePace::Start(int sampleRate) {
  rate_ = sampleRate;
  delivered_ = 0;
  clock_.start();
}

size_t RealTimePace::Due() {
  if (!clock_.isValid() || rate_ <= 0) return 0;
  const int64_t owed = clock_.elapsed() * rate_ / 1000;
  if (owed - delivered_ > rate_) delivered_ = owed - rate_;  // at most one second is made up
  const int64_t due = owed - delivered_;
  delivered_ = owed;
  return static_cast<size_t>(due);
}

MicrophoneSource::MicrophoneSource() {
  connect(&silenceTimer_, &QTimer::timeout, this, [this]() {
    const size_t frames = silencePace_.Due();
    if (frames == 0 || !sink_) return;
    const std::vector<int16_t> zeros(frames * static_cast<size_t>(channels_), 0);
    sink_(zeros.data(), frames);
  });
}

MicrophoneSource::~MicrophoneSource() {
  if (input_) input_->stop();
}

std::unique_ptr<MicrophoneSource> MicrophoneSource::WithoutDevice() {
  auto source = std::make_unique<MicrophoneSource>();
  source->noDevice_ = true;
  return source;
}

void MicrophoneSource::Start(int sampleRate, int channels, Sink sink) {
  sink_ = std::move(sink);
  channels_ = channels;
  sampleRate_ = sampleRate;
  const QAudioDevice device = noDevice_ ? QAudioDevice() : QMediaDevices::defaultAudioInput();
  if (device.isNull()) {
    StartSilence("no capture device");
    return;
  }
  QAudioFormat format;
  format.setSampleRate(sampleRate);
  format.setChannelCount(channels);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) {
    StartSilence("the capture device does not take the format");
    return;
  }
  input_ = std::make_unique<QAudioSource>(device, format);
  io_ = input_->start();
  if (io_ == nullptr || input_->error() != QAudio::NoError) {
    input_.reset();
    StartSilence("the capture device cannot be opened");
    return;
  }
  connect(io_, &QIODevice::readyRead, this, &MicrophoneSource::OnReady);
  qCInfo(lcGimbro, "talk audio from %s, %d Hz, %d channel(s)", qPrintable(device.description()), sampleRate,
         channels);
}

void MicrophoneSource::StartSilence(const char* why) {
  qCWarning(lcGimbro, "talk audio: %s; silence is sent", why);
  silencePace_.Start(sampleRate_);
  silenceTimer_.start(kTickMs);
}

void MicrophoneSource::OnReady() {
  rest_ += io_->readAll();
  const qsizetype frameBytes = static_cast<qsizetype>(2 * channels_);
  const qsizetype frames = rest_.size() / frameBytes;
  if (frames == 0 || !sink_) return;
  sink_(reinterpret_cast<const int16_t*>(rest_.constData()), static_cast<size_t>(frames));
  rest_.remove(0, frames * frameBytes);
}

}  // namespace talkaudio
