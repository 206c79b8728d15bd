// The Pelk_* functions: each hands its call to the process's default engine.
#include <atomic>
#include <mutex>
#include <vector>

#include "pelk/pelk.h"
#include "pelk/pelk_client.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_server.h"
#include "pelk/pelk_testing.h"
#include "pelk/pelk_time.h"
#include "pelk/pelk_wire.h"

using pelk::Engine;

namespace {

std::atomic<int> g_rsp{0}, g_video{0}, g_audio{0}, g_close{0};
std::atomic<int> g_msgWnd{0}, g_callbacks{0}, g_invite{0}, g_loginOut{0}, g_stopTS{0}, g_delete{0};
std::atomic<int> g_notifyList{0}, g_startTS{0}, g_modify{0};
std::mutex g_statesLock;
std::vector<PelkDeviceStateReport> g_states;  // guarded by g_statesLock; the latest kStatesKept
std::vector<PelkAlarmReport> g_alarms;        // guarded by g_statesLock; the latest kStatesKept
constexpr size_t kStatesKept = 256;

Engine& E() { return Engine::Default(); }
pelk::Server& S() { return E().server(); }
pelk::Client& C() { return E().client(); }

template <class Set>
void SetCallback(Set set) {
  ++g_callbacks;
  std::lock_guard<std::mutex> lock(E().CallbacksMutex());
  set(E().MutableCallbacks());
}

LONG ReplayCtrl(LONG login, DWORD session2, uint32_t what, DWORD value) {
  return C().ReplayControl(login, session2, what, value);
}

LONG ByDateCtrl(LONG login, const char* key, LONG channel, uint32_t what, DWORD value) {
  return C().ByDateControl(login, key, channel, what, value);
}

}  // namespace

PelkCallCounts PelkTestCounts() {
  return {g_rsp.load(),      g_video.load(),   g_audio.load(),    g_close.load(),  g_msgWnd.load(),
          g_callbacks.load(), g_invite.load(), g_loginOut.load(), g_stopTS.load(), g_delete.load(),
          g_notifyList.load(), g_startTS.load(), g_modify.load()};
}

std::vector<PelkDeviceStateReport> PelkTestDeviceStates() {
  std::lock_guard<std::mutex> lock(g_statesLock);
  return g_states;
}

std::vector<PelkAlarmReport> PelkTestAlarmReports() {
  std::lock_guard<std::mutex> lock(g_statesLock);
  return g_alarms;
}

void PelkTestReset() {
  g_rsp = g_video = g_audio = g_close = 0;
  g_msgWnd = g_callbacks = g_invite = g_loginOut = g_stopTS = g_delete = 0;
  g_notifyList = g_startTS = g_modify = 0;
  std::lock_guard<std::mutex> lock(g_statesLock);
  g_states.clear();
  g_alarms.clear();
}

// ---- the library ------------------------------------------------------------------

int Pelk_Init() {
  E();
  return 0;
}

void Pelk_Release() { Engine::ReleaseDefault(); }

void Pelk_SetMsgWnd(HWND hwnd) {
  ++g_msgWnd;
  E().SetMsgWnd(hwnd);
}

void Pelk_SetGetUserIdCallback(PelkGetUserIdCallback callback, void* context) {
  SetCallback([&](pelk::EngineCallbacks& c) {
    c.getUserId = callback;
    c.getUserIdContext = context;
  });
}

void Pelk_SetRealReplayCallback(PelkRealReplayCallback callback, void* context) {
  SetCallback([&](pelk::EngineCallbacks& c) {
    c.realReplay = callback;
    c.realReplayContext = context;
  });
}

void Pelk_SetReplayByDateCallback(PelkReplayByDateCallback callback, void* context) {
  SetCallback([&](pelk::EngineCallbacks& c) {
    c.replayByDate = callback;
    c.replayByDateContext = context;
  });
}

void Pelk_SetDownloadRealDataCallback(PelkDownloadRealDataCallback callback, void* context) {
  SetCallback([&](pelk::EngineCallbacks& c) {
    c.download = callback;
    c.downloadContext = context;
  });
}

void Pelk_Delete(void* record, int kind) {
  if (!record) return;
  ++g_delete;
  E().Records().Delete(record, kind);
}

// ---- forwarding server --------------------------------------------------------------

LONG Pelk_StartTS(const char* ipAddr, LONG port, LONG videoCount, LONG userCount) {
  ++g_startTS;
  return S().Start(ipAddr, port, videoCount, userCount);
}

LONG Pelk_StopTS() {
  ++g_stopTS;
  return S().Stop();
}

LONG Pelk_ModifyChannelCount(LONG videoCount, LONG userCount) {
  ++g_modify;
  return S().Modify(videoCount, userCount);
}

// ---- answers ------------------------------------------------------------------------

LONG Pelk_RspDeviceList(LONG status, DWORD word, const RelayDeviceEntry* list, LONG count) {
  return S().RspDeviceList(status, word, list, count);
}

DWORD Pelk_RspDeviceVideo(LONG status, const char* deviceKey, DWORD stream, DWORD channel, DWORD word3, DWORD word,
                          const BYTE* videoParam, const BYTE* audioParam) {
  ++g_rsp;
  return S().RspDeviceVideo(status, deviceKey, stream, channel, word3, word, videoParam, audioParam);
}

LONG Pelk_ReportAVData(DWORD videoHandle, const char* deviceKey, DWORD stream, DWORD channel, LONG kind,
                       const BYTE* data, LONG length, const RelayFrameInfo* info) {
  ++(kind == PELK_MEDIA_VIDEO ? g_video : g_audio);
  return S().ReportAVData(videoHandle, deviceKey, stream, channel, kind, data, length, info);
}

LONG Pelk_CloseDeviceVideo(DWORD videoHandle) {
  ++g_close;
  return S().CloseDeviceVideo(videoHandle);
}

LONG Pelk_RspReplaySearch(LONG status, DWORD searchId, DWORD word, const ReplaySearchRequest*, DWORD, DWORD,
                          LONG count, const char* text) {
  return S().RspReplaySearch(status, searchId, word, count, text);
}

LONG Pelk_RspReplayStart(LONG status, DWORD handle, DWORD word, const char*, DWORD, DWORD, const BYTE* videoParam,
                         const BYTE* audioParam, const char* path, LONG seconds) {
  return S().RspReplayStart(status, handle, word, videoParam, audioParam, path, seconds);
}

LONG Pelk_ReportReplayData(DWORD handle, DWORD word, const char*, DWORD, DWORD, LONG kind, const BYTE* data,
                           LONG length, const RelayFrameInfo* info, const char*) {
  return S().ReportReplayData(handle, word, kind, data, length, info);
}

LONG Pelk_NotifyReplayStop(DWORD handle, DWORD word, const char*, DWORD, DWORD, const char*) {
  return S().NotifyReplayStop(handle, word);
}

LONG Pelk_ReportReplayDataByDate(DWORD handle, DWORD word, const char*, DWORD, LONG kind, const BYTE* data,
                                 LONG length, const RelayFrameInfo* info, const BYTE* videoParam,
                                 const BYTE* audioParam, LONG first, LONG seconds, DWORD startSecond) {
  return S().ReportReplayDataByDate(handle, word, kind, data, length, info, videoParam, audioParam, first, seconds,
                                    startSecond);
}

LONG Pelk_NotifyReplayStopByDate(DWORD handle, DWORD word, const char*, DWORD) {
  return S().NotifyReplayStopByDate(handle, word);
}

LONG Pelk_RspReplaySearchByDate(LONG status, DWORD handle, DWORD word, const SearchByDateRequest*, DWORD channel,
                                const char* dayMap, DATE date) {
  return S().RspReplaySearchByDate(status, handle, word, channel, dayMap, date);
}

LONG Pelk_RspDloadStart(LONG status, DWORD handle, DWORD word, const char*, DWORD, DWORD, LONG, DWORD sizeLow,
                        DWORD sizeHigh, const char*) {
  return S().RspDloadStart(status, handle, word, sizeLow, sizeHigh);
}

LONG Pelk_ReportDloadData(DWORD handle, DWORD word, const char*, DWORD, DWORD, LONG, const BYTE* data, LONG length,
                          DWORD offsetLow, DWORD offsetHigh, DWORD sizeLow, DWORD sizeHigh, const char*) {
  return S().ReportDloadData(handle, word, data, length, PelkMake64(offsetLow, offsetHigh),
                             PelkMake64(sizeLow, sizeHigh));
}

LONG Pelk_NotifyDloadStop(DWORD handle, DWORD word, const char*, DWORD, DWORD, const char*) {
  return S().NotifyDloadStop(handle, word);
}

LONG Pelk_RspInvitePreset(const char* deviceKey, DWORD, DWORD channel, const char* text) {
  return S().RspInvitePreset(deviceKey, channel, text);
}

LONG Pelk_ReportDeviceState(const char* deviceKey, LONG channel, LONG state) {
  if (deviceKey) {
    std::lock_guard<std::mutex> lock(g_statesLock);
    if (g_states.size() == kStatesKept) g_states.erase(g_states.begin());
    g_states.push_back({deviceKey, channel, state});
  }
  return S().ReportDeviceState(deviceKey, channel, state);
}

LONG Pelk_NotifyUpdateDeviceList() {
  ++g_notifyList;
  return S().NotifyUpdateDeviceList();
}

LONG Pelk_ReportAlarmInfo(const char* deviceKey, LONG channel, const RelayAlarmRecord* alarm) {
  if (deviceKey && alarm) {
    std::lock_guard<std::mutex> lock(g_statesLock);
    if (g_alarms.size() == kStatesKept) g_alarms.erase(g_alarms.begin());
    g_alarms.push_back({deviceKey, channel, *alarm});
  }
  return S().ReportAlarmInfo(deviceKey, channel, alarm);
}

// ---- viewing side --------------------------------------------------------------------

LONG Pelk_Login(const char* ipAddr, LONG port, const char* userName, const char* password) {
  return C().Login(ipAddr, port, userName, password);
}

LONG Pelk_LoginOut(LONG loginHandle) {
  ++g_loginOut;
  return C().LogOut(loginHandle);
}

LONG Pelk_IsInnerIp(LONG loginHandle) { return C().IsInnerIp(loginHandle); }

LONG Pelk_InviteDeviceList(LONG loginHandle) { return C().InviteDeviceList(loginHandle); }

LONG Pelk_InviteDeviceVideo(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel) {
  ++g_invite;
  return C().InviteDeviceVideo(loginHandle, deviceKey, stream, channel);
}

LONG Pelk_InviteCloseDeviceVideo(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel) {
  return C().InviteCloseDeviceVideo(loginHandle, deviceKey, stream, channel);
}

LONG Pelk_SetRealDataCallback(PelkRealDataCallback callback, const char* deviceKey, LONG mainId, LONG subId,
                              void* context) {
  ++g_callbacks;
  if (!deviceKey) return -1;
  char key[PELK_KEY_SIZE];
  pelk::CopyText(key, deviceKey);
  E().RealData().Register(key, static_cast<DWORD>(mainId), static_cast<DWORD>(subId), callback, context);
  return 0;
}

LONG Pelk_InviteReplaySearch(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG media,
                             LONG recordType, LONG source, LONG page, const DATE* start, const SYSTEMTIME* end,
                             DWORD minSizeLow, DWORD minSizeHigh, DWORD maxSizeLow, DWORD maxSizeHigh) {
  if (!deviceKey || !start || !end) return 0;
  ReplaySearchRequest request;
  pelk::CopyText(request.szDevKey, deviceKey);
  request.dwStreamSel = static_cast<DWORD>(stream);
  request.dwChannel = static_cast<DWORD>(channel);
  request.dwMediaSel = static_cast<DWORD>(media);
  request.dwRecKind = static_cast<DWORD>(recordType);
  request.dwTarget = static_cast<DWORD>(source);
  request.dwPage = static_cast<DWORD>(page);
  request.llMinSize = static_cast<int64_t>(PelkMake64(minSizeLow, minSizeHigh));
  request.llMaxSize = static_cast<int64_t>(PelkMake64(maxSizeLow, maxSizeHigh));
  pelk::CopyText(request.szStart, pelk::FormatTimeText(pelk::FromAutomationDate(*start)).c_str());
  pelk::CopyText(request.szEnd, pelk::FormatTimeText(pelk::FromSystemTime(*end)).c_str());
  return C().InviteReplaySearch(loginHandle, request);
}

LONG Pelk_InviteReplaySearchByDate(LONG loginHandle, const char* deviceKey, LONG channel, const SYSTEMTIME* day) {
  if (!day) return -1;
  return C().InviteReplaySearchByDate(loginHandle, deviceKey, channel, day->wYear, day->wMonth, day->wDay);
}

LONG Pelk_InviteReplayStart(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG kind,
                            const char* path) {
  return C().InviteReplayStart(loginHandle, deviceKey, stream, channel, kind, path);
}

// File replay steering (pelk_protocol.txt, "Translations made by the viewing library").
LONG Pelk_InvitePeplayContinue(LONG login, const char*, DWORD, DWORD session2, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlCode, 7);
}
LONG Pelk_InviteReplayPause(LONG login, const char*, DWORD, DWORD session2, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlCode, 6);
}
LONG Pelk_InviteReplayStop(LONG login, const char*, DWORD, DWORD session2, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlCode, 5);
}
LONG Pelk_InviteModuleReplayPause(LONG login, const char*, DWORD, DWORD session2, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlSpeed, 0);
}
LONG Pelk_InviteModulePeplayContinue(LONG login, const char*, DWORD, DWORD session2, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlCode, 7);
}
LONG Pelk_InviteReplayPre(LONG login, const char*, DWORD, DWORD session2, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlCode, 1);
}
LONG Pelk_InviteReplayNext(LONG login, const char*, DWORD, DWORD session2, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlCode, 2);
}
LONG Pelk_InviteReplaySpeed(LONG login, const char*, DWORD, DWORD session2, LONG speed, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlSpeed, pelk::ServingSpeed(speed));
}
LONG Pelk_InviteReplaySeek(LONG login, const char*, DWORD, DWORD session2, LONG second, const char*) {
  return ReplayCtrl(login, session2, pelk::kCtrlIndex, static_cast<DWORD>(second < 0 ? 0 : second));
}

LONG Pelk_InviteReplayStartByDate(LONG loginHandle, const char* deviceKey, LONG channel, DATE date,
                                  LONG startSecond) {
  if (!deviceKey) return -1;
  const pelk::CivilTime day = pelk::FromAutomationDate(date);
  ReplayByDateRequest request;
  pelk::CopyText(request.szDevKey, deviceKey);
  request.dwChannel = static_cast<DWORD>(channel);
  request.dwYear = static_cast<DWORD>(day.year);
  request.dwMonth = static_cast<DWORD>(day.month);
  request.dwDay = static_cast<DWORD>(day.day);
  request.dwStartSecond = static_cast<DWORD>(startSecond < 0 ? 0 : startSecond);
  return C().InviteReplayStartByDate(loginHandle, request);
}

// Day replay steering.
LONG Pelk_InvitePeplayContinueByDate(LONG login, const char* key, LONG channel) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlCode, 7);
}
LONG Pelk_InviteReplayPauseByDate(LONG login, const char* key, LONG channel) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlCode, 6);
}
LONG Pelk_InviteReplayStopByDate(LONG login, const char* key, LONG channel) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlCode, 5);
}
LONG Pelk_InviteModuleReplayByDatePause(LONG login, const char* key, LONG channel) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlSpeed, 0);
}
LONG Pelk_InviteModulePeplayByDateContinue(LONG login, const char* key, LONG channel) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlCode, 7);
}
LONG Pelk_InviteReplayPreByDate(LONG login, const char* key, LONG channel) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlCode, 1);
}
LONG Pelk_InviteReplayNextByDate(LONG login, const char* key, LONG channel) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlCode, 2);
}
LONG Pelk_InviteReplaySpeedByDate(LONG login, const char* key, LONG channel, LONG speed) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlSpeed, pelk::ServingSpeed(speed));
}
LONG Pelk_InviteReplaySeekByDate(LONG login, const char* key, LONG channel, LONG second) {
  return ByDateCtrl(login, key, channel, pelk::kCtrlIndex, static_cast<DWORD>(second < 0 ? 0 : second));
}

LONG Pelk_InviteDloadStart(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG kind,
                           const char* path) {
  return C().InviteDloadStart(loginHandle, deviceKey, stream, channel, kind, path);
}

LONG Pelk_InviteDloadStop(LONG loginHandle, const char* deviceKey, LONG, LONG, const char* path) {
  return C().InviteDloadStop(loginHandle, deviceKey, path);
}

// ---- PTZ ------------------------------------------------------------------------------

namespace {
template <class T>
void FillHead(T& record, const char* key, LONG stream, LONG channel) {
  pelk::CopyText(record.szDevKey, key);
  record.dwStream = static_cast<DWORD>(stream);
  record.dwChannel = static_cast<DWORD>(channel);
}
}  // namespace

LONG Pelk_InvitePreset(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel) {
  if (!deviceKey) return -1;
  RelayRequestRecord record;
  FillHead(record, deviceKey, stream, channel);
  return C().SendRecord(loginHandle, pelk::kPtzPresetList, &record, sizeof record);
}

LONG Pelk_SetPtzDirection(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG command,
                          LONG panSpeed, LONG tiltSpeed) {
  if (!deviceKey) return -1;
  RelayPtzDirection record;
  FillHead(record, deviceKey, stream, channel);
  record.dwPanSpeed = static_cast<DWORD>(panSpeed);
  record.dwTiltSpeed = static_cast<DWORD>(tiltSpeed);
  record.dwCommand = static_cast<DWORD>(command);
  return C().SendRecord(loginHandle, pelk::kPtzDirection, &record, sizeof record);
}

LONG Pelk_SetPtzAdvance(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG command) {
  if (!deviceKey) return -1;
  RelayPtzAux record;
  FillHead(record, deviceKey, stream, channel);
  record.dwAuxCommand = static_cast<DWORD>(command);
  return C().SendRecord(loginHandle, pelk::kPtzAux, &record, sizeof record);
}

LONG Pelk_SetPtzPreset(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG operation,
                       const char* text) {
  if (!deviceKey) return -1;
  RelayPtzPreset record;
  FillHead(record, deviceKey, stream, channel);
  pelk::CopyText(record.szPreset, text);
  record.dwAction = static_cast<DWORD>(operation);
  return C().SendRecord(loginHandle, pelk::kPtzPreset, &record, sizeof record);
}

BOOL Pelk_ParseTimeText(const char* text, SYSTEMTIME* time) {
  pelk::CivilTime parsed;
  if (!time || !pelk::ParseTimeText(text, &parsed)) return FALSE;
  *time = SYSTEMTIME{};
  time->wYear = static_cast<WORD>(parsed.year);
  time->wMonth = static_cast<WORD>(parsed.month);
  time->wDay = static_cast<WORD>(parsed.day);
  time->wHour = static_cast<WORD>(parsed.hour);
  time->wMinute = static_cast<WORD>(parsed.minute);
  time->wSecond = static_cast<WORD>(parsed.second);
  return TRUE;
}
