// Decodes one audio stream (G.711 A/mu-law, AAC) into 16-bit interleaved PCM.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "streva/streva_ctrl.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

class AudioDecoder {
 public:
  AudioDecoder() = default;
  ~AudioDecoder();
  AudioDecoder(const AudioDecoder&) = delete;
  AudioDecoder& operator=(const AudioDecoder&) = delete;

  bool Open(const AudioParamBlock& block);
  void Close();
  bool IsOpen() const { return context_ != nullptr; }
  int SampleRate() const { return sampleRate_; }
  int Channels() const { return channels_; }
  // Appends the PCM of the frame to *pcm; false when nothing came out.
  bool Decode(const uint8_t* data, size_t length, QByteArray* pcm);

 private:
  AVCodecContext* context_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwrContext* resampler_ = nullptr;
  int sampleRate_ = 0;
  int channels_ = 0;
};
