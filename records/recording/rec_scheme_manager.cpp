// CRecSchemeManager: the thread and its decision cycle.
#include "records/recording/rec_scheme_manager.h"

#include <cstdio>
#include <cstring>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme.h"
#include "records/recording/record_folders.h"
#include "records/recording/rec_log_texts.h"
#include "records/recording/rec_scheme_rules.h"

using namespace reclog;
using namespace recrules;

struct CRecSchemeManager::Step {
  Step(RecSchemeInfo& s, const RecTime& r, DevInfo& e, DevInfo& d, const RecNow& n)
      : scheme(s), span(r), entry(e), dev(d), now(n) {}
  RecSchemeInfo& scheme;
  const RecTime& span;
  DevInfo& entry;  // the scheme's copy of the device
  DevInfo& dev;    // the device's record in g_lstDevInfo
  const RecNow& now;
  int nTime = 0;   // length of the span in seconds
  std::string devFolder;
  const char* kind = nullptr;
  std::string folder;  // day folder of this cycle
};

CRecSchemeManager::CRecSchemeManager(HWND mainWnd, IRecEnvironment* env, IRecStreams* streams)
    : CRecWorker(kCycleMs, "CRecSchemeManager: Start record thread.", "CRecSchemeManager:Record thread exit... ...",
                 "Forcing killing record thread."),
      m_hMainWnd(mainWnd),
      m_env(env ? *env : SystemRecEnvironment()),
      m_streams(streams ? *streams : ProgramRecStreams()) {}

CRecSchemeManager::~CRecSchemeManager() { StopThread(); }

void CRecSchemeManager::Cycle() {
  CsLock lock(&g_csAppData);
  for (DevInfo& dev : g_lstDevInfo) {
    if (StopRequested()) return;
    if (dev.bRecording == 0) StartAlarmRec(&dev);
  }
  const RecNow now = m_env.Now();
  for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) {
    if (StopRequested()) return;
    if (scheme) SchemePass(*scheme, now);
  }
}

void CRecSchemeManager::SchemePass(RecSchemeInfo& scheme, const RecNow& now) {
  if (scheme.OnOff == 0) {
    OnStopRecord(&scheme, scheme.SchemeName, 0);
    return;
  }
  const TimeOfDay t = now.Time();
  for (const RecTime& span : scheme.lstRecTime) {
    if (span.DayOfWeek != now.dayOfWeek && span.DayOfWeek != 8) continue;
    if (span.StartTime < t && t < span.EndTime) {
      for (DevInfo& entry : scheme.lstDev) {
        for (DevInfo& dev : g_lstDevInfo) {
          if (!SameText(dev.DevName, entry.DevName) || !SameText(dev.DevId, entry.DevId)) continue;
          Step step{scheme, span, entry, dev, now};
          step.nTime = span.EndTime.seconds - span.StartTime.seconds;
          if (!DeviceStep(step)) break;
        }
      }
    } else if (t >= span.EndTime) {
      WriteLog(6, "CRecSchemeManager:pRtspEvent2 stop record, szSchemeName = %s,nTime=%d", scheme.SchemeName,
               span.TimeDuration);
      OnStopRecord(&scheme, scheme.SchemeName, span.TimeDuration);
    }
  }
}

std::string CRecSchemeManager::DayFolder(const Step& step, int path) const {
  return RecordDayFolder(StoragePath(step.scheme, path), step.devFolder, step.kind, step.now.year, step.now.month,
                         step.now.day);
}

// False: the device step gives up for this cycle.
bool CRecSchemeManager::DeviceStep(Step& step) {
  DevInfo& dev = step.dev;
  step.devFolder = RecordDeviceFolder(dev);
  if (step.devFolder.empty()) {
    WriteLog(3, "CRecSchemeManager: The device name can't name a record folder, DevName=%s", dev.DevName);
    return false;
  }
  step.kind = RecordKindWord(step.scheme.StartType);
  if (!step.kind) {
    WriteLog(6, "CRecSchemeManager: The record start type not find. can't crate record storage folder.");
    return false;
  }
  const bool alarmScheme = step.scheme.StartType == 1 || step.scheme.StartType == 2;
  if (alarmScheme) PrepareAlarmStream(step);
  if (!CheckStorage(step)) return false;

  if (!StoragePath(step.scheme, dev.CurStoragePath).empty()) {
    step.folder = DayFolder(step, dev.CurStoragePath);
  } else {
    WriteLog(6, "CRecSchemeManager: Have't find current storage path.");
  }

  if (dev.bRecording == 0) {
    dev.RecAudioOn = step.scheme.RecAudio;
    dev.RecStreamKind = step.scheme.RecStreamType;
    CreateRecordFolder(step.folder);
    CopyText(dev.RecFolder, step.folder);
    CopyText(step.entry.RecFolder, step.folder);
    if (step.scheme.StartType == 0) StartSchedule(step);
    return true;
  }
  if (step.folder != dev.RecFolder) {
    WriteLog(6, "CRecSchemeManager:Change the storage path... ...");
    CreateRecordFolder(step.folder);
    CopyText(dev.RecFolder, step.folder);
    RestartFile(step, kRestartNewFolder);
  }
  if (alarmScheme && step.now.epochSeconds >= dev.AlarmRecStart + step.scheme.DetRecTime) {
    OnStopAlmRecord(dev.DevName, step.scheme.StartType);
  }
  return true;
}

// Motion and IO schemes keep a stream of the scheme's kind open, buffering the
// pre-record time, so that an alarm records at once.
void CRecSchemeManager::PrepareAlarmStream(Step& step) {
  DevInfo& dev = step.dev;
  const int kind = step.scheme.RecStreamType;
  if (dev.bWatched != 0 && kind == dev.LiveStreamKind) {
    if (m_streams.Kind(dev.pRtspEvent1) == kind) {
      m_streams.SetPreRecTime(dev.pRtspEvent1, step.scheme.PreRecTime, step.scheme.RecAudio);
    } else if (m_streams.Kind(dev.pRtspEvent2) == kind) {
      m_streams.SetPreRecTime(dev.pRtspEvent2, step.scheme.PreRecTime, step.scheme.RecAudio);
    }
    return;
  }
  if (m_streams.Kind(dev.pRtspEvent1) != kind && m_streams.Kind(dev.pRtspEvent2) != kind) {
    WriteLog(6, "CRecSchemeManager:Req the motion alarm record stream. streamtype=%d, DevName=%s", kind,
             dev.DevName);
    AddWatch(&dev, kind, step.scheme.PreRecTime, step.scheme.RecAudio);
  }
}

// The current storage path and its free space. False: the step gives up.
bool CRecSchemeManager::CheckStorage(Step& step) {
  DevInfo& dev = step.dev;
  const int current = dev.CurStoragePath;
  if (current < 1 || current > 3) {
    WriteLog(6, "CRecSchemeManager: switch current storage path failed. nCurrentStoragePth=%d", current);
  }
  const std::string path = StoragePath(step.scheme, current);
  if (!path.empty()) {
    uint64_t freeBytes = 0;
    if (!m_env.FreeBytes(path, &freeBytes)) {
      // Unknown is not full: nothing is switched or stopped on a failed query.
      WriteLog(3, "CRecSchemeManager: Can't read the free space of the storage path, skipped this cycle. DevName=%s, StoragePath=%s",
               dev.DevName, path.c_str());
      return false;
    }
    if (freeBytes / kGiB < kMinFreeBytes / kGiB) return SwitchStorage(step, freeBytes);
    return true;
  }
  if (dev.bRecording == 1) OnStopRecord(&step.scheme, step.scheme.SchemeName, 0);
  for (int n = 1; n <= 3; ++n) {
    if (!StoragePath(step.scheme, n).empty()) {
      dev.CurStoragePath = n;
      return true;
    }
  }
  WriteLog(3, "CRecSchemeManager: All storage path is NULL, DevName=%s record can't begin.", dev.DevName);
  return false;
}

// The drive of the current path is short of space: on to the scheme's next
// path, or stop a stop-when-full scheme that has none left.
bool CRecSchemeManager::SwitchStorage(Step& step, uint64_t freeBytes) {
  RecSchemeInfo& scheme = step.scheme;
  const int current = step.dev.CurStoragePath;
  WriteLog(6, "CRecSchemeManager:The current storage space = %llu Bytes, less than 5G, nCurDisk=%d",
           static_cast<unsigned long long>(freeBytes), current);
  const StorageDecision decision = DecideStorageSwitch(current, !StoragePath(scheme, 1).empty(),
                                                       !StoragePath(scheme, 2).empty(),
                                                       !StoragePath(scheme, 3).empty(), scheme.StorageScheme);
  if (decision.stop) {
    OnStopRecord(&scheme, scheme.SchemeName, 0);
    scheme.OnOff = 0;  // in memory only: the file keeps the user's setting
    return false;
  }
  if (decision.target == 0) {
    WriteLog(6, "CRecSchemeManager: Only one storage path, the storage space less than 5G, record will stop.");
    return true;
  }
  SwitchToPath(step, decision.target);
  return true;
}

void CRecSchemeManager::SwitchToPath(Step& step, int path) {
  DevInfo& dev = step.dev;
  const int from = dev.CurStoragePath;
  const std::string oldRoot = StoragePath(step.scheme, from).substr(0, 3);
  dev.CurStoragePath = path;
  WriteLog(6, "CRecSchemeManager:DevName=%s,Disk=%s storage space less than 5G, change the storage disk to path%d",
           dev.DevName, oldRoot.c_str(), path);
  const std::string folder = DayFolder(step, path);
  CreateRecordFolder(folder);
  CopyText(dev.RecFolder, folder);
  RestartFile(step, from == 1 && path == 2 ? kRestartSwitch1To2 : from == 2 && path == 3 ? kRestartSwitch2To3
                                                                                          : kRestartSwitch);
}

// A new file in the device's (new) record folder, on the object that records.
void CRecSchemeManager::RestartFile(Step& step, int textCase) {
  DevInfo& dev = step.dev;
  CRtspEvents* objects[2] = {dev.pRtspEvent1, dev.pRtspEvent2};
  for (int i = 0; i < 2; ++i) {
    CRtspEvents* events = objects[i];
    if (!m_streams.IsRecording(events)) continue;
    m_streams.StopRecordFile(events);
    const long streamId = m_streams.StreamId(events);
    const long fileId = m_streams.StartRecord(events, streamId, step.nTime, step.scheme.RecFileTime, dev.RecFolder, 5);
    const RestartTexts& texts = RestartText(textCase);
    if (textCase == kRestartNewFolder) {
      WriteLog(6, texts.object[i], fileId, dev.DevName, dev.RecFolder);
    } else {
      WriteLog(6, texts.object[i], fileId, dev.DevName, streamId, dev.RecFolder);
    }
    return;
  }
  WriteLog(6, "%s", RestartText(textCase).none);
}

// The start rule of a schedule scheme for a device that does not record.
void CRecSchemeManager::StartSchedule(Step& step) {
  DevInfo& dev = step.dev;
  if (step.folder.empty()) return;  // no folder to record into: nothing starts
  const int kind = step.scheme.RecStreamType;
  CRtspEvents* first = dev.pRtspEvent1;
  CRtspEvents* second = dev.pRtspEvent2;
  auto ready = [&](CRtspEvents* e) { return e && m_streams.Kind(e) == kind && m_streams.HasMedia(e); };
  auto showing = [&](CRtspEvents* e) { return e && m_streams.Renders(e) && m_streams.HasMedia(e); };
  auto openAndStart = [&](int textCase) {
    if (m_streams.Kind(first) != kind && m_streams.Kind(second) != kind) AddWatch(&dev, kind, 0, 0);
    if (ready(first)) {
      StartOn(step, first, 1, kind, textCase);
    } else if (ready(second)) {
      StartOn(step, second, 2, kind, textCase);
    } else {
      WriteLog(3, "CRecSchemeManager:DevName=%s waiting record stream", dev.DevName);
    }
  };
  if (dev.bWatched == 0) {
    openAndStart(kStartNotWatched);
  } else if (dev.DevType == 0) {
    if (!m_streams.Renders(first)) return;
    if (!m_streams.HasMedia(first)) {
      WriteLog(6, "CRecSchemeManager:Havn't receive media param, DevName=%s , waiting for record.", dev.DevName);
    } else {
      StartOn(step, first, 1, dev.LiveStreamKind, kStartWatchedServer);
    }
  } else if (dev.DevType == 1 || dev.DevType == kDevTypeNvr) {
    if (kind != dev.LiveStreamKind) {
      openAndStart(kStartWatchedOtherKind);
    } else if (showing(first)) {
      StartOn(step, first, 1, dev.LiveStreamKind, kStartWatchedSameKind);
    } else if (showing(second)) {
      StartOn(step, second, 2, dev.LiveStreamKind, kStartWatchedSameKind);
    } else {
      WriteLog(6, "CRecSchemeManager:Have't find media render stream, record refued.DevName=%s", dev.DevName);
    }
  }
}

void CRecSchemeManager::StartOn(Step& step, CRtspEvents* events, int object, int recordedKind, int textCase) {
  DevInfo& dev = step.dev;
  m_streams.EnableRecord(events, step.scheme.RecAudio);
  const long streamId = m_streams.StreamId(events);
  const long fileId =
      m_streams.StartRecord(events, streamId, step.nTime, step.scheme.RecFileTime, step.folder, 0);
  const StartTexts& texts = StartText(textCase);
  if (fileId < 1) {
    WriteLog(6, texts.failed[object - 1], static_cast<int>(fileId), streamId, dev.DevName, step.folder.c_str());
    return;
  }
  dev.RecStreamKind = recordedKind;
  dev.bRecording = 1;
  dev.RecSpanId = step.span.TimeDuration;
  CopyText(dev.RecSchemeName, step.scheme.SchemeName);
  ReportRecordState(&dev, 2);
  if (texts.successIntId) {
    WriteLog(6, texts.success[object - 1], static_cast<int>(fileId), dev.DevName, step.folder.c_str());
  } else {
    WriteLog(6, texts.success[object - 1], fileId, dev.DevName, step.folder.c_str());
  }
}
