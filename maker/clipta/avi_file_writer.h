// One AVI file written with libavformat's AVI muxer, packets copied as they come.
//
// The muxer writes the RIFF and movi chunk sizes and the index only when the
// file is finished. Flush() puts the written packets on disk and then patches
// both sizes in place, so that a file whose writer died keeps a sound layout up
// to the last flushed packet.
#pragma once

#include <cstdint>
#include <string>

#include "streva/streva_ctrl.h"

struct AVFormatContext;
struct AVStream;
struct AVPacket;

class AviFileWriter {
 public:
  static constexpr int kFlushPackets = 5;  // Flush after this many packets

  AviFileWriter() = default;
  ~AviFileWriter();  // Close
  AviFileWriter(const AviFileWriter&) = delete;
  AviFileWriter& operator=(const AviFileWriter&) = delete;

  // audio may be null (video only). false when the file cannot be written.
  bool Open(const std::string& nativePath, const VideoParamBlock& video, const AudioParamBlock* audio);
  // pts in frames of the video rate; audio: in frames of the codec (see AudioTimeBase).
  bool WriteVideo(const uint8_t* data, size_t length, int64_t pts, bool key);
  bool WriteAudio(const uint8_t* data, size_t length, int64_t pts);
  void Flush();
  void Close();  // writes the index; a file without any frame is removed
  bool IsOpen() const { return context_ != nullptr; }
  int64_t VideoFrames() const { return videoFrames_; }
  const std::string& Path() const { return path_; }

 private:
  bool Write(AVStream* stream, const uint8_t* data, size_t length, int64_t pts, bool key);
  void FindSizeFields();
  void PatchSizes();

  std::string path_;
  AVFormatContext* context_ = nullptr;
  AVStream* videoStream_ = nullptr;
  AVStream* audioStream_ = nullptr;
  AVPacket* packet_ = nullptr;
  int patchFd_ = -1;
  int64_t moviListOffset_ = -1;  // offset of "LIST" of the movi list
  int64_t videoFrames_ = 0;
  int64_t written_ = 0;
  bool failed_ = false;
};
