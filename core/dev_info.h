// The device records: DevInfo (one per camera, video server, decoder, NVR
// channel or relay server entry), its alarm linkage entries, and device groups.
//
// Plain records copied by value: every member starts at zero. Texts are
// zero-terminated GBK strings of the fixed sizes given; the stored fields are
// those of "DevInfo.xml", the run-time fields are never stored.
//
// Run-time words that the recording thread and the UI thread share without a
// lock are SharedWords. Some run-time fields carry the names the live video
// gave them first; the recording names them otherwise:
//   bRecording = IsRecording, bWatched = IsWatched, nMotionAlarm = MotionAlarm,
//   nIOAlarm = IoAlarm, MainStreamId / SubStreamId = the stream id words of
//   pRtspEvent1 / pRtspEvent2.
#pragma once

#include "core/shared_word.h"

class CRtspEvents;
class CGimbroCtrl;
class CGimbroEvents;

// One alarm linkage entry (index 0 to 8 by alarm kind).
struct AlarmLinkInfo {
  int AlarmType = 0;
  int OnOff = 0;
  int CauseType = 0;
  int AlarmTime = 0;
  char VoiceFilePath[1024] = {};  // sound file played for the alarm
};

constexpr int kAlarmLinkCount = 9;

struct DevInfo {
  // Run-time state. bRecording is the record's first word.
  SharedWord bRecording;     // 1 while the recording thread (or alarm recording) records the device
  SharedWord bWatched;       // set while a pane shows the device
  SharedWord LiveStreamKind; // stream kind the video pane wants: 1 main, 0 sub-stream
  SharedWord RecStreamKind;  // stream kind the recording uses, from the record scheme
  SharedWord MainStreamId;   // stream id of the main-stream object, 0 when none is open
  SharedWord SubStreamId;    // stream id of the sub-stream object, 0 when none is open
  int bAlarmFlag = 0;       // set by an alarm: the device's items blink
  int nAlarmBlinkCount = 0; // alarm blink counter: blinking ends at 10
  int bAlarmBlink = 0;      // alarm blink state: on while the item shows the alarm image
  SharedWord nMotionAlarm;  // 14 while a motion alarm waits for alarm recording
  SharedWord nIOAlarm;      // 15 or 16 while an IO alarm waits for alarm recording
  int nOnline = 0;          // 1 when the device answered
  int bNvrFlag = 0;         // set by the device editor for some NVRs
  int GimbroId = 0;         // id of the device with the device-messaging control
  double AlarmRecStart = 0; // start of the current alarm recording, seconds since 1970
  int AlarmRecStartStatus = 0;
  int RecAudioOn = 0;       // audio flag of the running recording, from the scheme
  int RecSpanId = 0;        // TimeDuration of the span that started the recording
  char RecSchemeName[260] = {};  // scheme whose recording runs; empty when none
  int bNoAutoSwitch = 0;    // set: the live grid never switches this device's stream by layout
  char RecFolder[1024] = {};   // folder the device records into
  char RecFileName[260] = {};  // current record file, cleared when recording stops
  char RelayStreamSuffix[20] = {};  // the stream the last relay peer asked for: "cif" (sub) or "" (main)
  CRtspEvents* pRtspEvent1 = nullptr;   // main-stream object
  CGimbroCtrl* pGimbroCtrl = nullptr;   // device-messaging control
  CGimbroEvents* pGimbroEvents = nullptr;  // its event sink
  CRtspEvents* pRtspEvent2 = nullptr;   // sub-stream object

  // Stored fields.
  char DevSN[32] = {};
  char DevId[256] = {};
  char DevName[256] = {};
  char GroupName[256] = {};
  char MACAddr[256] = {};
  char IPAddr[256] = {};
  char NetMask[256] = {};
  char GateWay[256] = {};
  char DNS1[256] = {};
  char DNS2[256] = {};
  char Resolution[40] = {};  // first 20 bytes: grid and map panes; second 20: alarm-window panes
  char DefRes[20] = {};
  char ProtocolType[20] = {};  // "RTSP", "VMQ" or "NAT"
  char LoginName[40] = {};
  char LoginPsw[40] = {};  // as typed, or its Md5UpperHex digest when g_szInstallNumber is set
  char Status[8] = {};
  char DevDomainName[256] = {};
  int VisitMod = 0;  // 2: open the stream by host, port and path
  int DevType = 0;   // 0 video server, 1 camera, 2 decoder, 3 relay server, 4 NVR
  int EnableDHCP = 0;
  int VideoPort = 0;
  int Auth = 0;
  int RtpOverRtsp = 0;
  int PtzPort = 0;
  int CfgPort = 0;
  int PtzAddr = 0;
  int WebPort = 0;
  int CurStoragePath = 0;  // index of the record scheme's storage path in use
  int NVRChannels = 0;     // channel count of the NVR
  int CurNVRChannel = 0;   // channel number; below 1 on the NVR's own record
  int nPltDev = 0;
  AlarmLinkInfo AlarmLink[kAlarmLinkCount];
};

constexpr int kDevTypeNvr = 4;

struct DevGroupInfo {
  char GroupName[256] = {};
  int nType = 0;  // 1 marks the default group
};
