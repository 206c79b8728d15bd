#include "alarm_map_wall/alarm/sound/alarm_sound_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

#include "core/client_log.h"

// The samples of one sound, read over and over by the sink.
class LoopingPcm : public QIODevice {
 public:
  explicit LoopingPcm(const std::string& pcm) : pcm_(pcm) {}
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return std::max<qint64>(1 << 20, QIODevice::bytesAvailable()); }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    qint64 done = 0;
    while (done < maxSize && !pcm_.empty()) {
      const size_t n = std::min<size_t>(static_cast<size_t>(maxSize - done), pcm_.size() - at_);
      std::memcpy(data + done, pcm_.data() + at_, n);
      done += static_cast<qint64>(n);
      at_ = (at_ + n) % pcm_.size();
    }
    return done;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  const std::string& pcm_;
  size_t at_ = 0;
};

AlarmSoundPlayer::AlarmSoundPlayer() = default;

AlarmSoundPlayer::~AlarmSoundPlayer() { Stop(); }

const WavSound* AlarmSoundPlayer::Load(const std::string& path) {
  auto it = sounds_.find(path);
  if (it == sounds_.end()) {
    auto sound = std::make_unique<WavSound>();
    std::string error;
    if (!ReadWav(path, *sound, &error)) {
      WriteLog(3, "AlarmSoundPlayer: cannot play %s: %s", path.c_str(), error.c_str());
      sound.reset();
    }
    it = sounds_.emplace(path, std::move(sound)).first;
  }
  return it->second.get();
}

bool AlarmSoundPlayer::PlayLooping(const std::string& path) {
  Stop();
  const WavSound* sound = Load(path);
  if (sound == nullptr) return false;
  playing_ = path;
  ++starts_;
  const QAudioDevice output = QMediaDevices::defaultAudioOutput();
  QAudioFormat format;
  format.setSampleRate(sound->sampleRate);
  format.setChannelCount(sound->channels);
  format.setSampleFormat(sound->bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
  silent_ = output.isNull() || !output.isFormatSupported(format);
  if (silent_) return true;
  source_ = std::make_unique<LoopingPcm>(sound->pcm);
  source_->open(QIODevice::ReadOnly);
  sink_ = std::make_unique<QAudioSink>(output, format);
  sink_->start(source_.get());
  if (sink_->error() == QAudio::OpenError) {
    sink_.reset();
    source_.reset();
    silent_ = true;
  }
  return true;
}

void AlarmSoundPlayer::Stop() {
  if (sink_) sink_->stop();
  sink_.reset();
  source_.reset();
  playing_.clear();
}
