// Reading a wave file's PCM samples (RIFF "WAVE", format 1, 8 or 16 bits).
#pragma once

#include <string>

struct WavSound {
  int sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 0;  // 8 (unsigned) or 16 (signed, little-endian)
  std::string pcm;        // the samples, frames interleaved, whole frames only
};

// Parses the bytes of a wave file; false with the reason in *error for
// anything else (another format, chunks cut short, no samples).
bool ParseWav(const std::string& bytes, WavSound& out, std::string* error);
// Reads and parses a file (the program's path form).
bool ReadWav(const std::string& path, WavSound& out, std::string* error);
