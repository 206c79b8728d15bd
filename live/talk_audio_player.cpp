#include "live/talk_audio_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/client_log.h"

TalkWaveFormat MakeTalkWaveFormat(int sampleRate, int bitsPerSample, int channels) {
  TalkWaveFormat format;
  format.channels = channels;
  format.bitsPerSample = bitsPerSample;
  format.samplesPerSec = sampleRate < 32000 ? sampleRate * channels : sampleRate;
  format.blockAlign = bitsPerSample / 8 * channels;
  format.avgBytesPerSec = format.blockAlign * format.samplesPerSec;
  return format;
}

int VolumeToAttenuation(int volume) {
  volume = std::clamp(volume, 0, 100);
  return -static_cast<int>(std::lround(70.0 * std::pow(10.0, 2.0 * (100 - volume) / 100.0)));
}

// The ring the sound device pulls from. Bytes written wait until read; a read
// of more than waits is filled with silence, so the device keeps playing.
class TalkAudioRing : public QIODevice {
 public:
  explicit TalkAudioRing(size_t size) : buffer_(size) {}

  int State() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queued_ == 0) return AudioRenderer::kNoData;
    return buffer_.size() - queued_ >= AudioRenderer::kWriteRoom ? AudioRenderer::kRoom
                                                                 : AudioRenderer::kFull;
  }

  void Put(const uint8_t* bytes, size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    // What does not fit is dropped: the decoder asks for room before it writes.
    length = std::min(length, buffer_.size() - queued_);
    for (size_t i = 0; i < length; ++i) buffer_[(head_ + queued_ + i) % buffer_.size()] = bytes[i];
    queued_ += length;
    playing_ = true;
  }

  void Halt() {
    std::lock_guard<std::mutex> lock(mutex_);
    playing_ = false;
    queued_ = 0;
    head_ = 0;
  }

  void SetGain(double gain) {
    std::lock_guard<std::mutex> lock(mutex_);
    gain_ = gain;
  }

 protected:
  qint64 readData(char* data, qint64 maxlen) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t wanted = static_cast<size_t>(maxlen) & ~size_t{1};
    std::memset(data, 0, wanted);
    if (!playing_) return static_cast<qint64>(wanted);
    const size_t taken = std::min(queued_ & ~size_t{1}, wanted);
    for (size_t i = 0; i < taken; i += 2) {
      const size_t at = (head_ + i) % buffer_.size();
      const size_t next = (head_ + i + 1) % buffer_.size();
      const int16_t sample = static_cast<int16_t>(buffer_[at] | (buffer_[next] << 8));
      const int16_t scaled = static_cast<int16_t>(std::lround(sample * gain_));
      data[i] = static_cast<char>(scaled & 0xFF);
      data[i + 1] = static_cast<char>((scaled >> 8) & 0xFF);
    }
    head_ = (head_ + taken) % buffer_.size();
    queued_ -= taken;
    return static_cast<qint64>(wanted);
  }
  qint64 writeData(const char*, qint64) override { return -1; }
  bool isSequential() const override { return true; }

 private:
  std::mutex mutex_;
  std::vector<uint8_t> buffer_;
  size_t head_ = 0;
  size_t queued_ = 0;
  bool playing_ = false;
  double gain_ = 1.0;
};

TalkAudioPlayer::TalkAudioPlayer() = default;
TalkAudioPlayer::~TalkAudioPlayer() { Release(); }

bool TalkAudioPlayer::Initialize() {
  silent_ = QMediaDevices::defaultAudioOutput().isNull();
  if (silent_) {
    WriteLog(6, "Initialize DirectSound failed! Please check sound device and install DirectX 9.0 or above.");
  }
  return !silent_;
}

bool TalkAudioPlayer::AllocDSoundBuffer(const TalkWaveFormat& format, size_t size) {
  Release();
  if (size == 0 || format.channels <= 0 || format.samplesPerSec <= 0) return false;
  ring_ = std::make_unique<TalkAudioRing>(size);
  if (!ring_->open(QIODevice::ReadOnly)) return false;
  if (silent_) return true;
  QAudioFormat qformat;
  qformat.setSampleRate(format.samplesPerSec);
  qformat.setChannelCount(format.channels);
  qformat.setSampleFormat(QAudioFormat::Int16);
  const QAudioDevice output = QMediaDevices::defaultAudioOutput();
  if (output.isNull() || !output.isFormatSupported(qformat)) {
    silent_ = true;
    return true;
  }
  sink_ = std::make_unique<QAudioSink>(output, qformat);
  sink_->start(ring_.get());
  if (sink_->error() == QAudio::OpenError) {
    // No usable device after all: stay silent.
    sink_.reset();
    silent_ = true;
  }
  return true;
}

int TalkAudioPlayer::QueryState() {
  if (!ring_ || silent_) return kNoData;
  return ring_->State();
}

void TalkAudioPlayer::Write(const int16_t* samples, size_t count) {
  if (!ring_ || silent_) return;
  // The ring holds the samples little-endian, as the device plays them.
  std::vector<uint8_t> bytes(count * 2);
  for (size_t i = 0; i < count; ++i) {
    bytes[2 * i] = static_cast<uint8_t>(samples[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<uint8_t>((samples[i] >> 8) & 0xFF);
  }
  ring_->Put(bytes.data(), bytes.size());
}

void TalkAudioPlayer::Stop() {
  if (ring_) ring_->Halt();
  SetVolume(0);
}

void TalkAudioPlayer::SetVolume(int volume) {
  if (ring_) ring_->SetGain(std::pow(10.0, VolumeToAttenuation(volume) / 2000.0));
}

void TalkAudioPlayer::Release() {
  if (sink_) sink_->stop();
  sink_.reset();
  ring_.reset();
}
