#include "tessaly/sound_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

SoundOutput::SoundOutput() = default;
SoundOutput::~SoundOutput() { Stop(); }

void SoundOutput::Play(const QByteArray& pcm, int sampleRate, int channels) {
  if (sampleRate <= 0 || channels <= 0) return;
  if (sampleRate != sampleRate_ || channels != channels_) {
    Stop();
    sampleRate_ = sampleRate;
    channels_ = channels;
    silent_ = false;
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (output.isNull() || !output.isFormatSupported(format)) {
      silent_ = true;
    } else {
      sink_ = std::make_unique<QAudioSink>(output, format);
      device_ = sink_->start();
      if (!device_ || sink_->error() == QAudio::OpenError) {
        sink_.reset();
        device_ = nullptr;
        silent_ = true;
      }
    }
  }
  if (device_) device_->write(pcm);
}

void SoundOutput::Stop() {
  if (sink_) sink_->stop();
  sink_.reset();
  device_ = nullptr;
  sampleRate_ = channels_ = 0;
}
