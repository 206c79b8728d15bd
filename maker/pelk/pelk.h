// Pelk: the relay library through which peers exchange device lists, live
// video, recordings, downloads, PTZ commands, device states and alarms.
//
// This is the library's one header: every call, callback, window message and
// record that the program uses. The program meets the library three ways:
//   - calls (below);
//   - window messages WM_USER+8000 to +8064 posted to the window given with
//     Pelk_SetMsgWnd (WM_RELAY_CHECK_USER is sent and answered by the handler's
//     result); a record a message carries belongs to the library and is given
//     back with Pelk_Delete (record, PELK_DELETE_RECORD) on every path, an inner
//     block it points to first with Pelk_Delete (inner, PELK_DELETE_INNER);
//   - callbacks, called on the library's own threads with the context given at
//     registration as their last argument.
//
// Two sides: a "serving" client runs the forwarding server (Pelk_StartTS) and
// answers its peers' requests (Pelk_Rsp*, Pelk_Report*, Pelk_Notify*); a
// "viewing" client logs in to another client's forwarding server (Pelk_Login)
// and asks it (Pelk_Invite*, Pelk_SetPtz*). A request that reaches the serving
// side carries the peer's request word (lParam of its message); the answer
// hands it back unchanged. Answers take a status first: PELK_STATUS_ANSWER, or
// PELK_STATUS_REFUSED with zero / null data (a refused request is answered once).
//
// Records are C++ structs with named fields. Where the wire form of a record
// has fixed byte offsets, the struct keeps them (checked below); a record that
// points to an inner block holds a typed pointer instead of a 32-bit word.
// 64-bit sizes are passed as two 32-bit words, low word first, as the callers
// give them (PelkMake64 and friends join and split them).
//
// The wire protocol between peers is described in maker/pelk/pelk_protocol.txt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win_types.h"

// ---------------------------------------------------------------------------
// Relay device key
// ---------------------------------------------------------------------------
// The key that names a device across the relay: the MAC text of the client that
// serves the device, a colon, and the device's IP address text at that client
// ("00-1A-2B-3C-4D-5E:192.168.1.20"). It stands in the char[40] field at the
// head of every request record; MAC texts never contain ':'.

constexpr size_t PELK_KEY_SIZE = 40;        // the key field of the records
constexpr size_t PELK_KEY_PART_SIZE = 260;  // each half as SplitDeviceKey gives it

// "%s:%s" of the MAC text and the IP text.
std::string FormatDeviceKey(const char* mac, const char* ip);

// Splits `key` at its first colon into `left` (MAC text) and `right` (IP
// text), each a buffer of PELK_KEY_PART_SIZE bytes that is zeroed first; a
// half longer than 259 characters is cut. With no colon, a colon first or a
// null key both stay empty.
void SplitDeviceKey(const char* key, char* left, char* right);

// ---------------------------------------------------------------------------
// Window messages (wParam / lParam as each one says)
// ---------------------------------------------------------------------------
// Viewing side (answers and notices of the servers this client logged in to):
constexpr UINT WM_RELAY_SERVER_CLOSED = WM_USER + 8000;        // - / login handle: the connection ended
constexpr UINT WM_RELAY_DEVICE_LIST = WM_USER + 8006;          // RelayDeviceListRecord* / login handle
constexpr UINT WM_RELAY_DEVICE_STATE = WM_USER + 8008;         // RelayDeviceStateRecord* / state event
constexpr UINT WM_RELAY_ALARM = WM_USER + 8010;                // RelayAlarmKeyRecord* / RelayAlarmRecord*
constexpr UINT WM_RELAY_DEVICE_LIST_CHANGED = WM_USER + 8011;  // - / login handle
constexpr UINT WM_RELAY_CHANNEL_NOTIFY = WM_USER + 8016;       // RelayVideoAnswer* / login handle
constexpr UINT WM_RELAY_REPLAY_SEARCH_RESULT = WM_USER + 8022; // RelayReplaySearchResult* / login handle
constexpr UINT WM_RELAY_REPLAY_START_RESULT = WM_USER + 8025;  // RelayReplayStartResult* / login handle
constexpr UINT WM_RELAY_REPLAY_DATA_NOTIFY = WM_USER + 8029;   // RelayReplayEndRecord* / login handle
constexpr UINT WM_RELAY_DOWNLOAD_FREE = WM_USER + 8032;        // RelayDownloadRecord* / login handle (start answer)
constexpr UINT WM_RELAY_DOWNLOAD_NOTIFY = WM_USER + 8035;      // RelayDownloadRecord* / login handle (complete)
constexpr UINT WM_RELAY_PRESET_LIST_ANSWER = WM_USER + 8045;   // RelayPresetListAnswer* / login handle
constexpr UINT WM_RELAY_REPLAY_SEARCH_BY_DATE_RESULT = WM_USER + 8052;  // RelaySearchByDateResult* / login handle
constexpr UINT WM_RELAY_REPLAY_BY_DATE_NOTIFY = WM_USER + 8064;          // RelayByDateEndRecord* / login handle

// Serving side (a peer's requests; lParam is the peer's request word unless said):
constexpr UINT WM_RELAY_CHECK_USER = WM_USER + 8002;       // const char* user name / const PelkPasswordVerifier*;
                                                            // sent: the handler returns 0 accept, 1 refuse
constexpr UINT WM_RELAY_GET_DEVICE_LIST = WM_USER + 8004;  // - / word
constexpr UINT WM_RELAY_VIDEO_REQUEST = WM_USER + 8014;    // RelayRequestRecord* / word
constexpr UINT WM_RELAY_VIDEO_CLOSE = WM_USER + 8018;      // RelayRequestRecord* / -
constexpr UINT WM_RELAY_REPLAY_SEARCH = WM_USER + 8020;    // ReplaySearchRequest* / word
constexpr UINT WM_RELAY_REPLAY_START = WM_USER + 8024;     // RelayFileRequest* / word
constexpr UINT WM_RELAY_REPLAY_SEEK = WM_USER + 8026;      // RelayReplayControl* / session word (control code)
constexpr UINT WM_RELAY_REPLAY_INDEX = WM_USER + 8027;     // RelayReplayControl* / session word (key-table entry)
constexpr UINT WM_RELAY_REPLAY_SPEED = WM_USER + 8028;     // RelayReplayControl* / session word (speed)
constexpr UINT WM_RELAY_DOWNLOAD_REQUEST = WM_USER + 8030; // RelayFileRequest* / word
constexpr UINT WM_RELAY_DOWNLOAD_STOP = WM_USER + 8034;    // RelayReplayControl* / session word
constexpr UINT WM_RELAY_PTZ_DIRECTION = WM_USER + 8042;    // RelayPtzDirection* / -
constexpr UINT WM_RELAY_PTZ_PRESET_LIST = WM_USER + 8044;  // RelayRequestRecord* / -
constexpr UINT WM_RELAY_PTZ_PRESET = WM_USER + 8046;       // RelayPtzPreset* / -
constexpr UINT WM_RELAY_PTZ_AUX = WM_USER + 8048;          // RelayPtzAux* / -
constexpr UINT WM_RELAY_REPLAY_SEARCH_BY_DATE = WM_USER + 8050;   // SearchByDateRequest* / word
constexpr UINT WM_RELAY_REPLAY_START_BY_DATE = WM_USER + 8054;    // ReplayByDateRequest* / word
constexpr UINT WM_RELAY_REPLAY_SEEK_BY_DATE = WM_USER + 8058;     // RelayByDateControl* / session word (control code)
constexpr UINT WM_RELAY_REPLAY_CONTROL_BY_DATE = WM_USER + 8060;  // RelayByDateControl* / session word (jump, s of day)
constexpr UINT WM_RELAY_REPLAY_SPEED_BY_DATE = WM_USER + 8062;    // RelayByDateControl* / session word (speed)

constexpr UINT WM_RELAY_FIRST = WM_RELAY_SERVER_CLOSED;
constexpr UINT WM_RELAY_LAST = WM_RELAY_REPLAY_BY_DATE_NOTIFY;

// Events of WM_RELAY_DEVICE_STATE (lParam) and states of Pelk_ReportDeviceState.
constexpr LONG PELK_STATE_OFFLINE = 0;
constexpr LONG PELK_STATE_ONLINE = 1;
constexpr LONG PELK_STATE_RECORDING = 2;       // recording started
constexpr LONG PELK_STATE_RECORD_STOPPED = 3;  // recording stopped

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr LONG PELK_STATUS_ANSWER = 0;
constexpr LONG PELK_STATUS_REFUSED = 1;

constexpr int PELK_DELETE_RECORD = 1;  // a message record
constexpr int PELK_DELETE_INNER = 2;   // an inner block of a record (device list, result text, day map)

constexpr LONG PELK_MEDIA_VIDEO = 0;
constexpr LONG PELK_MEDIA_AUDIO = 1;

// The stream's parameter blocks, handed on unchanged: each begins with its
// codec name text (char[256]); an empty name means the stream has no such media.
constexpr size_t PELK_VIDEO_PARAM_SIZE = 536;
constexpr size_t PELK_AUDIO_PARAM_SIZE = 276;

constexpr size_t PELK_PATH_SIZE = 260;
constexpr size_t PELK_DAY_MAP_SIZE = 1440;  // one letter per minute of a day

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// Handed with every media chunk of a served session (24 bytes).
struct RelayFrameInfo {
  DWORD dwKeyFlag = 0;  // 1 key frame (or audio chunk of a replay), 0 other frame
  DWORD dwReserved = 0;
  double dTime = 0;     // milliseconds
  DWORD dwSequence = 0;
  DWORD dwReserved2 = 0;
};

// One device of a relay device list (360 bytes on the wire): the list a client
// serves of its own devices and of the relay servers it is logged in to, and
// the list it receives from a relay server.
struct RelayDeviceEntry {
  int nType = 0;            // 0 video server, 1 IP camera, 4 NVR channel, 3 relay node
  char IPAddr[33] = {};     // the device's address at its own client
  char DevName[256] = {};
  char DevSN[33] = {};      // empty for relay nodes
  char MACAddr[18] = {};    // MAC text of the client that serves the device
  int nParentId = 0;        // id of the entry under which this one is listed, 0 top level
  int nId = 0;              // own id
  int nState = 0;           // 0 offline, 1 online, 3 online and recording (kept copies: also 2, 4)
  int nStream = 0;          // 0 when the default resolution is "cif", else 1: the stream to ask for
};

// WM_RELAY_DEVICE_LIST: the list (inner block, count entries) of a server.
struct RelayDeviceListRecord {
  RelayDeviceEntry* pList = nullptr;
  DWORD dwCount = 0;
};

// The common head of a request: key, stream word (0 sub stream, other main),
// channel word. WM_RELAY_VIDEO_REQUEST, WM_RELAY_VIDEO_CLOSE (both with the
// third word) and WM_RELAY_PTZ_PRESET_LIST.
struct RelayRequestRecord {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStream = 0;
  DWORD dwChannel = 0;
  DWORD dwWord3 = 0;  // handed back only
};

// WM_RELAY_REPLAY_START and WM_RELAY_DOWNLOAD_REQUEST (316 bytes).
struct RelayFileRequest {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStream = 0;
  DWORD dwChannel = 0;
  char szPath[PELK_PATH_SIZE] = {};  // a local record file as the peer's search listed it
  DWORD dwKind = 0;                  // as the requester gave it (1)
  DWORD dwHandle = 0;                // relay handle word: first argument of the session's answers
};

// WM_RELAY_REPLAY_START_BY_DATE (68 bytes).
struct ReplayByDateRequest {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwUnused = 0;
  DWORD dwChannel = 0;
  DWORD dwHandle = 0;       // relay handle word
  DWORD dwYear = 0;         // low 16 bits used
  DWORD dwMonth = 0;        // low 16 bits used
  DWORD dwDay = 0;          // low 8 bits used
  DWORD dwStartSecond = 0;  // seconds since midnight
};

// WM_RELAY_REPLAY_SEARCH_BY_DATE (64 bytes).
struct SearchByDateRequest {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStream = 0;
  DWORD dwChannel = 0;
  DWORD dwHandle = 0;  // relay handle word, handed back
  DWORD dwYear = 0;
  DWORD dwMonth = 0;
  DWORD dwDay = 0;
};

// WM_RELAY_REPLAY_SEARCH (144 bytes). Times are texts of the one form
// "YYYY-MM-DD HH:MM:SS" (local time, no locale).
struct ReplaySearchRequest {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStreamSel = 0;  // 2 any stream, 1 main, other sub
  DWORD dwChannel = 0;
  DWORD dwMediaSel = 0;   // 3 video only, 1 audio and video, other pictures
  DWORD dwRecKind = 0;    // 1 all, 2 schedule, 3 IO, 4 motion
  DWORD dwTarget = 0;     // 1 local record files, other the device's own recordings
  DWORD dwPage = 0;
  int64_t llMinSize = -1;  // bytes; -1 (or -2) no limit
  int64_t llMaxSize = -1;
  char szStart[30] = {};
  char szEnd[30] = {};
  DWORD dwSearchId = 0;   // handed back as the second argument of Pelk_RspReplaySearch
};

// WM_RELAY_REPLAY_SEEK, _INDEX, _SPEED and WM_RELAY_DOWNLOAD_STOP (312 bytes).
struct RelayReplayControl {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStream = 0;
  DWORD dwChannel = 0;
  DWORD dwValue = 0;
  char szPath[PELK_PATH_SIZE] = {};
};

// WM_RELAY_REPLAY_SEEK_BY_DATE, _CONTROL_BY_DATE, _SPEED_BY_DATE (52 bytes).
struct RelayByDateControl {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwUnused = 0;
  DWORD dwChannel = 0;
  DWORD dwValue = 0;
};

// WM_RELAY_PTZ_DIRECTION (60 bytes).
struct RelayPtzDirection {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStream = 0;
  DWORD dwChannel = 0;
  DWORD dwPanSpeed = 0;
  DWORD dwTiltSpeed = 0;
  DWORD dwCommand = 0;
};

// WM_RELAY_PTZ_PRESET (312 bytes).
struct RelayPtzPreset {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStream = 0;
  DWORD dwChannel = 0;
  char szPreset[PELK_PATH_SIZE] = {};
  DWORD dwAction = 0;  // 1 set, 2 clear, 3 call
};

// WM_RELAY_PTZ_AUX (52 bytes).
struct RelayPtzAux {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStream = 0;
  DWORD dwChannel = 0;
  DWORD dwAuxCommand = 0;  // 1 to 37
};

// WM_RELAY_CHANNEL_NOTIFY: the answer to Pelk_InviteDeviceVideo (860 bytes).
// The two session ids are the stream word and channel that the frames carry
// (and Pelk_SetRealDataCallback registers). Refused: both blocks empty.
struct RelayVideoAnswer {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwMainId = 0;
  DWORD dwSubId = 0;
  BYTE AudioParam[PELK_AUDIO_PARAM_SIZE] = {};
  BYTE VideoParam[PELK_VIDEO_PARAM_SIZE] = {};
};

// WM_RELAY_DEVICE_STATE (48 bytes); the event is lParam.
struct RelayDeviceStateRecord {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwReserved = 0;
  DWORD dwChannel = 0;
};

// WM_RELAY_ALARM: the device (wParam) and the alarm (lParam); both given back.
struct RelayAlarmKeyRecord {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwReserved = 0;
  DWORD dwChannel = 0;
};
// Nine signed words: year, month, day, spare, hour, minute, second, type, sub-flag.
struct RelayAlarmRecord {
  LONG nYear = 0;
  LONG nMonth = 0;
  LONG nDay = 0;
  LONG nSpare = 0;
  LONG nHour = 0;
  LONG nMinute = 0;
  LONG nSecond = 0;
  LONG nType = 0;
  LONG nSubFlag = 0;
};

// WM_RELAY_PRESET_LIST_ANSWER: the device's preset list text for a preset-list
// request (Pelk_InvitePreset). The text is cut to the field and always ends
// with its zero byte.
constexpr size_t PELK_PRESET_TEXT_SIZE = 8192;
struct RelayPresetListAnswer {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwReserved = 0;
  DWORD dwChannel = 0;
  char szText[PELK_PRESET_TEXT_SIZE] = {};
};

// A replay's identity at the viewing side: the key and the two session words
// the serving side gave it (48 bytes; the head of the replay records below).
struct RelayReplaySession {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwSession1 = 0;
  DWORD dwSession2 = 0;
};

// WM_RELAY_REPLAY_START_RESULT (1128 bytes).
struct RelayReplayStartResult {
  RelayReplaySession session;
  BYTE AudioParam[PELK_AUDIO_PARAM_SIZE] = {};
  BYTE VideoParam[PELK_VIDEO_PARAM_SIZE] = {};
  DWORD dwStatus = 0;   // 0 answer, 1 refused
  DWORD dwSeconds = 0;  // the file's length
  char szPath[PELK_PATH_SIZE] = {};
};

// WM_RELAY_REPLAY_DATA_NOTIFY: a served replay file ended.
struct RelayReplayEndRecord {
  RelayReplaySession session;
  char szPath[PELK_PATH_SIZE] = {};
};

// WM_RELAY_REPLAY_BY_DATE_NOTIFY: a served day replay ended (48 bytes).
struct RelayByDateEndRecord {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwReserved = 0;
  DWORD dwChannel = 0;
};

// WM_RELAY_REPLAY_SEARCH_RESULT: the answer to Pelk_InviteReplaySearch. The
// text (inner block, may be null) holds entries "path?size|".
struct RelayReplaySearchResult {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwSearchId = 0;
  DWORD dwCount = 0;    // entries in this answer
  DWORD dwTotal = 0;    // records of the whole search
  char* pText = nullptr;
  DWORD dwStatus = 0;   // 0 answer
};

// WM_RELAY_REPLAY_SEARCH_BY_DATE_RESULT: the day map (inner block of
// PELK_DAY_MAP_SIZE letters and a zero byte; may be null) of one day.
struct RelaySearchByDateResult {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwChannel = 0;
  DWORD dwYear = 0;
  DWORD dwMonth = 0;
  DWORD dwDay = 0;
  char* pDayMap = nullptr;
};

// WM_RELAY_DOWNLOAD_FREE (the serving side's start answer) and
// WM_RELAY_DOWNLOAD_NOTIFY (the transfer is complete).
struct RelayDownloadRecord {
  char szDevKey[PELK_KEY_SIZE] = {};
  DWORD dwStream = 0;
  DWORD dwChannel = 0;
  char szPath[PELK_PATH_SIZE] = {};
  DWORD dwStatus = 0;
  DWORD dwSizeLow = 0;
  DWORD dwSizeHigh = 0;
};

// WM_RELAY_CHECK_USER's lParam: what the peer proved about its password. The
// password itself never crosses the wire; Pelk_CheckPassword tests it.
struct PelkPasswordVerifier;

// ---------------------------------------------------------------------------
// Callbacks (library threads; the registered context comes last)
// ---------------------------------------------------------------------------

// The login handle of the relay server that serves the device of `deviceKey`,
// 0 for none (the device is this client's own or unknown). The two words are 0.
typedef LONG (*PelkGetUserIdCallback)(const char* deviceKey, LONG word1, LONG word2, void* context);

// A chunk of a replayed file: login handle, key, the two session words, media
// kind, data, length, frame information, the file name. Returns the receiver's result.
typedef LONG (*PelkRealReplayCallback)(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                                       LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info,
                                       const char* fileName, void* context);

// A chunk of a replayed day: login handle, key, an unused word, channel, media
// kind, data, length, frame information, the parameter blocks (null but on the
// first chunk of each file), the blocks-attached flag, the file's length in
// seconds and its start in seconds of the day. 1 taken, 0 dropped.
typedef LONG (*PelkReplayByDateCallback)(LONG loginHandle, const char* deviceKey, DWORD unused, DWORD channel,
                                         LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info,
                                         const BYTE* videoParam, const BYTE* audioParam, LONG attached,
                                         LONG seconds, DWORD startSecond, void* context);

// A piece of a downloaded file: login handle, key, stream word, channel, kind
// (1), data, length, bytes received so far and the file size (each low word,
// high word), the file name.
typedef LONG (*PelkDownloadRealDataCallback)(LONG loginHandle, const char* deviceKey, DWORD stream,
                                             DWORD channel, LONG kind, const BYTE* data, LONG length,
                                             DWORD receivedLow, DWORD receivedHigh, DWORD totalLow,
                                             DWORD totalHigh, const char* fileName, void* context);

// A frame of a relayed live video: login handle, the two session ids (stream
// word, channel), media kind, data, length, frame information. Returns 1.
typedef LONG (*PelkRealDataCallback)(LONG loginHandle, DWORD mainId, DWORD subId, LONG kind, const BYTE* data,
                                     LONG length, const RelayFrameInfo* info, void* context);

// ---------------------------------------------------------------------------
// The library
// ---------------------------------------------------------------------------

// Once before the main window exists; 0 on success.
int Pelk_Init();
// Once after the main window has returned: logs out, stops the server, ends
// every thread of the library and frees every record not given back.
void Pelk_Release();

// The window that receives the library's messages (null: none).
void Pelk_SetMsgWnd(HWND hwnd);
void Pelk_SetGetUserIdCallback(PelkGetUserIdCallback callback, void* context);
void Pelk_SetRealReplayCallback(PelkRealReplayCallback callback, void* context);
void Pelk_SetReplayByDateCallback(PelkReplayByDateCallback callback, void* context);
void Pelk_SetDownloadRealDataCallback(PelkDownloadRealDataCallback callback, void* context);

// Gives back a record (PELK_DELETE_RECORD) or an inner block (PELK_DELETE_INNER)
// that came with a message. Anything else (null, given back twice, never the
// library's) is ignored.
void Pelk_Delete(void* record, int kind);

// --- forwarding server (serving side) ---

// Serves on the local address and port, with at most `videoCount` forwarded
// live videos and `userCount` logged-in peers. 1 = running.
LONG Pelk_StartTS(const char* ipAddr, LONG port, LONG videoCount, LONG userCount);
// Stops serving: every peer is disconnected. 0 done.
LONG Pelk_StopTS();
// Changes the two limits of the running server; the low byte of the result is
// non-zero when they changed.
LONG Pelk_ModifyChannelCount(LONG videoCount, LONG userCount);

// WM_RELAY_CHECK_USER: TRUE when the peer proved that it knows `password` (the
// text is compared without regard to letter case).
BOOL Pelk_CheckPassword(const PelkPasswordVerifier* verifier, const char* password);

// --- answers to a peer's requests (serving side) ---

// WM_RELAY_GET_DEVICE_LIST: `count` entries (the library copies them).
LONG Pelk_RspDeviceList(LONG status, DWORD word, const RelayDeviceEntry* list, LONG count);

// WM_RELAY_VIDEO_REQUEST: answers with the parameter blocks (a null block:
// no such media). -> the relay video handle of the served video, 0 none.
DWORD Pelk_RspDeviceVideo(LONG status, const char* deviceKey, DWORD stream, DWORD channel, DWORD word3,
                          DWORD word, const BYTE* videoParam, const BYTE* audioParam);
// One frame of the served video (never blocks: a slow peer loses frames up to
// its next key frame). 0 sent, -1 not.
LONG Pelk_ReportAVData(DWORD videoHandle, const char* deviceKey, DWORD stream, DWORD channel, LONG kind,
                       const BYTE* data, LONG length, const RelayFrameInfo* info);
// Ends the served video. 0 done.
LONG Pelk_CloseDeviceVideo(DWORD videoHandle);

// WM_RELAY_REPLAY_SEARCH: status, search id, word, the request, media selector
// and search target (the request's words at 48 and 56), item count, the
// entries text "path?size|..." (copied during the call).
LONG Pelk_RspReplaySearch(LONG status, DWORD searchId, DWORD word, const ReplaySearchRequest* request,
                          DWORD mediaSel, DWORD target, LONG count, const char* text);

// WM_RELAY_REPLAY_START: status, relay handle word, session word, key, stream,
// channel, the file's parameter blocks (audio null for a one-stream file), the
// file path and its length in seconds.
LONG Pelk_RspReplayStart(LONG status, DWORD handle, DWORD word, const char* deviceKey, DWORD stream, DWORD channel,
                         const BYTE* videoParam, const BYTE* audioParam, const char* path, LONG seconds);
// One chunk of the replayed file. Blocks briefly while the peer is slow.
LONG Pelk_ReportReplayData(DWORD handle, DWORD word, const char* deviceKey, DWORD stream, DWORD channel,
                           LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info, const char* path);
// The replayed file ended (end of data or stopped by this side).
LONG Pelk_NotifyReplayStop(DWORD handle, DWORD word, const char* deviceKey, DWORD stream, DWORD channel,
                           const char* path);

// WM_RELAY_REPLAY_START_BY_DATE: one chunk of the day; the blocks and the
// first-chunk flag on the first chunk of every file, else null, null, 0; the
// file's length in seconds and its start in seconds of the day.
LONG Pelk_ReportReplayDataByDate(DWORD handle, DWORD word, const char* deviceKey, DWORD channel, LONG kind,
                                 const BYTE* data, LONG length, const RelayFrameInfo* info,
                                 const BYTE* videoParam, const BYTE* audioParam, LONG first, LONG seconds,
                                 DWORD startSecond);
LONG Pelk_NotifyReplayStopByDate(DWORD handle, DWORD word, const char* deviceKey, DWORD channel);

// WM_RELAY_REPLAY_SEARCH_BY_DATE: the day map of PELK_DAY_MAP_SIZE letters for
// the date (00:00:00 of the day).
LONG Pelk_RspReplaySearchByDate(LONG status, DWORD handle, DWORD word, const SearchByDateRequest* request,
                                DWORD channel, const char* dayMap, DATE date);

// WM_RELAY_DOWNLOAD_REQUEST: status, relay handle word, session word, key,
// stream, channel, kind (1), file size (low, high), path.
LONG Pelk_RspDloadStart(LONG status, DWORD handle, DWORD word, const char* deviceKey, DWORD stream,
                        DWORD channel, LONG kind, DWORD sizeLow, DWORD sizeHigh, const char* path);
// One piece of the file at its offset. Blocks briefly while the peer is slow;
// a piece that cannot be queued ends the download (the peer never sees it
// complete). 0 sent, -1 not.
LONG Pelk_ReportDloadData(DWORD handle, DWORD word, const char* deviceKey, DWORD stream, DWORD channel,
                          LONG kind, const BYTE* data, LONG length, DWORD offsetLow, DWORD offsetHigh,
                          DWORD sizeLow, DWORD sizeHigh, const char* path);
// The whole file was sent.
LONG Pelk_NotifyDloadStop(DWORD handle, DWORD word, const char* deviceKey, DWORD stream, DWORD channel,
                          const char* path);

// WM_RELAY_PTZ_PRESET_LIST: the device's preset list text, to the peers that asked.
LONG Pelk_RspInvitePreset(const char* deviceKey, DWORD stream, DWORD channel, const char* text);

// --- reports to every logged-in peer (serving side) ---

// A device's state: PELK_STATE_OFFLINE, _ONLINE, _RECORDING, _RECORD_STOPPED.
LONG Pelk_ReportDeviceState(const char* deviceKey, LONG channel, LONG state);
// The list of local devices changed: peers ask for it again.
LONG Pelk_NotifyUpdateDeviceList();
// An accepted local alarm.
LONG Pelk_ReportAlarmInfo(const char* deviceKey, LONG channel, const RelayAlarmRecord* alarm);

// --- viewing side ---

// Logs in to another client's forwarding server (dotted IPv4 text). Neither
// the password nor its digest crosses the wire. -> login handle, 0 failed.
LONG Pelk_Login(const char* ipAddr, LONG port, const char* userName, const char* password);
// Ends the login: its sessions end, its callbacks are not called again. 0 done.
LONG Pelk_LoginOut(LONG loginHandle);
// Non-zero when the server is reached on the inner network: its address lies
// in the subnet of the local interface address the connection goes out from
// (that interface's netmask), or it is a private address (10/8, 172.16/12,
// 192.168/16), loopback (127/8) or link-local (169.254/16). 0 for a login
// that is not open. The rule: pelk_inner.h.
LONG Pelk_IsInnerIp(LONG loginHandle);

// Asks for the server's device list (WM_RELAY_DEVICE_LIST). 1 = sent.
LONG Pelk_InviteDeviceList(LONG loginHandle);

// Asks for a device's live video (WM_RELAY_CHANNEL_NOTIFY, then frames to the
// real-data callback registered for the key and the two session ids). 0 sent.
LONG Pelk_InviteDeviceVideo(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel);
// Ends the video of the key, stream and channel at the server and unregisters
// its real-data callback: when this returns the callback is not called again
// for it. 0 done.
LONG Pelk_InviteCloseDeviceVideo(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel);
// Registers (callback not null) or unregisters (null) the real-data callback
// for the frames of a key and two session ids. Unregistering waits for a call
// in progress on another thread: when it returns the old callback is not
// called again. 0 done.
LONG Pelk_SetRealDataCallback(PelkRealDataCallback callback, const char* deviceKey, LONG mainId, LONG subId,
                              void* context);

// Record search by file: login, key, stream code (2 all, 1 main, 0 sub),
// channel, media code (3 video, 1 audio and video), record type code (1 all,
// 2 schedule, 3 IO, 4 motion), source code (1 local records), page, start,
// end, minimum and maximum size (low, high words; -2 no limit).
// -> the search id of the answer (WM_RELAY_REPLAY_SEARCH_RESULT), 0 not sent.
LONG Pelk_InviteReplaySearch(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG media,
                             LONG recordType, LONG source, LONG page, const DATE* start, const SYSTEMTIME* end,
                             DWORD minSizeLow, DWORD minSizeHigh, DWORD maxSizeLow, DWORD maxSizeHigh);
// Day map of one day (WM_RELAY_REPLAY_SEARCH_BY_DATE_RESULT). 0 sent.
LONG Pelk_InviteReplaySearchByDate(LONG loginHandle, const char* deviceKey, LONG channel, const SYSTEMTIME* day);

// Replay of a file: WM_RELAY_REPLAY_START_RESULT, then chunks to the
// RealReplay callback, then WM_RELAY_REPLAY_DATA_NOTIFY. 0 sent.
LONG Pelk_InviteReplayStart(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG kind,
                            const char* path);
// Steering a file replay by its two session words and name.
LONG Pelk_InvitePeplayContinue(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                               const char* path);
LONG Pelk_InviteReplayPause(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                            const char* path);
LONG Pelk_InviteReplayStop(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                           const char* path);
// Pauses after the next frame (step), and continues.
LONG Pelk_InviteModuleReplayPause(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                                  const char* path);
LONG Pelk_InviteModulePeplayContinue(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                                     const char* path);
// Back and forward 20 seconds.
LONG Pelk_InviteReplayPre(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                          const char* path);
LONG Pelk_InviteReplayNext(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                           const char* path);
// Speed code: 0 normal, 2 to 6 slow by 2, 4, 8, 16, 32, 7 to 11 fast by 2 to 32, other normal.
LONG Pelk_InviteReplaySpeed(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                            LONG speed, const char* path);
// Position in seconds from the start of the file.
LONG Pelk_InviteReplaySeek(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2,
                           LONG second, const char* path);

// Replay of a day from a second of the day: chunks to the ReplayByDate
// callback, WM_RELAY_REPLAY_BY_DATE_NOTIFY at the end. `date` is the day at
// 00:00:00. 0 sent.
LONG Pelk_InviteReplayStartByDate(LONG loginHandle, const char* deviceKey, LONG channel, DATE date,
                                  LONG startSecond);
// Steering a day replay by its key and channel.
LONG Pelk_InvitePeplayContinueByDate(LONG loginHandle, const char* deviceKey, LONG channel);
LONG Pelk_InviteReplayPauseByDate(LONG loginHandle, const char* deviceKey, LONG channel);
LONG Pelk_InviteReplayStopByDate(LONG loginHandle, const char* deviceKey, LONG channel);
LONG Pelk_InviteModuleReplayByDatePause(LONG loginHandle, const char* deviceKey, LONG channel);
LONG Pelk_InviteModulePeplayByDateContinue(LONG loginHandle, const char* deviceKey, LONG channel);
LONG Pelk_InviteReplayPreByDate(LONG loginHandle, const char* deviceKey, LONG channel);
LONG Pelk_InviteReplayNextByDate(LONG loginHandle, const char* deviceKey, LONG channel);
LONG Pelk_InviteReplaySpeedByDate(LONG loginHandle, const char* deviceKey, LONG channel, LONG speed);
// Jump to a second of the day.
LONG Pelk_InviteReplaySeekByDate(LONG loginHandle, const char* deviceKey, LONG channel, LONG second);

// Download of a file: pieces to the DownloadRealData callback,
// WM_RELAY_DOWNLOAD_NOTIFY when complete. Non-zero = the request was sent.
LONG Pelk_InviteDloadStart(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG kind,
                           const char* path);
LONG Pelk_InviteDloadStop(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, const char* path);

// PTZ of a relay device. Direction: command code and the two speeds; advance:
// the aux command; preset: operation 1 set, 2 delete, 3 call with its text;
// preset list: WM_RELAY_PRESET_LIST_ANSWER. 0 sent.
LONG Pelk_InvitePreset(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel);
LONG Pelk_SetPtzDirection(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG command,
                          LONG panSpeed, LONG tiltSpeed);
LONG Pelk_SetPtzAdvance(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG command);
LONG Pelk_SetPtzPreset(LONG loginHandle, const char* deviceKey, LONG stream, LONG channel, LONG operation,
                       const char* text);

// The date-and-time texts of ReplaySearchRequest, in their one locale-free
// form "YYYY-MM-DD HH:MM:SS": TRUE with the fields filled (wDayOfWeek and
// wMilliseconds 0) when `text` is that form with a month 1-12, a day 1-31 and
// a time of day; FALSE for anything else.
BOOL Pelk_ParseTimeText(const char* text, SYSTEMTIME* time);

// ---------------------------------------------------------------------------
// 64-bit values as two words
// ---------------------------------------------------------------------------
constexpr uint64_t PelkMake64(DWORD low, DWORD high) { return (static_cast<uint64_t>(high) << 32) | low; }
constexpr DWORD PelkLow(uint64_t value) { return static_cast<DWORD>(value & 0xFFFFFFFFu); }
constexpr DWORD PelkHigh(uint64_t value) { return static_cast<DWORD>(value >> 32); }

// ---------------------------------------------------------------------------
// Wire layouts kept by the records
// ---------------------------------------------------------------------------
static_assert(sizeof(RelayFrameInfo) == 24 && offsetof(RelayFrameInfo, dTime) == 8 &&
              offsetof(RelayFrameInfo, dwSequence) == 16);
static_assert(sizeof(RelayDeviceEntry) == 360 && offsetof(RelayDeviceEntry, IPAddr) == 4 &&
              offsetof(RelayDeviceEntry, DevName) == 37 && offsetof(RelayDeviceEntry, DevSN) == 293 &&
              offsetof(RelayDeviceEntry, MACAddr) == 326 && offsetof(RelayDeviceEntry, nParentId) == 344 &&
              offsetof(RelayDeviceEntry, nId) == 348 && offsetof(RelayDeviceEntry, nState) == 352 &&
              offsetof(RelayDeviceEntry, nStream) == 356);
static_assert(offsetof(RelayRequestRecord, dwStream) == 40 && offsetof(RelayRequestRecord, dwChannel) == 44 &&
              offsetof(RelayRequestRecord, dwWord3) == 48);
static_assert(sizeof(RelayFileRequest) == 316 && offsetof(RelayFileRequest, szPath) == 48 &&
              offsetof(RelayFileRequest, dwKind) == 308 && offsetof(RelayFileRequest, dwHandle) == 312);
static_assert(sizeof(ReplayByDateRequest) == 68 && offsetof(ReplayByDateRequest, dwHandle) == 48 &&
              offsetof(ReplayByDateRequest, dwStartSecond) == 64);
static_assert(sizeof(SearchByDateRequest) == 64 && offsetof(SearchByDateRequest, dwYear) == 52);
static_assert(sizeof(ReplaySearchRequest) == 144 && offsetof(ReplaySearchRequest, llMinSize) == 64 &&
              offsetof(ReplaySearchRequest, llMaxSize) == 72 && offsetof(ReplaySearchRequest, szStart) == 80 &&
              offsetof(ReplaySearchRequest, szEnd) == 110 && offsetof(ReplaySearchRequest, dwSearchId) == 140);
static_assert(sizeof(RelayReplayControl) == 312 && offsetof(RelayReplayControl, dwValue) == 48 &&
              offsetof(RelayReplayControl, szPath) == 52);
static_assert(sizeof(RelayByDateControl) == 52 && offsetof(RelayByDateControl, dwValue) == 48);
static_assert(sizeof(RelayPtzDirection) == 60 && offsetof(RelayPtzDirection, dwCommand) == 56);
static_assert(sizeof(RelayPtzPreset) == 312 && offsetof(RelayPtzPreset, dwAction) == 308);
static_assert(sizeof(RelayPtzAux) == 52 && offsetof(RelayPtzAux, dwAuxCommand) == 48);
static_assert(sizeof(RelayVideoAnswer) == 860 && offsetof(RelayVideoAnswer, AudioParam) == 48 &&
              offsetof(RelayVideoAnswer, VideoParam) == 324);
static_assert(sizeof(RelayReplaySession) == 48);
static_assert(sizeof(RelayReplayStartResult) == 1128 && offsetof(RelayReplayStartResult, AudioParam) == 48 &&
              offsetof(RelayReplayStartResult, VideoParam) == 324 &&
              offsetof(RelayReplayStartResult, dwStatus) == 860 &&
              offsetof(RelayReplayStartResult, dwSeconds) == 864 && offsetof(RelayReplayStartResult, szPath) == 868);
static_assert(sizeof(RelayDeviceStateRecord) == 48 && sizeof(RelayByDateEndRecord) == 48);
static_assert(sizeof(RelayAlarmRecord) == 36);
