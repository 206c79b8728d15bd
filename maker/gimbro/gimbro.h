// Gimbro: the device-messaging control.
//
// One control serves the whole program. Every device is registered with it
// (AddDevice / AddDeviceByHost) and gets a number, its GimbroId (> 0), that
// every later call and every event carries. The control keeps one TCP
// connection per registered device in the background: it connects, logs in
// with the device's login name and password, reconnects with a bounded
// back-off when the link drops, and turns what the device sends into events.
// The wire protocol is described in maker/gimbro/gimbro_wire.h.
//
// Devices that speak ONVIF: a device that accepts the connection but does not
// greet in the control's own protocol is spoken to in ONVIF at the same
// address and port (device service "/onvif/device_service", SOAP 1.2 over
// HTTP, WS-UsernameToken digests dated by the device's own clock; each
// device's requests on connections of its own). The callers see no
// difference: login, refusal and loss raise the same statuses (4, 5, 2, 3; a
// device that answers every request with a fault is lost); PTZ texts become continuous moves, stops, focus moves and
// preset requests, the preset list answer comes as a PTZ response
// ("PresetList^1^5^"); messages 1002, 1005, 1007 and 1012 become the device
// service's factory default (soft), clock setting, reboot and device
// information; key-frame requests become synchronisation points; the clock
// sync sets the device's clock; motion and digital-input events that begin
// become alarm records of type 14 and 15 (onvif/event_alarms.h). What has no ONVIF counterpart is answered at
// once as refused (talk and broadcast: status 7; messages: a response with
// flag 1; file uploads and downloads: status 15 and 17). The devices' stream addresses are handed to the pull control
// (gimbro_streams.h, which states the rule).
//
// Threads: create, call and destroy the control on the UI thread (the thread
// of the QApplication). The methods never wait for the network: they check
// their arguments, queue the request for the network thread and return.
// Events are delivered on the thread that created the control, through its Qt
// event loop, to every advised sink; a sink that has been unadvised (or a
// control that has been released) is never called again, even for events
// already queued. Texts are the program's 8-bit ANSI (GBK) texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win_types.h"

class GimbroEventHub;

// Results of the methods (32-bit integers).
enum : LONG {
  GIMBRO_OK = 0,                  // done, or handed to the device's connection
  GIMBRO_ERR_UNKNOWN_DEVICE = -1, // no device with this GimbroId
  GIMBRO_ERR_OFFLINE = -2,        // the device is not logged in; nothing was sent
  GIMBRO_ERR_ARGUMENT = -3,       // an argument is out of range (empty address, bad port, ...)
  GIMBRO_ERR_RELEASED = -4,       // Release() was called
  GIMBRO_ERR_NO_BROADCAST = -5,   // AddBroadcastDevice without StartBroadcast
};

// Codes of the status event (event 1). The control raises 2 to 5 itself for
// the state of a device's connection; the device raises the others.
//  2  connection lost: a logged-in device closed the link, stopped answering,
//     or sent something that is not this protocol (the text says which)
//  3  device unreachable: the connection could not be made (refused, timed
//     out, unknown host)
//  4  login succeeded: the device is online
//  5  login refused: wrong login name or password
//  6  talk or broadcast started (answer to Talk(id, 1) / AddBroadcastDevice)
//  7  talk or broadcast refused (also raised by the control when the request
//     could not be sent because the device is offline)
//  15 / 17  file upload / download failed (the control's own 17 names the
//     download: its text is the transfer number, GetDownloadTransfer, in
//     decimal)
//  26 channel list changed (text: the channel count)
//  27 state report (text: one digit per channel)
// Offline codes (2, 3) are raised once when a device goes offline and not
// again for the failed reconnection attempts that follow; 5 is raised again
// only after a different status. Status texts from a device that claim codes
// 2 to 5 are ignored: only the control reports connection state.
enum : LONG {
  GIMBRO_STATUS_CONNECTION_LOST = 2,
  GIMBRO_STATUS_UNREACHABLE = 3,
  GIMBRO_STATUS_LOGIN_OK = 4,
  GIMBRO_STATUS_LOGIN_REFUSED = 5,
  GIMBRO_STATUS_TALK_STARTED = 6,
  GIMBRO_STATUS_TALK_REFUSED = 7,
  GIMBRO_STATUS_UPLOAD_FAILED = 15,
  GIMBRO_STATUS_DOWNLOAD_FAILED = 17,
  GIMBRO_STATUS_CHANNELS_CHANGED = 26,
  GIMBRO_STATUS_STATE_REPORT = 27,
};

// Media kinds of the media data and media parameter events.
enum : LONG {
  GIMBRO_MEDIA_TALK = 3,        // a device's talk audio
  GIMBRO_MEDIA_NVR_REPLAY = 4,  // an NVR's replay by time of day
};

// Size of the frame header handed with every media data event.
constexpr LONG GIMBRO_FRAME_HEADER_SIZE = 16;

// A PTZ or auxiliary response word: the result flag in the top 8 bits
// (0 = success) and the command code in the low 24 bits.
constexpr LONG GimbroPackResponse(LONG flag, LONG code) {
  return static_cast<LONG>((static_cast<uint32_t>(flag) << 24) | (static_cast<uint32_t>(code) & 0xFFFFFFu));
}
constexpr LONG GimbroResponseCode(LONG word) { return word & 0xFFFFFF; }
// Arithmetic shift: a negative flag stays negative.
constexpr LONG GimbroResponseFlag(LONG word) { return word >> 24; }

// The alarm record of the alarm event: nine signed 32-bit words, then bytes
// that the program passes on without reading. 168 bytes in all.
struct GimbroAlarmRecord {
  int32_t year = 0;     // four-digit year
  int32_t month = 0;    // 1..12
  int32_t day = 0;      // 1..31
  int32_t spare = 0;    // not read by the alarm code
  int32_t hour = 0;     // 0..23
  int32_t minute = 0;   // 0..59
  int32_t second = 0;   // 0..59
  int32_t type = 0;     // alarm type code
  int32_t subFlag = 0;  // type 25 only: non-zero = IP address conflict raised
  BYTE reserved[132] = {};
};
static_assert(sizeof(GimbroAlarmRecord) == 168, "the alarm record is 168 bytes");

// The event interface of the control (events 1 to 7, in this order). The
// first value is always the GimbroId. Texts and buffers are valid only during
// the call; a receiver that keeps them copies them. Every handler returns 0.
class CGimbroEventSink {
 public:
  virtual ~CGimbroEventSink() = default;
  // 1: status code (see above) and text.
  virtual LONG DevStatusResponse(LONG gimbroId, LONG code, const char* text) = 0;
  // 2: answer to a PTZ command: packed response word, text.
  virtual LONG PTZResponse(LONG gimbroId, LONG response, const char* text) = 0;
  // 3: answer to an auxiliary message: packed response word, text.
  virtual LONG AUXResponse(LONG gimbroId, LONG response, const char* text) = 0;
  // 4: a device alarm.
  virtual LONG AlarmRecv(LONG gimbroId, const GimbroAlarmRecord* alarm) = 0;
  // 5: media data: the data and its length, the 16-byte frame header, the kind.
  virtual LONG MediaDataRecv(LONG gimbroId, const BYTE* data, LONG length, const BYTE* header,
                             LONG kind) = 0;
  // 6: media parameters (text) of a talk (kind 3) or replay (4, other kinds).
  virtual LONG MediaParamRecv(LONG gimbroId, const char* text, LONG kind) = 0;
  // 7: replay state: state and value.
  virtual LONG ReplayStatus(LONG gimbroId, LONG state, LONG value) = 0;
};

class CGimbroCtrl {
 public:
  CGimbroCtrl();
  ~CGimbroCtrl();  // releases the control when Release() was not called
  CGimbroCtrl(const CGimbroCtrl&) = delete;
  CGimbroCtrl& operator=(const CGimbroCtrl&) = delete;

  // Connects and disconnects an event sink. The sink is not owned.
  void Advise(CGimbroEventSink* sink);
  void Unadvise(CGimbroEventSink* sink);

  // Registers a device (address text, port 1..65535, login name, password) and
  // starts connecting to it in the background. Returns its GimbroId (> 0), or
  // GIMBRO_ERR_ARGUMENT / GIMBRO_ERR_RELEASED. The host-name form takes a host
  // name (or address) and a 16-bit port.
  LONG AddDevice(LPCSTR address, LONG port, LPCSTR loginName, LPCSTR password);
  LONG AddDeviceByHost(LPCSTR host, WORD port, LPCSTR loginName, LPCSTR password);
  // Closes the device's connection and forgets it; its pending events are dropped.
  LONG RemoveDevice(LONG gimbroId);

  // Keeps the device's clock in step with this computer's: while enable is
  // non-zero and the device is online, the control sends its clock at login
  // and every `interval` seconds; the device sets its own clock when it differs
  // by more than `difference` seconds.
  LONG SetTimeSync(LONG gimbroId, LONG enable, LONG difference, LONG interval);

  // Sends a PTZ command text; the answer comes as a PTZ response event.
  LONG PtzCommand(LONG gimbroId, LPCSTR command);
  // 1 starts, 0 stops a talk; the answer comes as status 6 or 7, then media
  // parameters and media data of kind 3. From the media parameters (their
  // AudioCodec, Samplerate, Channels) until the talk stops, the control sends
  // the default microphone's sound to the device in that format (silence, and
  // a log line, when the computer has no microphone).
  LONG Talk(LONG gimbroId, LONG start);
  // Sends one device message: message type text ("SYSTEM_CONTROL_MESSAGE",
  // "NVR_REPLAY_MESSAGE", ...), code, status and body text. The answer comes as
  // an auxiliary response event.
  LONG WriteAUXStringEx(LONG gimbroId, LPCSTR messageType, LONG code, LONG status, LPCSTR body);
  // Asks the device for a key frame on a stream (the value the caller passes).
  LONG RequestIFrame(LONG gimbroId, LONG streamKind);
  LONG CreateIFrame(LONG gimbroId, LONG streamKind) { return RequestIFrame(gimbroId, streamKind); }

  // Voice broadcast: the format (codec 0 G.711 / 1 AAC, sample rate, bits per
  // sample, channels), then the devices that receive it, then the end. Each
  // device added hears the default microphone in that format until the end.
  LONG StartBroadcast(LONG codec, LONG sampleRate, LONG bitsPerSample, LONG channels);
  LONG AddBroadcastDevice(LONG gimbroId);
  LONG StopBroadcast();

  // Closes every connection, ends the network thread and stops all events.
  // Every later call returns GIMBRO_ERR_RELEASED.
  LONG Release();

  // --- Record replay and download (gimbro_replay.cpp) ---
  // A replay streams as events: media parameters (6; kind 4 for a replay by
  // time, 1 for a file), media data (5, kind 4; the data start with the NVR
  // packet prefix of 20 bytes, whose byte 14 tells video or audio of a file or
  // a day) and replay states (7; state 7 = the replay ended). Commands: 7 stop,
  // 9 seek (by time: with the time text), others as the player sends them.
  LONG StartFileReplay(LONG gimbroId, LPCSTR remotePath);                         // 20
  LONG ControlFileReplay(LONG gimbroId, LONG command, LONG value);                // 21
  // time: "YYYYMMDDhhmmss"
  LONG StartTimeReplay(LONG gimbroId, LONG channel, LPCSTR time);                 // 29
  LONG ControlTimeReplay(LONG gimbroId, LONG channel, LONG command, LONG value, LPCSTR time);  // 30
  // What the device said of its replay at login; 0 until then, for an unknown
  // or offline device, and for a device that cannot replay.
  DWORD GetReplayOption(LONG gimbroId);                                           // 22
  DWORD CanReplay(LONG gimbroId);                                                 // 23
  // Downloads a file of the device into localPath (the program's path form),
  // one download per device. The file appears whole when the download is
  // complete (it is written beside it first); a failure raises status 17 and
  // leaves nothing. A device that stays connected but sends no byte of the
  // file for 10 s fails it too (found when the progress is next asked for).
  // GIMBRO_OK when the transfer started.
  LONG DownloadFile(LONG gimbroId, LONG reserved, LPCSTR remotePath, LPCSTR localPath);  // 7
  // The number (> 0) of the device's download under way or last started, 0
  // before any: the failure event of that download names it.
  LONG GetDownloadTransfer(LONG gimbroId);
  // Percent of the device's download done; below 1 while nothing came yet, and
  // for no download (-1).
  LONG GetDownloadProgress(LONG gimbroId);                                        // 14
  LONG StopDownload(LONG gimbroId);                                               // 16

  // --- File upload (gimbro_upload.cpp) ---
  // Sends a file of this computer to the device: kind 1 firmware, 0 a
  // configuration file; one upload per device. GIMBRO_OK when the transfer
  // started; a failure later raises status 15 once.
  LONG UploadFile(LONG gimbroId, LONG kind, LPCSTR localPath);                    // 6
  // Percent of the device's upload the device has taken (0 to 99 while it
  // runs, 100 once complete); -1 when it failed, and for no upload.
  LONG GetUploadProgress(LONG gimbroId);                                          // 15

 private:
  class Impl;
  // For the replay methods: sends a frame to an online device (GIMBRO_OK, or
  // the error), and the event hub that identifies this control.
  LONG SendFrame(LONG gimbroId, uint16_t type, int32_t a, int32_t b, const std::string& body);
  GimbroEventHub* Hub();
  std::unique_ptr<Impl> impl_;
};
