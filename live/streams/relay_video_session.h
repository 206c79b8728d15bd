// A live-video session served to a remote peer through the relay service,
// attached to a stream object that forwards its frames here.
#pragma once

#include "platform/win_types.h"

class CRelayVideoSession {
 public:
  explicit CRelayVideoSession(long sessionId) : m_lSessionId(sessionId) {}
  CRelayVideoSession(const CRelayVideoSession&) = delete;
  CRelayVideoSession& operator=(const CRelayVideoSession&) = delete;

  // Answers the peer once with the two parameter blocks (each begins with its
  // description text); nothing happens while either text is empty.
  void Answer(const BYTE* videoBlock, long videoLength, const BYTE* audioBlock, long audioLength);
  bool IsAnswered() const { return m_hVideo != 0; }

  void ReportVideo(const BYTE* data, long length, const BYTE* header);
  void ReportAudio(const BYTE* data, long length, const BYTE* header);

  // Ends the served video when one is open and makes the session unanswered again.
  void Close();

 private:
  long m_lSessionId;
  long m_hVideo = 0;
};
