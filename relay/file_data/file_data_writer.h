// FileDataWriter: writes the chunks of a file as they arrive and tells when
// the expected size has arrived.
//
// The chunks go into "<path>.part" beside the file; Close puts that file in
// the file's place in one rename, so an old file of that name stays whole
// until the new one is, and a crash mid-transfer leaves only the part file.
// Close (delete) throws the part file away instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class FileDataWriter {
 public:
  // `second` and `fourth` are kept as given and not used.
  FileDataWriter(const char* path, uint32_t expectedSize, uint32_t second, uint32_t fourth);
  ~FileDataWriter();  // closes as Close () does
  FileDataWriter(const FileDataWriter&) = delete;
  FileDataWriter& operator=(const FileDataWriter&) = delete;

  // 0, or -1 when the file cannot be created. The count starts again at 0.
  int Open();
  // 0 when all `length` bytes were written; -1 when closed or when fewer were.
  // The count grows by the bytes actually written.
  int Write(const void* data, size_t length);
  bool IsComplete() const { return m_nWritten == m_nExpected; }
  void Close() { Close(0); }
  void Close(int deleteFile);

  uint32_t Written() const { return m_nWritten; }
  bool IsOpen() const { return m_hFile != nullptr; }

 private:
  std::string PartPath() const { return std::string(m_szPath) + ".part"; }

  FILE* m_hFile = nullptr;
  char m_szPath[256] = {};
  uint32_t m_nExpected;
  uint32_t m_nSecond;
  uint32_t m_nWritten = 0;
  uint32_t m_nFourth;
};
