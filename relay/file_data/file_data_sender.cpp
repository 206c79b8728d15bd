#include "relay/file_data/file_data_sender.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

#include "core/client_log.h"
#include "platform/file_api.h"
#include "relay/file_data/file_data_frame.h"

FileDataSender::FileDataSender(const char* path, uint32_t startPos, uint32_t spare, uint32_t chunkSize,
                               uint32_t rate)
    : m_nStartPos(startPos), m_nSpare(spare), m_nChunkSize(chunkSize), m_nRate(rate) {
  std::snprintf(m_szPath, sizeof m_szPath, "%s", path != nullptr ? path : "");
}

FileDataSender::~FileDataSender() { Stop(); }

int FileDataSender::Start() {
  if (m_thread.joinable()) return -1;
  if (m_nRate == 0 || m_nChunkSize == 0 || m_nChunkSize > INT_MAX) {
    WriteLog(3, "FileDataSender::Start(): refused, rate=%u, chunk size=%u, path=%s", m_nRate, m_nChunkSize, m_szPath);
    return -1;
  }
  m_bRunning = true;
  m_bDone = false;
  try {
    m_thread = std::thread(&FileDataSender::Send, this);
  } catch (const std::system_error&) {
    m_bRunning = false;
    WriteLog(3, "FileDataSender::Start(): the thread cannot be created, path=%s", m_szPath);
    return -1;
  }
  return 0;
}

int FileDataSender::Stop() {
  {
    std::lock_guard<std::mutex> lock(m_stopLock);
    m_bRunning = false;
  }
  m_stopped.notify_all();
  if (m_thread.joinable()) m_thread.join();
  return 0;
}

bool FileDataSender::DefaultPause(uint32_t ms) {
  std::unique_lock<std::mutex> lock(m_stopLock);
  return !m_stopped.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !m_bRunning.load(); });
}

void FileDataSender::Send() {
  std::unique_ptr<FILE, int (*)(FILE*)> file(fileapi::Open(m_szPath, "rb"), fclose);
  if (file == nullptr) {
    WriteLog(3, "FileDataSender: cannot open %s", m_szPath);
    return;
  }
  if (m_nStartPos != 0 && fseeko(file.get(), static_cast<off_t>(m_nStartPos), SEEK_SET) != 0) {
    WriteLog(3, "FileDataSender: cannot seek to %u in %s", m_nStartPos, m_szPath);
    return;
  }
  std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[m_nChunkSize]);
  if (chunk == nullptr) {
    WriteLog(3, "FileDataSender: no memory for chunks of %u bytes", m_nChunkSize);
    return;
  }
  const uint32_t pause = 1000 / m_nRate;
  uint32_t position = 0;
  auto handOn = [this](const std::vector<uint8_t>& frame) {
    if (m_sink) m_sink(frame.data(), frame.size());
  };
  while (m_bRunning) {
    const size_t read = fread(chunk.get(), 1, m_nChunkSize, file.get());
    if (read > 0) {
      handOn(filedata::BuildFrame(position, chunk.get(), static_cast<uint32_t>(read)));
      position += static_cast<uint32_t>(read);
    }
    if (read < m_nChunkSize) {
      handOn(filedata::BuildFrame(position, nullptr, 0));
      m_bDone = true;
      return;
    }
    const bool goOn = m_pause ? m_pause(pause) : DefaultPause(pause);
    if (!goOn) break;
  }
}
