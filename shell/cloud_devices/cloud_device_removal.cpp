#include "shell/cloud_devices/cloud_device_removal.h"

#include <cctype>
#include <cstring>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "live/streams/rtsp_events.h"
#include "maker/gimbro/gimbro.h"
#include "pelk/pelk.h"

namespace {

constexpr int kDevTypeDvs = 0;

// A recording stream object stops recording and, with no view drawing from
// it, its pump and decoders.
void StopRecordingStream(CRtspEvents* events, int number, DevInfo& dev) {
  if (events == nullptr || !events->IsRecording()) return;
  WriteLog(6, "CSettingDevInfoDlg::OnBnClickedBtnDevDel(): RtspEvent%d Stop Record, DevName=%s", number, dev.DevName);
  events->StopRecord();
  if (events->IsRendering()) return;
  WriteLog(6, "CSettingDevInfoDlg::OnBnClickedBtnDevDel(): RtspEvent%d Stop decoder delete stream id=%d, DevName=%s",
           number, static_cast<int>(events->GetStreamId()), dev.DevName);
  events->StopAllThread();
  events->CloseAllDecoder();
  (number == 1 ? dev.MainStreamId : dev.SubStreamId) = 0;
}

// The channel a relay peer knows the record by: a video server's DevName ends
// in its channel digit; every other device is channel 0.
long RelayChannel(const DevInfo& dev) {
  if (dev.DevType != kDevTypeDvs) return 0;
  const size_t length = strnlen(dev.DevName, sizeof dev.DevName);
  if (length == 0 || !std::isdigit(static_cast<unsigned char>(dev.DevName[length - 1]))) return 0;
  return dev.DevName[length - 1] - '0';
}

}  // namespace

int RemoveCloudDevice(const char* devId, const CloudDeviceRemovalHost& host) {
  if (devId == nullptr || *devId == '\0') return 0;
  if (host.unbindFromTVWall) host.unbindFromTVWall(devId);
  int removed = 0;
  {
    CsLock lock(&g_csAppData);
    while (true) {
      auto it = g_lstDevInfo.begin();
      while (it != g_lstDevInfo.end() && std::strcmp(it->DevId, devId) != 0) ++it;
      if (it == g_lstDevInfo.end()) break;
      DevInfo& dev = *it;
      if (dev.bWatched != 0 && host.stopWatch) host.stopWatch(dev);
      StopRecordingStream(dev.pRtspEvent1, 1, dev);
      StopRecordingStream(dev.pRtspEvent2, 2, dev);
      dev.bRecording = 0;
      dev.RecFolder[0] = '\0';
      dev.RecFileName[0] = '\0';
      if (host.removeFromMaintenance) host.removeFromMaintenance(dev.IPAddr);
      if (host.gimbro != nullptr && dev.GimbroId > 0) host.gimbro->RemoveDevice(dev.GimbroId);
      if (host.removeFromMap) host.removeFromMap(dev.DevName);

      const std::string key = host.localMac + ":" + dev.IPAddr;
      if (dev.DevType == kDevTypeNvr) {
        Pelk_NotifyUpdateDeviceList();
      } else {
        Pelk_ReportDeviceState(key.c_str(), RelayChannel(dev), PELK_STATE_OFFLINE);
      }
      WriteLog(6, "CVistarelDlg::RemoveCloudDevice(): device %s removed, DevName=%s, ip=%s", devId, dev.DevName,
               dev.IPAddr);
      const bool allChannels = dev.DevType == kDevTypeDvs || dev.DevType == kDevTypeNvr;
      g_lstDevInfo.erase(it);
      ++removed;
      if (!allChannels) break;
    }
  }
  if (removed > 0 && host.refreshDevList) host.refreshDevList();
  return removed;
}
