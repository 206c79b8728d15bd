#include "live/audio/talk_audio_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/client_log.h"
#include "live/audio/talk_audio_ring.h"

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
  if (!ring_->isOpen()) return false;
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
  const size_t queued = ring_->Queued();
  if (queued == 0) return kNoData;
  return ring_->Size() - queued >= kWriteRoom ? kRoom : kFull;
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
