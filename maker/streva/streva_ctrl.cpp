#include "streva/streva_ctrl.h"

#include "streva/rtsp_address.h"
#include "streva/streva_dispatcher.h"
#include "streva/streva_stream.h"

CStrevaCtrl::CStrevaCtrl()
    : dispatcher_(std::make_unique<StrevaDispatcher>([this](long id) { return Find(id) != nullptr; })) {}

CStrevaCtrl::~CStrevaCtrl() {
  StopAll();
  // Events still queued for the dispatcher are dropped with it, payloads freed.
  dispatcher_.reset();
}

void CStrevaCtrl::Advise(IStrevaEvents* sink) { dispatcher_->Advise(sink); }
void CStrevaCtrl::Unadvise(IStrevaEvents* sink) { dispatcher_->Unadvise(sink); }

long CStrevaCtrl::OpenStream(const CString& url, const CString& loginName, const CString& password,
                             BOOL rtpOverRtsp) {
  rtspaddress::Address address;
  if (!rtspaddress::Parse(url, &address)) return 0;
  return StartStream(address, loginName, password, rtpOverRtsp != 0 || address.forceTcp);
}

long CStrevaCtrl::OpenStreamEx(const CString& host, unsigned short port, const CString& path,
                               const CString& loginName, const CString& password, BOOL rtpOverRtsp) {
  if (port == 0) return 0;
  std::string url = "rtsp://" + host + ":" + std::to_string(port);
  if (path.empty() || path[0] != '/') url += "/";
  url += path;
  rtspaddress::Address address;
  if (!rtspaddress::Parse(url, &address) || address.hasCredentials) return 0;
  return StartStream(address, loginName, password, rtpOverRtsp != 0);
}

long CStrevaCtrl::StartStream(const rtspaddress::Address& parsed, const CString& loginName,
                              const CString& password, bool overTcp) {
  rtspaddress::Address address = parsed;
  if (!loginName.empty()) {
    address.user = loginName;
    address.password = password;
  }
  std::shared_ptr<StrevaStream> stream;
  long id;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    id = nextId_++;
    stream = std::make_shared<StrevaStream>(id, address, overTcp, dispatcher_.get());
    streams_[id] = stream;
  }
  stream->Start();
  return id;
}

long CStrevaCtrl::DeleteStream(long streamId) {
  std::shared_ptr<StrevaStream> stream;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = streams_.find(streamId);
    if (it == streams_.end()) return -1;
    stream = it->second;
    streams_.erase(it);
  }
  stream->Stop();
  return 0;
}

void CStrevaCtrl::StopAll() {
  std::map<long, std::shared_ptr<StrevaStream>> streams;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    streams.swap(streams_);
  }
  // Ask every thread first, then join them: the stops run side by side.
  for (auto& [id, stream] : streams) (void)id, stream->RequestStop();
  for (auto& [id, stream] : streams) (void)id, stream->Stop();
}

std::shared_ptr<StrevaStream> CStrevaCtrl::Find(long streamId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = streams_.find(streamId);
  return it == streams_.end() ? nullptr : it->second;
}

long CStrevaCtrl::RegisterReader(long streamId, long readerId) {
  auto stream = Find(streamId);
  return stream ? stream->RegisterReader(readerId) : -1;
}

long CStrevaCtrl::UnregisterReader(long streamId, long readerId) {
  auto stream = Find(streamId);
  return stream ? stream->UnregisterReader(readerId) : -1;
}

long CStrevaCtrl::ReadVideo(long streamId, long readerId, BYTE* buffer, long* length, BYTE* header,
                            long* headerLength) {
  return ReadFrame(streamId, readerId, true, buffer, length, header, headerLength);
}

long CStrevaCtrl::ReadAudio(long streamId, long readerId, BYTE* buffer, long* length, BYTE* header,
                            long* headerLength) {
  return ReadFrame(streamId, readerId, false, buffer, length, header, headerLength);
}

long CStrevaCtrl::ReadFrame(long streamId, long readerId, bool video, BYTE* buffer, long* length,
                            BYTE* header, long* headerLength) {
  if (!buffer || !length || *length < 1) return kReadBadArgs;
  auto stream = Find(streamId);
  if (!stream) {
    *length = 0;
    return kReadBadArgs;
  }
  return stream->Read(readerId, video, buffer, length, header, headerLength);
}
