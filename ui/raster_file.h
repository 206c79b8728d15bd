// Byte streams that the image decoders read from.
#pragma once

#include <cstddef>
#include <cstdio>

#include "platform/win_types.h"

// An abstract byte stream.
class CRasterFile {
 public:
  virtual ~CRasterFile() = default;
  virtual bool Close() = 0;
  // Number of whole items of `size` bytes read.
  virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
  virtual bool Seek(long offset, int origin) = 0;
  virtual long Tell() = 0;
  virtual long Size() = 0;
  virtual bool Flush() = 0;
  virtual bool Eof() = 0;
  virtual long Error() = 0;
  virtual bool PutC(BYTE c) { return Write(&c, 1, 1) == 1; }
  virtual long GetC() = 0;  // the byte, or EOF
  virtual char* GetS(char* text, int maxCount) = 0;
  virtual long Scanf(const char* format, void* output) = 0;
};

// A stream over a C run-time FILE. A stream made over a FILE the caller opened
// never closes it; one that opened its file itself closes it.
class CRasterIOFile : public CRasterFile {
 public:
  explicit CRasterIOFile(FILE* fp = nullptr) : fp_(fp) {}
  ~CRasterIOFile() override { Close(); }
  CRasterIOFile(const CRasterIOFile&) = delete;
  CRasterIOFile& operator=(const CRasterIOFile&) = delete;

  // Opens a file of the program's path form (see platform/paths.h).
  bool Open(const char* path, const char* mode);

  bool Close() override;
  size_t Read(void* buffer, size_t size, size_t count) override;
  size_t Write(const void* buffer, size_t size, size_t count) override;
  bool Seek(long offset, int origin) override;
  long Tell() override;
  long Size() override;
  bool Flush() override;
  bool Eof() override;
  long Error() override;
  long GetC() override;
  char* GetS(char* text, int maxCount) override;
  long Scanf(const char* format, void* output) override;

 private:
  FILE* fp_ = nullptr;
  bool owns_ = false;
};
