// TalkAudioRing: the ring of 16-bit samples (little-endian bytes) that the
// sound device pulls the talk audio from. Bytes written wait until read; a
// read asks for more than waits gets silence for the rest, so the device
// keeps playing. Nothing plays before the first write; after Halt nothing
// plays until the ring is made again, as a stopped output stays stopped.
// The gain (from the volume) is applied as the samples are read.
//
// The ring opens itself for reading. The writer (the decoder's thread) and the reader (the sound device) may be
// on different threads.
#pragma once

#include <QIODevice>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

class TalkAudioRing : public QIODevice {
 public:
  explicit TalkAudioRing(size_t size);  // opened, unbuffered

  size_t Size() const { return buffer_.size(); }
  size_t Queued();
  // Queues the bytes; what does not fit is dropped (the writer asks for room first).
  void Put(const uint8_t* bytes, size_t length);
  void Halt();
  void SetGain(double gain);

  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char* data, qint64 maxlen) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  std::mutex mutex_;
  std::vector<uint8_t> buffer_;
  size_t head_ = 0;
  size_t queued_ = 0;
  bool playing_ = false;
  bool halted_ = false;
  double gain_ = 1.0;
};
