// CRecSchemeManager: the local recording thread.
//
// Every 200 ms, inside g_csAppData, it walks the record schemes and the device
// records and decides for each device of each scheme whether a record file
// must start, go on in a new folder or stop:
//   - alarm pass: a device with a waiting motion (14) or IO (15, 16) alarm and a
//     running span of a motion or IO scheme starts an alarm recording with the
//     scheme's pre-record time, for the scheme's alarm-record time;
//   - schedule schemes record inside their weekly spans (t strictly between a
//     span's start and end, whole seconds) and stop once t reaches the end;
//   - motion and IO schemes keep a stream of the scheme's kind open with a
//     pre-record buffer, so that alarm recording starts at once;
//   - the day folder (record_folders.h) follows the date and the storage path;
//     a path whose drive has less than 5 GiB free is left for the scheme's next
//     path (a stop-when-full scheme with no path left stops and is switched off
//     in memory).
// The record files are written by the recorder behind each stream object; this
// thread gives it a folder, a duration, a file length and a pre-record time.
//
// What runs elsewhere: the device images and the record-scheme page are
// refreshed on the UI thread (WM_RECORD_STATE_CHANGED posted to the main
// window); a drive whose free space cannot be measured is skipped (and logged)
// for that cycle, never taken as full; an alarm is not recorded before its
// folder is known.
#pragma once

#include <string>

#include "platform/win_types.h"
#include "records/recording/rec_environment.h"
#include "records/recording/rec_streams.h"
#include "records/recording/rec_worker.h"

struct DevInfo;
struct RecSchemeInfo;
struct RecTime;

class CRecSchemeManager : public CRecWorker {
 public:
  static constexpr int kCycleMs = 200;
  static constexpr uint64_t kMinFreeBytes = 5 * kGiB;

  // env, streams: null for the system clock and drives and the program's
  // stream objects (tests give their own).
  explicit CRecSchemeManager(HWND mainWnd, IRecEnvironment* env = nullptr, IRecStreams* streams = nullptr);
  ~CRecSchemeManager() override;

  // This client's MAC text, the left part of the device keys reported to the relay.
  void SetLocalMac(const std::string& mac) { m_strLocalMac = mac; }

  // The recording actions. They run on the recording thread inside
  // g_csAppData (tests call them under the lock too).
  // -> -1 refused, 0 no own record or both stream objects busy, 1 or 2 the
  // stream object used (also when its open failed).
  int AddWatch(DevInfo* dev, int kind, int preSeconds, int audio);
  int StartAlarmRec(DevInfo* dev);
  void OnStopRecord(RecSchemeInfo* scheme, const char* schemeName, int span);
  void OnStopAlmRecord(const char* devName, int startType);
  // state 2 recording started, 3 stopped: to the relay library and the main window.
  void ReportRecordState(DevInfo* dev, int state);

 protected:
  void Cycle() override;

 private:
  struct Step;  // one device of one span of one scheme in this cycle

  void SchemePass(RecSchemeInfo& scheme, const RecNow& now);
  bool DeviceStep(Step& step);
  void PrepareAlarmStream(Step& step);
  bool CheckStorage(Step& step);
  bool SwitchStorage(Step& step, uint64_t freeBytes);
  void SwitchToPath(Step& step, int path);
  void StartSchedule(Step& step);
  void StartOn(Step& step, CRtspEvents* events, int object, int recordedKind, int textCase);
  void RestartFile(Step& step, int textCase);
  std::string DayFolder(const Step& step, int path) const;

  HWND m_hMainWnd;
  IRecEnvironment& m_env;
  IRecStreams& m_streams;
  std::string m_strLocalMac;
};
