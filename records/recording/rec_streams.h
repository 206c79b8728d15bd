// What the recording does with the stream objects of a device (CRtspEvents)
// and its device-messaging control, behind one small interface: the program
// drives its stream objects (ProgramRecStreams); tests give a stand-in.
//
// Every call comes from the recording thread while it holds g_csAppData. A
// null stream object has no stream (id 0, kind -1) and ignores every action.
#pragma once

#include <string>

#include "platform/win_types.h"

class CRtspEvents;
struct DevInfo;

// How to open a stream: an address ("rtsp://", "vmq://"), or host, port and
// path for devices reached by host name.
struct RecStreamOpen {
  bool byHost = false;
  std::string url;   // byHost false
  std::string host;  // byHost true
  unsigned short port = 0;
  std::string path;
  std::string loginName;
  std::string password;
  int rtpOverRtsp = 0;
};

class IRecStreams {
 public:
  virtual ~IRecStreams() = default;

  // State of a stream object.
  virtual long StreamId(CRtspEvents* events) = 0;  // 0: no stream open
  virtual long Kind(CRtspEvents* events) = 0;      // 1 main, 0 sub, -1 none
  virtual bool Renders(CRtspEvents* events) = 0;   // shows its video in a pane
  virtual bool HasMedia(CRtspEvents* events) = 0;  // the stream's media parameters arrived
  virtual bool IsRecording(CRtspEvents* events) = 0;
  virtual bool FeedsRelay(CRtspEvents* events) = 0;  // serves a relay video session

  // Opens a stream on the object's pull control: stream id, below 1 on failure.
  virtual long Open(CRtspEvents* events, const RecStreamOpen& open) = 0;
  virtual void SetStreamInfo(CRtspEvents* events, long streamId, long kind, long preSeconds, BOOL audio) = 0;
  virtual void SetDevType(CRtspEvents* events, int devType) = 0;
  virtual void EnableRecord(CRtspEvents* events, BOOL audio) = 0;
  // -> file id; below 1 on failure.
  virtual long StartRecord(CRtspEvents* events, long streamId, long duration, long fileLength,
                           const std::string& folder, long preSeconds) = 0;
  virtual void StopRecordFile(CRtspEvents* events) = 0;
  virtual void StopRecord(CRtspEvents* events) = 0;
  virtual void SetPreRecTime(CRtspEvents* events, long seconds, BOOL audio) = 0;
  virtual void StopAllThread(CRtspEvents* events) = 0;
  virtual void CloseAllDecoder(CRtspEvents* events) = 0;

  // Asks the device for a key frame of a stream (1 - live stream kind).
  virtual void CreateIFrame(const DevInfo& dev, long stream) = 0;
};

// The program's stream objects and device-messaging controls.
IRecStreams& ProgramRecStreams();
