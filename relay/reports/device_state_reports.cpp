#include "relay/reports/device_state_reports.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "live/streams/rtsp_events.h"
#include "streva/streva_ctrl.h"
#include "pelk/pelk.h"
#include "relay/relay_names.h"

namespace {

constexpr int kDevTypeVideoServer = 0;
constexpr int kAlarmOffline = 1;  // alarm list entry types
constexpr int kAlarmOnline = 2;
constexpr size_t kReportKeyMax = 259;
constexpr LONG kSystemVersionCode = 1012;

bool IsOwnRecord(const DevInfo& dev) { return dev.CurNVRChannel < 1; }

// More channels than any recorder has: a count above it is the device's
// garbage, and taking it would make a record per channel until memory runs out.
constexpr long kMaxNvrChannels = 256;

// The decimal channel count at the start of an NVR's text; 0 when it is none
// or lies outside 1..kMaxNvrChannels (logged).
int ReadChannelCount(const char* text) {
  const long count = std::strtol(text, nullptr, 10);
  if (count > kMaxNvrChannels || count < 0) {
    WriteLog(6, "CVistarelDlg::OnDevChannelList(): channel count \"%.40s\" ignored.", text);
    return 0;
  }
  return static_cast<int>(count);
}

bool SameText(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// A run-time copy of a record: its stream objects, registration and words are
// its own, never the original's.
DevInfo ChannelCopy(const DevInfo& nvr, int channel) {
  DevInfo copy = nvr;
  copy.pRtspEvent1 = nullptr;
  copy.pRtspEvent2 = nullptr;
  copy.GimbroId = 0;
  copy.bRecording = 0;
  copy.bWatched = 0;
  copy.MainStreamId = 0;
  copy.SubStreamId = 0;
  copy.nMotionAlarm = 0;
  copy.nIOAlarm = 0;
  copy.bAlarmFlag = 0;
  copy.nAlarmBlinkCount = 0;
  copy.bAlarmBlink = 0;
  copy.RecSchemeName[0] = '\0';
  copy.RecFolder[0] = '\0';
  copy.RecFileName[0] = '\0';
  copy.CurNVRChannel = channel;
  std::snprintf(copy.DevName, sizeof copy.DevName, "Channel-%d", channel);
  return copy;
}

}  // namespace

std::string CDeviceStateReports::ReportKey(const DevInfo& dev) const {
  std::string key = FormatDeviceKey(m_localMac ? m_localMac().c_str() : "", dev.IPAddr);
  if (key.size() > kReportKeyMax) key.resize(kReportKeyMax);
  return key;
}

void CDeviceStateReports::Report(const DevInfo& dev, LONG channel, LONG state) const {
  Pelk_ReportDeviceState(ReportKey(dev).c_str(), channel, state);
}

void CDeviceStateReports::SetOnline(DevInfo& dev, int online) const {
  CsLock lock(&g_csAppData);
  dev.nOnline = online;
}

bool CDeviceStateReports::IsDevRecordPresent(const DevInfo& record) {
  for (const DevInfo& dev : g_lstDevInfo) {
    if (SameText(dev.DevId, record.DevId) && SameText(dev.DevName, record.DevName)) return true;
  }
  return false;
}

void CDeviceStateReports::AskSystemVersion(DevInfo& dev, const char* logFormat) const {
  if (dev.pGimbroCtrl != nullptr) dev.pGimbroCtrl->WriteAUXStringEx(dev.GimbroId, "SYSTEM_CONTROL_MESSAGE", kSystemVersionCode, 0, "");
  WriteLog(6, logFormat, dev.DevName, static_cast<long>(dev.GimbroId));
}

// ---- status events ------------------------------------------------------------

LRESULT CDeviceStateReports::OnDevStatusResponse(LONG gimbroId, LONG code) {
  const bool login = code == GIMBRO_STATUS_LOGIN_OK;
  const bool offline = code == GIMBRO_STATUS_LOGIN_REFUSED || code == GIMBRO_STATUS_UNREACHABLE ||
                       code == GIMBRO_STATUS_CONNECTION_LOST;
  const bool talk = code == GIMBRO_STATUS_TALK_STARTED || code == GIMBRO_STATUS_TALK_REFUSED;
  if (gimbroId <= 0) return 1;  // ids start at 1; 0 marks an unregistered record
  if (talk) {
    // A talk is answered on the registration of the record that asked, an NVR channel's too.
    for (DevInfo& dev : g_lstDevInfo) {
      if (dev.GimbroId != gimbroId) continue;
      TalkAnswer(dev, code == GIMBRO_STATUS_TALK_STARTED);
      break;
    }
    return 1;
  }
  if (!login && !offline) return 1;
  // The records are collected first: the handlers below may stop panes, which
  // read the list again.
  std::vector<DevInfo*> reporting;
  for (DevInfo& dev : g_lstDevInfo) {
    if (dev.GimbroId == gimbroId && IsOwnRecord(dev)) reporting.push_back(&dev);
  }
  for (DevInfo* dev : reporting) {
    if (dev->DevType == kDevTypeNvr) {
      NvrStatus(*dev, code);
    } else if (dev->DevType == kDevTypeVideoServer) {
      VideoServerStatus(*dev, login);
    } else {
      SingleDeviceStatus(*dev, login);
    }
  }
  return 1;
}

void CDeviceStateReports::TalkAnswer(DevInfo& dev, bool started) {
  if (started) {
    WriteLog(6, "CVistarelDlg::OnDevStatusResponse(): Receive  EVENT_STARTAUDIOOK, GimbroId=%ld",
             static_cast<long>(dev.GimbroId));
    if (m_host.SetSpeakStatus) m_host.SetSpeakStatus(dev, true);
    return;
  }
  WriteLog(6, "CVistarelDlg::OnDevStatusResponse(): Receive  EVENT_STARTAUDIOFAILED, GimbroId=%ld",
           static_cast<long>(dev.GimbroId));
  if (m_host.SetSpeakStatus && m_host.SetSpeakStatus(dev, false) && m_host.SpeakFailed) m_host.SpeakFailed();
}

void CDeviceStateReports::SingleDeviceStatus(DevInfo& dev, bool login) {
  if (login) {
    if (m_host.AddStatusAlarm) m_host.AddStatusAlarm(dev, kAlarmOnline);
    if (dev.nOnline != 1) {
      Report(dev, 0, PELK_STATE_ONLINE);
      if (dev.bRecording) Report(dev, 0, PELK_STATE_RECORDING);
      SetOnline(dev, 1);
      Call(m_host.UpdateDevIcons);
    }
    WriteLog(6, "CVistarelDlg::OnDevStatusResponse: DevName=%s login ok!", dev.DevName);
    AskSystemVersion(dev, "CVistarelDlg::OnDevStatusResponse: get system version info,DevName=%s, lGimbroId=%ld");
    if (m_host.ReopenWaitingPanes) m_host.ReopenWaitingPanes(dev);
    return;
  }
  if (m_host.AddStatusAlarm) m_host.AddStatusAlarm(dev, kAlarmOffline);
  if (dev.nOnline) {
    Report(dev, 0, PELK_STATE_OFFLINE);
    SetOnline(dev, 0);
    Call(m_host.UpdateDevIcons);
  }
  WriteLog(6, "CVistarelDlg::OnDevStatusResponse: The device offline. DevName=%s, lGimbroId=%ld", dev.DevName,
           static_cast<long>(dev.GimbroId));
  if (m_host.StopPanesUntilOnline) m_host.StopPanesUntilOnline(dev);
  if (m_host.RemoveFromMaintenance) m_host.RemoveFromMaintenance(dev.IPAddr);
}

void CDeviceStateReports::VideoServerStatus(DevInfo& reporting, bool login) {
  if (login) {
    AskSystemVersion(reporting,
                     "CVistarelDlg::OnDevStatusResponse(): get dvs system version info,DevName=%s, lGimbroId=%ld");
  }
  const std::string ip = reporting.IPAddr;
  for (DevInfo& channel : g_lstDevInfo) {
    if (channel.DevType != kDevTypeVideoServer || ip != channel.IPAddr) continue;
    const LONG number = LastCharNumber(channel.DevName);
    if (login) {
      WriteLog(6, "CVistarelDlg::OnDevStatusResponse(): DVS DevName=%s login ok!", channel.DevName);
      if (channel.nOnline != 1) {
        Report(channel, number, PELK_STATE_ONLINE);
        SetOnline(channel, 1);
        Call(m_host.UpdateDevIcons);
      }
    } else {
      WriteLog(6, "CVistarelDlg::OnDevStatusResponse(): DVS DevName=%s offline!", channel.DevName);
      if (channel.nOnline) {
        Report(channel, number, PELK_STATE_OFFLINE);
        SetOnline(channel, 0);
        Call(m_host.UpdateDevIcons);
      }
    }
    if (m_host.AddStatusAlarm) m_host.AddStatusAlarm(reporting, login ? kAlarmOnline : kAlarmOffline);
  }
}

void CDeviceStateReports::NvrStatus(DevInfo& nvr, LONG code) {
  if (code == GIMBRO_STATUS_LOGIN_OK) {
    AskSystemVersion(nvr, "CVistarelDlg::OnDevStatusResponse(): get dvs system version info,DevName=%s, lGimbroId=%ld");
    return;
  }
  // Its channels are reported through the NVR's state texts only.
  SetOnline(nvr, 0);
  if (code == GIMBRO_STATUS_UNREACHABLE) {
    const std::string ip = nvr.IPAddr;
    for (DevInfo& channel : g_lstDevInfo) {
      if (channel.DevType == kDevTypeNvr && ip == channel.IPAddr && channel.nOnline) SetOnline(channel, 0);
    }
  }
  Call(m_host.UpdateDevIcons);
}

// ---- NVR channel states ---------------------------------------------------------

LRESULT CDeviceStateReports::OnDevStateReport(LONG gimbroId, const char* text) {
  const size_t length = text != nullptr ? std::strlen(text) : 0;
  bool changed = false;
  for (DevInfo& dev : g_lstDevInfo) {
    if (dev.DevType != kDevTypeNvr || dev.GimbroId != gimbroId) continue;
    if (IsOwnRecord(dev)) {
      if (dev.nOnline != 1) {
        SetOnline(dev, 1);
        changed = true;
      }
      continue;
    }
    const int c = dev.CurNVRChannel;
    if (static_cast<size_t>(c) > length) continue;  // channels beyond the text keep their state
    const char digit = text[c - 1];
    if (digit < '0' || digit > '9') continue;  // a state text is digits; anything else says nothing
    const int state = digit - '0';
    if (state == dev.nOnline) continue;
    SetOnline(dev, state);
    Report(dev, c, state);
    changed = true;
  }
  if (changed) Call(m_host.UpdateDevIcons);
  return 1;
}

// ---- NVR channel lists ----------------------------------------------------------

void CDeviceStateReports::AttachChannel(DevInfo& channel) {
  if (channel.pGimbroCtrl != nullptr) {
    const LONG id = channel.pGimbroCtrl->AddDevice(channel.IPAddr, channel.PtzPort, channel.LoginName, channel.LoginPsw);
    channel.GimbroId = id > 0 ? static_cast<int>(id) : 0;
    if (channel.GimbroId > 0)
      channel.pGimbroCtrl->SetTimeSync(channel.GimbroId, g_SyncTime.enable, g_SyncTime.diff, g_SyncTime.interval);
  }
  WriteLog(6, "CVistarelDlg::OnDevChannelList(): add a NVR channel, DevName=%s, DevId=%s, GimbroId=%ld",
           channel.DevName, channel.DevId, static_cast<long>(channel.GimbroId));
}

void CDeviceStateReports::OnDevChannelList(LONG gimbroId, const char* text) {
  auto nvrIt = g_lstDevInfo.begin();
  while (nvrIt != g_lstDevInfo.end() && nvrIt->GimbroId != gimbroId) ++nvrIt;
  if (gimbroId <= 0 || nvrIt == g_lstDevInfo.end() || nvrIt->DevType != kDevTypeNvr || text == nullptr) return;
  // Each channel record has a connection of its own to the NVR, so the count
  // also comes on a channel's connection: it is the NVR's count all the same,
  // taken by the NVR's own record. The channel's state is its state text's
  // (a count on its connection does not bring it online), and the count is
  // taken once, whichever connection brings it first.
  if (!IsOwnRecord(*nvrIt)) {
    const std::string devId = nvrIt->DevId;
    auto own = std::find_if(g_lstDevInfo.begin(), g_lstDevInfo.end(), [&](const DevInfo& dev) {
      return dev.DevType == kDevTypeNvr && IsOwnRecord(dev) && devId == dev.DevId;
    });
    if (own != g_lstDevInfo.end()) nvrIt = own;
  }
  DevInfo& nvr = *nvrIt;
  // Without an own record the channel's record stands for the NVR: it may be
  // removed below, so its name is kept here.
  const std::string nvrName = nvr.DevName;
  const int count = ReadChannelCount(text);
  bool cameOnline = false;
  if (!nvr.nOnline) {
    SetOnline(nvr, 1);
    cameOnline = true;
  }
  bool inserted = false;
  bool shrank = false;
  if (count > 0 && count != nvr.NVRChannels) {
    shrank = count < nvr.NVRChannels;
    {
      CsLock lock(&g_csAppData);
      nvr.NVRChannels = count;
    }
    const std::string devId = nvr.DevId;
    // New channels go after the run of records of this NVR.
    auto where = g_lstDevInfo.begin();
    while (where != g_lstDevInfo.end() && devId != where->DevId) ++where;
    while (where != g_lstDevInfo.end() && devId == where->DevId) ++where;
    for (int c = 1; c <= count; ++c) {
      DevInfo copy = ChannelCopy(nvr, c);
      // Only a channel that is not listed yet is registered: a registration of
      // a copy that is then dropped would keep a second connection open to the
      // NVR for nothing.
      if (IsDevRecordPresent(copy)) continue;
      AttachChannel(copy);
      CRtspEvents* main = nullptr;
      CRtspEvents* sub = nullptr;
      CStrevaCtrl* streva = nvr.pRtspEvent1 != nullptr ? nvr.pRtspEvent1->StrevaCtrl() : nullptr;
      if (nvr.pRtspEvent1 != nullptr) {
        main = new CRtspEvents(nullptr, streva);
        sub = new CRtspEvents(nullptr, streva);
        if (streva != nullptr) {
          streva->Advise(main);
          streva->Advise(sub);
        }
      }
      copy.pRtspEvent1 = main;
      copy.pRtspEvent2 = sub;
      CsLock lock(&g_csAppData);
      g_lstDevInfo.insert(where, copy);
      inserted = true;
    }
  }
  if (shrank) {
    const DevInfo shrunk = nvr;
    RemoveExtraNvrChannels(shrunk);
  }
  if (inserted) {
    if (m_host.UpdateDevItem) m_host.UpdateDevItem(nvrName.c_str());
    Pelk_NotifyUpdateDeviceList();
  }
  if (cameOnline) Call(m_host.UpdateDevIcons);
}

void CDeviceStateReports::ReleaseChannelStreams(DevInfo& channel) {
  const struct {
    CRtspEvents* events;
    const char* name;
    SharedWord* id;
  } objects[] = {{channel.pRtspEvent1, "RtspEvent1", &channel.MainStreamId},
                 {channel.pRtspEvent2, "RtspEvent2", &channel.SubStreamId}};
  for (const auto& object : objects) {
    CRtspEvents* events = object.events;
    if (events == nullptr) continue;
    if (events->IsRecording()) {
      WriteLog(6, "CSettingDevInfoDlg::OnBnClickedBtnDevDel(): %s Stop Record, DevName=%s", object.name,
               channel.DevName);
      events->StopRecord();
      if (!events->IsRendering()) {
        WriteLog(6, "CSettingDevInfoDlg::OnBnClickedBtnDevDel(): %s Stop decoder delete stream id=%d, DevName=%s",
                 object.name, static_cast<int>(events->GetStreamId()), channel.DevName);
        events->StopAllThread();
        events->CloseAllDecoder();
        *object.id = 0;
      }
    }
  }
}

void CDeviceStateReports::RemoveExtraNvrChannels(const DevInfo& nvr) {
  const std::string devId = nvr.DevId;
  const int count = nvr.NVRChannels;
  auto isExtra = [&](const DevInfo& dev) {
    return devId == dev.DevId && dev.DevType == kDevTypeNvr && dev.CurNVRChannel > count;
  };
  // The panes stop first and outside the lock: a grid's own locks come before
  // g_csAppData.
  for (DevInfo& dev : g_lstDevInfo) {
    if (isExtra(dev) && dev.bWatched && m_host.StopPanesShowing) m_host.StopPanesShowing(dev);
  }
  std::vector<std::string> gone;
  {
    CsLock lock(&g_csAppData);
    for (auto it = g_lstDevInfo.begin(); it != g_lstDevInfo.end();) {
      if (!isExtra(*it)) {
        ++it;
        continue;
      }
      DevInfo& dev = *it;
      ReleaseChannelStreams(dev);
      if (m_host.RemoveFromMaintenance) m_host.RemoveFromMaintenance(dev.IPAddr);
      if (dev.pGimbroCtrl != nullptr && dev.GimbroId > 0) dev.pGimbroCtrl->RemoveDevice(dev.GimbroId);
      if (m_host.RemoveMapPoint) m_host.RemoveMapPoint(dev.DevName);
      for (CRtspEvents* events : {dev.pRtspEvent1, dev.pRtspEvent2}) {
        if (events == nullptr) continue;
        if (events->StrevaCtrl() != nullptr) events->StrevaCtrl()->Unadvise(events);
        delete events;
      }
      gone.emplace_back(dev.DevName);
      it = g_lstDevInfo.erase(it);
    }
  }
  if (gone.empty()) return;
  for (const std::string& name : gone) {
    WriteLog(6, "CVistarelDlg::RemoveExtraNvrChannels(): %s of %s removed", name.c_str(), devId.c_str());
  }
  // No tree item may keep a removed record.
  Call(m_host.RefreshDevList);
  Pelk_NotifyUpdateDeviceList();
}
