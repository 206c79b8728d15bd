#include "relay/serving/relay_live_video.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "live/streams/relay_video_session.h"
#include "live/streams/rtsp_events.h"
#include "relay/relay_names.h"

namespace {

bool IsMultiChannel(int devType) { return devType == 0 || devType == kDevTypeNvr; }

std::string HostPort(const char* scheme, const DevInfo& device) {
  return std::string(scheme) + "://" + device.IPAddr + ":" + std::to_string(device.VideoPort) + "/";
}

// The stream object to hang the session on: one that runs the asked kind, or
// the one the stream is opened on.
CRtspEvents* RunningKind(DevInfo& device, DWORD stream) {
  for (CRtspEvents* events : {device.pRtspEvent1, device.pRtspEvent2}) {
    if (events->GetStreamId() != 0 && events->GetStreamKind() == static_cast<long>(stream)) return events;
  }
  return nullptr;
}

}  // namespace

DevInfo* FindServingDevice(std::list<DevInfo>& devices, const char* key, DWORD channel, ServingLookup lookup,
                           const char* localMac) {
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(key, mac, ip);
  if (!localMac || std::strcmp(mac, localMac) != 0) return nullptr;
  const int wanted = static_cast<int>(channel);
  for (DevInfo& device : devices) {
    if (std::strcmp(device.IPAddr, ip) != 0) continue;
    switch (lookup) {
      case ServingLookup::kVideo:
        if (!device.nOnline) continue;
        if (!IsMultiChannel(device.DevType)) return &device;
        if (device.DevType == kDevTypeNvr && device.CurNVRChannel == 0) continue;
        if (NameNumber(device.DevName) == wanted) return &device;
        continue;
      case ServingLookup::kClose:
        if (!IsMultiChannel(device.DevType)) return &device;
        if (device.DevType == kDevTypeNvr && std::strncmp(device.DevName, "Channel", 7) != 0) continue;
        if (NameNumber(device.DevName) == wanted) return &device;
        continue;
      case ServingLookup::kPtz:
        if (device.DevType != 0) return &device;
        if (NameNumber(device.DevName) == wanted) return &device;
        continue;
    }
  }
  return nullptr;
}

std::string RelayStreamAddress(const DevInfo& device, const std::string& suffix) {
  const bool cif = std::strcmp(device.Resolution, "cif") == 0;
  switch (device.VisitMod) {
    case 0:
      if (device.DevType == 1) return HostPort("rtsp", device) + "mpeg4" + suffix;
      return HostPort("rtsp", device) + (cif ? "h264cif" : "h264-" + suffix);
    case 1:
      if (device.DevType == kDevTypeNvr) {
        return HostPort("vmq", device) + "mpeg4" + suffix + "-" + std::to_string(device.CurNVRChannel);
      }
      if (device.DevType == 1) return HostPort("vmq", device) + "mpeg4" + suffix;
      return HostPort("vmq", device) + (cif ? "h264cif" : "h264-" + suffix);
    case 2:
      if (device.DevType == 1) return "mpeg4" + suffix;
      return cif ? "mpeg4cif" : "mpeg4";
    default:
      return {};
  }
}

BOOL OpenRelayLiveVideo(DevInfo& device, const RelayRequestRecord& request, DWORD word) {
  if (!device.pRtspEvent1 || !device.pRtspEvent2) return FALSE;
  if (g_bUseLoginSvr && device.DevSN[0] == '\0' && device.VisitMod == 2) return FALSE;
  DevInfo* entry = FindDevInfo(device.DevName, device.DevId);
  if (!entry) return FALSE;
  const std::string suffix = request.dwStream == 0 ? "cif" : "";
  BOOL opened = FALSE;
  CRtspEvents* target = RunningKind(*entry, request.dwStream);
  if (!target) {
    const std::string address = RelayStreamAddress(*entry, suffix);
    const bool onMain = entry->pRtspEvent1->GetStreamId() == 0 || entry->pRtspEvent2->GetStreamId() != 0;
    target = onMain ? entry->pRtspEvent1 : entry->pRtspEvent2;
    // An object that runs another kind is reopened: its old pull ends first.
    if (target->GetStreamId() != 0) target->StopAllThread();
    CStrevaCtrl* ctrl = target->StrevaCtrl();
    long id = 0;
    if (ctrl) {
      id = entry->VisitMod == 2 ? ctrl->OpenStreamEx(entry->DevSN, static_cast<unsigned short>(entry->VideoPort),
                                                     address, entry->LoginName, entry->LoginPsw, entry->RtpOverRtsp)
                                : ctrl->OpenStream(address, entry->LoginName, entry->LoginPsw, entry->RtpOverRtsp);
    }
    WriteLog(6, "CVistarelDlg::OpenRelayLiveVideo(): open stream %s, DevName=%s, StreamId=%ld", address.c_str(),
             entry->DevName, id);
    if (id < 1) id = 0;
    (onMain ? entry->MainStreamId : entry->SubStreamId) = static_cast<int>(id);
    target->SetStreamInfo(id, static_cast<long>(request.dwStream), 0, 0);
    target->SetDevType(entry->DevType);
    if (id == 0) target = nullptr;
  }
  if (target) {
    auto session = std::make_unique<CRelayVideoSession>(entry);
    session->Set(request.szDevKey, request.dwStream, request.dwChannel, request.dwWord3, word);
    target->AttachRelaySession(std::move(session));
    opened = TRUE;
  }
  // What the peer asked for is kept apart from the stored resolution: a peer's
  // request never changes the local panes' streams or DevInfo.xml.
  CopyFixedText(entry->RelayStreamSuffix, suffix.c_str());
  return opened;
}

LRESULT OnRelayVideoRequest(RelayRequestRecord* record, DWORD word, const char* localMac) {
  if (!record) return 1;
  DevInfo* device = FindServingDevice(g_lstDevInfo, record->szDevKey, record->dwChannel, ServingLookup::kVideo, localMac);
  if (!device || !OpenRelayLiveVideo(*device, *record, word)) {
    WriteLog(6, "CVistarelDlg::OnRelayVideoRequest(): refused, key=%s, channel=%u", record->szDevKey,
             record->dwChannel);
    Pelk_RspDeviceVideo(PELK_STATUS_REFUSED, record->szDevKey, record->dwStream, record->dwChannel, record->dwWord3,
                        word, nullptr, nullptr);
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
  return 1;
}

void OnRelayVideoClose(RelayRequestRecord* record, DWORD word, const char* localMac) {
  if (!record) return;
  const RelayRequestRecord request = *record;
  Pelk_Delete(record, PELK_DELETE_RECORD);
  DevInfo* device = FindServingDevice(g_lstDevInfo, request.szDevKey, request.dwChannel, ServingLookup::kClose, localMac);
  if (!device) return;
  for (CRtspEvents* events : {device->pRtspEvent1, device->pRtspEvent2}) {
    if (!events || !events->IsRelayServing() || events->GetStreamKind() != static_cast<long>(request.dwStream)) continue;
    const CRelayVideoSession* session = events->RelaySession();
    if (!session || word == 0 || session->Word(3) != word) continue;
    if (!device->bWatched && !events->IsRecording()) {
      events->StopAllThread();
      (events == device->pRtspEvent1 ? device->MainStreamId : device->SubStreamId) = 0;
    }
    events->CloseRelayVideo();
  }
}

void StopRelayServedStreams() {
  for (DevInfo& device : g_lstDevInfo) {
    for (CRtspEvents* events : {device.pRtspEvent1, device.pRtspEvent2}) {
      if (!events || !events->IsRelayServing()) continue;
      events->StopAllThread();
      events->CloseRelayVideo();
      (events == device.pRtspEvent1 ? device.MainStreamId : device.SubStreamId) = 0;
    }
  }
}
