// CRecSchemeManager: the actions on one device (open a stream for recording,
// start and stop alarm and scheme recordings, report record states).
#include <cstdio>
#include <cstring>

#include "core/dev_info_store.h"
#include "core/login_logic.h"
#include "core/client_log.h"
#include "core/rec_scheme.h"
#include "records/recording/rec_scheme_manager.h"
#include "records/recording/rec_scheme_rules.h"
#include "records/recording/rec_state_report.h"
#include "records/recording/rec_stream_address.h"

using namespace recrules;

namespace {

// The first record of the list that is the device itself: the same name (not
// an NVR channel), or the same NVR address and channel.
DevInfo* FindOwnRecord(const DevInfo& dev) {
  for (DevInfo& each : g_lstDevInfo) {
    if (SameText(each.DevName, dev.DevName) && each.DevType != kDevTypeNvr) return &each;
    if (SameText(each.IPAddr, dev.IPAddr) && each.DevType == kDevTypeNvr && each.CurNVRChannel == dev.CurNVRChannel) {
      return &each;
    }
  }
  return nullptr;
}

bool AlarmWaits(const RecSchemeInfo& scheme, const DevInfo& dev) {
  if (scheme.StartType == 1) return dev.nMotionAlarm == 14;
  if (scheme.StartType == 2) return dev.nIOAlarm == 15 || dev.nIOAlarm == 16;
  return false;
}

bool SpanRuns(const RecTime& span, const RecNow& now) {
  const TimeOfDay t = now.Time();
  return (span.DayOfWeek == now.dayOfWeek || span.DayOfWeek == 8) && span.StartTime < t && t < span.EndTime;
}

}  // namespace

int CRecSchemeManager::AddWatch(DevInfo* dev, int kind, int preSeconds, int audio) {
  if (!dev) {
    WriteLog(-2, "CRecSchemeManager Action AddWatch refused. decive info is NULL");
    return -1;
  }
  if (g_bUseLoginSvr && dev->DevSN[0] == '\0' && dev->VisitMod == 2) return -1;
  DevInfo* own = FindOwnRecord(*dev);
  if (!own) return 0;
  const RecStreamOpen open = RecordStreamOpen(*own, *dev, kind);
  const std::string& address = open.byHost ? open.path : open.url;

  int object = 1;
  CRtspEvents* events = own->pRtspEvent1;
  if (m_streams.StreamId(own->pRtspEvent1) != 0 || !own->pRtspEvent1) {
    if (m_streams.StreamId(own->pRtspEvent2) != 0 || !own->pRtspEvent2) {
      WriteLog(6, "CRecSchemeManager:Add stream refused,RtspEvent1 and RtspEvent2 is using. URL=%s", address.c_str());
      return 0;
    }
    object = 2;
    events = own->pRtspEvent2;
  }
  const long streamId = m_streams.Open(events, open);
  if (streamId < 1) {
    WriteLog(6, "CRecSchemeManager:Add stream failed, error=%d, URL=%s", static_cast<int>(streamId), address.c_str());
    return object;
  }
  (object == 1 ? own->MainStreamId : own->SubStreamId) = static_cast<int>(streamId);
  m_streams.SetStreamInfo(events, streamId, kind, preSeconds, audio);
  m_streams.SetDevType(events, own->DevType);
  own->RecStreamKind = kind;
  dev->RecStreamKind = kind;
  if (dev != own) {
    (object == 1 ? dev->pRtspEvent1 : dev->pRtspEvent2) = events;
    (object == 1 ? dev->MainStreamId : dev->SubStreamId) = static_cast<int>(streamId);
  }
  WriteLog(6, "CRecSchemeManager:Add stream success, URL=%s, pRtspEvent%d set StreamId=%ld, CurStreamType=%d",
           address.c_str(), object, streamId, kind);
  return object;
}

int CRecSchemeManager::StartAlarmRec(DevInfo* dev) {
  if (!dev) return 0;
  const RecNow now = m_env.Now();
  RecSchemeInfo* scheme = nullptr;
  const RecTime* span = nullptr;
  DevInfo* entry = nullptr;
  for (RecSchemeInfo* each : g_lstRecSchemeInfo) {
    if (!each || each->OnOff == 0 || !AlarmWaits(*each, *dev)) continue;
    for (const RecTime& time : each->lstRecTime) {
      if (!SpanRuns(time, now)) continue;
      for (DevInfo& candidate : each->lstDev) {
        if (SameText(candidate.DevName, dev->DevName)) {
          scheme = each;
          span = &time;
          entry = &candidate;
          break;
        }
      }
      if (entry) break;
    }
    if (entry) break;
  }
  if (!entry) return 0;
  // The cycle names the folder on its first pass over the device's span.
  if (entry->RecFolder[0] == '\0') {
    WriteLog(6, "CRecSchemeManager::StartAlarmRec(): The record folder is not ready, alarm record waits. DevName=%s",
             dev->DevName);
    return 0;
  }
  const int kind = scheme->RecStreamType;
  auto ready = [&](CRtspEvents* e) { return e && m_streams.Kind(e) == kind && m_streams.HasMedia(e); };
  CRtspEvents* events = ready(dev->pRtspEvent1) ? dev->pRtspEvent1 : ready(dev->pRtspEvent2) ? dev->pRtspEvent2 : nullptr;
  if (!events) {
    WriteLog(6, "CRecSchemeManager::StartAlarmRec(): Start alarm record failed. haven't find RtspEvnt.");
    return 0;
  }
  const int object = events == dev->pRtspEvent1 ? 1 : 2;
  m_streams.EnableRecord(events, scheme->RecAudio);
  const long streamId = m_streams.StreamId(events);
  const long fileId = m_streams.StartRecord(events, streamId, scheme->DetRecTime, scheme->RecFileTime, entry->RecFolder,
                                            scheme->PreRecTime);
  if (fileId <= 0) {
    WriteLog(6, "CRecSchemeManager::StartAlarmRec():pRtspEvent%d start alarm record failed.error=%d, StreamId=%ld, DevName=%s, SavePath=%s",
             object, static_cast<int>(fileId), streamId, dev->DevName, entry->RecFolder);
    return 0;
  }
  WriteLog(6, "CRecSchemeManager::StartAlarmRec():pRtspEvent%d start alarm record success. DevName=%s, SavePath=%s",
           object, dev->DevName, entry->RecFolder);
  WriteLog(6, "CRecSchemeManager::StartAlarmRec(): Create IFrame, lGimbroId=%ld", static_cast<long>(dev->GimbroId));
  m_streams.CreateIFrame(*dev, 1 - dev->LiveStreamKind);
  dev->bRecording = 1;
  dev->RecStreamKind = kind;
  dev->AlarmRecStart = now.epochSeconds;
  CopyText(dev->RecSchemeName, scheme->SchemeName);
  dev->RecSpanId = span->TimeDuration;
  return 0;
}

void CRecSchemeManager::OnStopAlmRecord(const char* devName, int startType) {
  if (!devName) return;
  WriteLog(3, "CRecSchemeManager:Stop alarm record, DevName=%s", devName);
  for (DevInfo& dev : g_lstDevInfo) {
    if (std::strncmp(dev.DevName, devName, sizeof dev.DevName) != 0) continue;
    if (m_streams.StreamId(dev.pRtspEvent1) != 0 && m_streams.IsRecording(dev.pRtspEvent1)) {
      WriteLog(6, "CRecSchemeManager::OnStopAlmRecord(): RtspEvent1 Stop Record, DevName=%s", dev.DevName);
      m_streams.StopRecord(dev.pRtspEvent1);
    } else if (m_streams.StreamId(dev.pRtspEvent2) != 0 && m_streams.IsRecording(dev.pRtspEvent2)) {
      WriteLog(6, "CRecSchemeManager::OnStopAlmRecord(): RtspEvent2 Stop Record, DevName=%s", dev.DevName);
      m_streams.StopRecord(dev.pRtspEvent2);
    }
    dev.bRecording = 0;
    dev.RecSpanId = 0;
    if (startType == 1) dev.nMotionAlarm = 0;
    if (startType == 2) dev.nIOAlarm = 0;
    dev.RecSchemeName[0] = '\0';
  }
}

void CRecSchemeManager::OnStopRecord(RecSchemeInfo* scheme, const char* schemeName, int span) {
  if (!scheme || !schemeName) return;
  for (const DevInfo& entry : scheme->lstDev) {
    for (DevInfo& dev : g_lstDevInfo) {
      if (!SameText(dev.DevName, entry.DevName) ||
          std::strncmp(dev.RecSchemeName, schemeName, sizeof dev.RecSchemeName) != 0) {
        continue;
      }
      if (span > 0 && span != dev.RecSpanId) return;
      CRtspEvents* objects[2] = {dev.pRtspEvent1, dev.pRtspEvent2};
      for (int i = 0; i < 2; ++i) {
        CRtspEvents* events = objects[i];
        if (!events) continue;
        if (m_streams.StreamId(events) != 0 && m_streams.IsRecording(events)) {
          WriteLog(6, "CRecSchemeManager::OnStopRecord(): RtspEvent%d Stop Record, DevName=%s", i + 1, dev.DevName);
          m_streams.StopRecord(events);
        }
        if (m_streams.Renders(events)) continue;
        WriteLog(6, "CRecSchemeManager::OnStopRecord(): RtspEvent%d Stop decoder delete stream id=%d, DevName=%s",
                 i + 1, static_cast<int>(m_streams.StreamId(events)), dev.DevName);
        if (!m_streams.FeedsRelay(events)) m_streams.StopAllThread(events);
        m_streams.CloseAllDecoder(events);
        (i == 0 ? dev.MainStreamId : dev.SubStreamId) = 0;
      }
      dev.bRecording = 0;
      dev.RecSpanId = 0;
      dev.nMotionAlarm = 0;
      dev.nIOAlarm = 0;
      dev.RecSchemeName[0] = '\0';
      ReportRecordState(&dev, 3);
    }
  }
}

void CRecSchemeManager::ReportRecordState(DevInfo* dev, int state) {
  // The device images and the record-scheme page belong to the UI thread.
  if (dev) ReportDeviceRecordState(m_strLocalMac, *dev, state, m_hMainWnd);
}
