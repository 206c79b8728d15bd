#include "relay/file_data/file_data_writer.h"

#include <unistd.h>

#include "core/client_log.h"
#include "platform/file_api.h"

FileDataWriter::FileDataWriter(const char* path, uint32_t expectedSize, uint32_t second, uint32_t fourth)
    : m_nExpected(expectedSize), m_nSecond(second), m_nFourth(fourth) {
  std::snprintf(m_szPath, sizeof m_szPath, "%s", path != nullptr ? path : "");
}

FileDataWriter::~FileDataWriter() { Close(0); }

int FileDataWriter::Open() {
  Close(1);
  m_nWritten = 0;
  m_hFile = fileapi::Open(PartPath(), "wb");
  if (m_hFile == nullptr) {
    WriteLog(3, "FileDataWriter::Open(): cannot create %s", PartPath().c_str());
    return -1;
  }
  // Unbuffered: a write that falls short is seen by the Write that made it.
  setvbuf(m_hFile, nullptr, _IONBF, 0);
  return 0;
}

int FileDataWriter::Write(const void* data, size_t length) {
  if (m_hFile == nullptr) return -1;
  if (length == 0) return 0;
  if (data == nullptr) return -1;
  const size_t written = fwrite(data, 1, length, m_hFile);
  m_nWritten += static_cast<uint32_t>(written);
  if (written != length) {
    WriteLog(3, "FileDataWriter::Write(): %zu of %zu bytes written to %s", written, length, PartPath().c_str());
    return -1;
  }
  return 0;
}

void FileDataWriter::Close(int deleteFile) {
  if (m_hFile == nullptr) return;
  bool good = fflush(m_hFile) == 0 && fsync(fileno(m_hFile)) == 0;
  good = fclose(m_hFile) == 0 && good;
  m_hFile = nullptr;
  if (deleteFile != 0) {
    fileapi::Remove(PartPath());
    return;
  }
  if (!good || !fileapi::Rename(PartPath(), m_szPath)) {
    WriteLog(3, "FileDataWriter::Close(): %s could not be completed, the part file stays", m_szPath);
  }
}
