#include "live/audio/talk_audio_ring.h"

#include <algorithm>
#include <cmath>
#include <cstring>

TalkAudioRing::TalkAudioRing(size_t size) : buffer_(std::max<size_t>(size, 2)) {
  // Unbuffered: a read-ahead would take silence into QIODevice's own buffer
  // and play it before samples written later.
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

size_t TalkAudioRing::Queued() {
  std::lock_guard<std::mutex> lock(mutex_);
  return queued_;
}

void TalkAudioRing::Put(const uint8_t* bytes, size_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (halted_) return;
  length = std::min(length, buffer_.size() - queued_);
  for (size_t i = 0; i < length; ++i) buffer_[(head_ + queued_ + i) % buffer_.size()] = bytes[i];
  queued_ += length;
  playing_ = true;
}

void TalkAudioRing::Halt() {
  std::lock_guard<std::mutex> lock(mutex_);
  halted_ = true;
  playing_ = false;
  queued_ = 0;
  head_ = 0;
}

void TalkAudioRing::SetGain(double gain) {
  std::lock_guard<std::mutex> lock(mutex_);
  gain_ = gain;
}

qint64 TalkAudioRing::readData(char* data, qint64 maxlen) {
  std::lock_guard<std::mutex> lock(mutex_);
  const size_t wanted = static_cast<size_t>(std::max<qint64>(maxlen, 0)) & ~size_t{1};
  std::memset(data, 0, wanted);
  if (!playing_) return static_cast<qint64>(wanted);
  const size_t taken = std::min(queued_ & ~size_t{1}, wanted);
  for (size_t i = 0; i < taken; i += 2) {
    const uint8_t low = buffer_[(head_ + i) % buffer_.size()];
    const uint8_t high = buffer_[(head_ + i + 1) % buffer_.size()];
    const auto sample = static_cast<int16_t>(low | (high << 8));
    const long scaled = std::clamp<long>(std::lround(sample * gain_), INT16_MIN, INT16_MAX);
    data[i] = static_cast<char>(scaled & 0xFF);
    data[i + 1] = static_cast<char>((scaled >> 8) & 0xFF);
  }
  head_ = (head_ + taken) % buffer_.size();
  queued_ -= taken;
  return static_cast<qint64>(wanted);
}
