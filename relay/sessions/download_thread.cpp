#include "relay/sessions/download_thread.h"

#include <cstdio>
#include <memory>
#include <new>

#include "core/client_log.h"
#include "platform/file_api.h"
#include "relay/relay_messages.h"
#include "relay/sessions/serving_relay.h"

namespace {

struct FileCloser {
  void operator()(FILE* file) const {
    if (file) std::fclose(file);
  }
};

}  // namespace

CDownloadThread::CDownloadThread(IServingRelay& relay, ISessionClock& clock) : CFileServingSession(relay, clock) {}

CDownloadThread::~CDownloadThread() { Stop(); }

void CDownloadThread::NotifyStopIfRunning() {
  m_bStop = true;
  if (m_bRunning.exchange(false)) m_relay.NotifyDloadStop(m_request, m_dwSessionId);
}

DWORD CDownloadThread::Run() {
  Serve();
  m_relay.PostEnd(WM_SESSION_DOWNLOAD_END, m_dwRegistryId);
  return 0;
}

void CDownloadThread::Serve() {
  const std::string path = LocalPath();
  std::unique_ptr<FILE, FileCloser> file(fileapi::Open(path, "rb"));
  int64_t length = -1;
  if (file && fseeko(file.get(), 0, SEEK_END) == 0) {
    length = ftello(file.get());
    if (fseeko(file.get(), 0, SEEK_SET) != 0) length = -1;
  }
  if (!file || length < 0) {
    m_relay.RspDloadStart(PELK_STATUS_REFUSED, m_request, m_dwSessionId, 0);
    return;
  }
  const uint64_t size = static_cast<uint64_t>(length);
  m_relay.RspDloadStart(PELK_STATUS_ANSWER, m_request, m_dwSessionId, size);
  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kTransferBufferSize]);
  if (!buffer || m_bStop) return;
  BeginRunning();
  uint64_t sent = 0;
  while (m_bRunning && sent < size) {
    const size_t count = std::fread(buffer.get(), 1, kPieceSize, file.get());
    if (count == 0) {
      // The file shrank under the transfer: nothing more will come.
      WriteLog(6, "CDownloadThread::Run(): %s ended at %llu of %llu bytes, download ended.", path.c_str(),
               static_cast<unsigned long long>(sent), static_cast<unsigned long long>(size));
      break;
    }
    if (m_relay.ReportDloadData(m_request, m_dwSessionId, buffer.get(), static_cast<LONG>(count), sent, size) != 0) {
      WriteLog(6, "CDownloadThread::Run(): the peer takes no more data, download of %s ended.", path.c_str());
      break;
    }
    sent += count;
    if (sent < size && !fileapi::Exists(path)) {
      WriteLog(6, "CDownloadThread::Run(): %s vanished, download ended.", path.c_str());
      break;
    }
    m_clock.Sleep(kPieceDelayMs);
  }
  buffer.reset();
  if (sent == size && m_bRunning.exchange(false)) m_relay.NotifyDloadStop(m_request, m_dwSessionId);
  m_bRunning = false;
}
