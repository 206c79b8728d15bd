#include "ui/raster_file.h"

#include "platform/file_api.h"

bool CRasterIOFile::Open(const char* path, const char* mode) {
  if (fp_ || !path || !mode) return false;
  fp_ = fileapi::Open(path, mode);
  owns_ = fp_ != nullptr;
  return fp_ != nullptr;
}

bool CRasterIOFile::Close() {
  if (!fp_) return false;
  int rc = 0;
  if (owns_) rc = std::fclose(fp_);
  fp_ = nullptr;
  owns_ = false;
  return rc == 0;
}

size_t CRasterIOFile::Read(void* buffer, size_t size, size_t count) {
  if (!fp_ || !buffer) return 0;
  return std::fread(buffer, size, count, fp_);
}

size_t CRasterIOFile::Write(const void* buffer, size_t size, size_t count) {
  if (!fp_ || !buffer) return 0;
  return std::fwrite(buffer, size, count, fp_);
}

bool CRasterIOFile::Seek(long offset, int origin) {
  if (!fp_) return false;
  return std::fseek(fp_, offset, origin) == 0;
}

long CRasterIOFile::Tell() {
  if (!fp_) return -1;
  return std::ftell(fp_);
}

long CRasterIOFile::Size() {
  if (!fp_) return -1;
  long pos = std::ftell(fp_);
  if (pos < 0 || std::fseek(fp_, 0, SEEK_END) != 0) return -1;
  long size = std::ftell(fp_);
  std::fseek(fp_, pos, SEEK_SET);
  return size;
}

bool CRasterIOFile::Flush() { return fp_ && std::fflush(fp_) == 0; }

bool CRasterIOFile::Eof() { return !fp_ || std::feof(fp_) != 0; }

long CRasterIOFile::Error() { return fp_ ? std::ferror(fp_) : -1; }

long CRasterIOFile::GetC() { return fp_ ? std::getc(fp_) : EOF; }

char* CRasterIOFile::GetS(char* text, int maxCount) {
  if (!fp_ || !text || maxCount <= 0) return nullptr;
  return std::fgets(text, maxCount, fp_);
}

long CRasterIOFile::Scanf(const char* format, void* output) {
  if (!fp_ || !format) return EOF;
  return std::fscanf(fp_, format, output);
}
