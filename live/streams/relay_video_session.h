// CRelayVideoSession: one live video of a local camera served to a remote peer
// through the relay library. The relay handler fills it with the peer's request
// words and hangs it on the camera's stream object; the stream object's pump
// answers the peer once with the media description and then forwards every
// frame through it; the stream object closes and deletes it.
//
// It has no thread and no lock of its own: the stream object calls it under
// its own lock (the pump for Answer and the reports, the UI thread for Close).
#pragma once

#include "pelk/pelk.h"
#include "platform/win_types.h"

struct DevInfo;

class CRelayVideoSession {
 public:
  // The owner is the device whose stream is served; kept until Close.
  explicit CRelayVideoSession(const DevInfo* owner);
  CRelayVideoSession(const CRelayVideoSession&) = delete;
  CRelayVideoSession& operator=(const CRelayVideoSession&) = delete;

  // The session name (the request's relay device key; at most 259 characters,
  // kept when null) and the four request words: stream word, channel word,
  // third word and the peer's request word.
  void Set(const char* name, DWORD word0, DWORD word1, DWORD word2, DWORD word3);

  DWORD IsAnswered() const { return m_bAnswered; }

  // Answers the peer once with the stream's video (536-byte) and audio
  // (276-byte) blocks; a block whose codec name is empty is left out, and with
  // both empty nothing is sent. Either way the session counts as answered.
  void Answer(const BYTE* videoBlock, const BYTE* audioBlock);

  // One frame with the stream's 16-byte frame header (its flag word and time
  // stamp go into the frame information); without a header the previous frame
  // information is sent again. -> the relay call's result.
  LONG ReportVideo(const BYTE* data, long length, const BYTE* frameHeader);
  LONG ReportAudio(const BYTE* data, long length, const BYTE* frameHeader);

  // Ends the served video when one is open; the session is unanswered again and
  // can be filled and answered anew.
  void Close();

  // State, for callers and tests.
  const DevInfo* Owner() const { return m_pOwner; }
  const char* Name() const { return m_szName; }
  DWORD Word(int index) const { return m_dwWords[index]; }
  DWORD RelayVideoHandle() const { return m_hRelayVideo; }
  const RelayFrameInfo& FrameInfo() const { return m_FrameInfo; }

 private:
  LONG Report(LONG kind, DWORD* counter, const BYTE* data, long length, const BYTE* frameHeader);

  const DevInfo* m_pOwner;
  DWORD m_dwWords[4] = {};
  char m_szName[260] = {};
  RelayFrameInfo m_FrameInfo{};
  DWORD m_dwVideoSequence = 1;
  DWORD m_dwAudioSequence = 1;
  DWORD m_bAnswered = 0;
  DWORD m_hRelayVideo = 0;
};
