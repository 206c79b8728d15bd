// One record file in the fixed layout of record_file_layout.h, written chunk by
// chunk as the frames come.
//
// Chunks are collected in a buffer and written with one write() when it holds
// kFlushBytes or a second of stream time has passed; after every such write the
// RIFF and movi sizes in the header are brought up to the file's end. The file
// is therefore a sound AVI file up to its last written chunk at every moment: a
// writer that dies leaves a file that readers walk to that chunk. Close writes
// the index and the final header figures (frame count, frame rate, byte rate).
//
// A failed write (a full disk, a file removed under the writer) truncates the
// file back to its last whole chunk and marks the writer failed: every later
// write is refused, and Close still finishes the chunks already on disk.
// Positions are 32-bit: Fits() says whether one more chunk stays below 4 GiB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clipta/record_file_layout.h"

class RecordFileWriter {
 public:
  static constexpr size_t kFlushBytes = 256 * 1024;
  static constexpr double kFlushIntervalMs = 1000.0;

  RecordFileWriter() = default;
  ~RecordFileWriter();  // Close
  RecordFileWriter(const RecordFileWriter&) = delete;
  RecordFileWriter& operator=(const RecordFileWriter&) = delete;

  // Creates (or replaces) the file and writes its header; false with Error()
  // set when that fails (nothing is left behind).
  bool Open(const std::string& nativePath, const recordfile::Media& media);
  // timeMs: the frame's stream time (flush interval and measured frame rate).
  bool WriteVideo(const uint8_t* data, size_t length, bool key, double timeMs);
  bool WriteAudio(const uint8_t* data, size_t length, double timeMs);
  // Whether a chunk of `length` bytes still fits, with the index, below 4 GiB.
  bool Fits(size_t length) const;
  bool Flush();
  // Finishes the file; a file without any chunk is removed.
  void Close();

  bool IsOpen() const { return fd_ >= 0; }
  bool Failed() const { return failed_; }
  int Error() const { return error_; }  // errno of the first failure, 0 without one
  int64_t VideoFrames() const { return videoFrames_; }
  const std::string& Path() const { return path_; }

 private:
  struct IndexEntry {
    char code[4];
    uint32_t flags;
    uint32_t offset;  // of the chunk header, from the "movi" code
    uint32_t length;
  };

  bool WriteChunk(const char* code, const uint8_t* data, size_t length, uint32_t flags, double timeMs);
  bool WriteBuffer();
  void Fail(int error);
  bool PatchU32(uint64_t at, uint32_t value);
  void PatchSizes(uint64_t moviEnd, uint64_t fileEnd);
  void FinishHeader(uint64_t moviEnd, uint64_t fileEnd);
  uint32_t FinalFrameRate() const;

  int fd_ = -1;
  std::string path_;
  recordfile::Media media_;
  uint32_t moviPos_ = 0;
  std::vector<uint8_t> buffer_;
  uint64_t written_ = 0;  // bytes on disk, all of them whole chunks
  std::vector<IndexEntry> index_;
  size_t writtenEntries_ = 0;  // index entries of the chunks on disk
  double lastFlushMs_ = 0;
  bool failed_ = false;
  int error_ = 0;
  int64_t videoFrames_ = 0;
  uint64_t videoBytes_ = 0;
  uint64_t audioBytes_ = 0;
  int64_t audioChunks_ = 0;
  uint32_t largestChunk_ = 0;
  double firstVideoMs_ = 0;
  double lastVideoMs_ = 0;
};
