// WindowLink: the NVR link of a window of its own (not the main window's),
// made when the window is shown and dropped when it closes.
//
// Connect makes the link when there is none, connects it to the NVR and asks
// for the window's section; the link's replies are posted to the window as
// WM_NVR_REPLY (nvr_reply_relay.h), carrying the generation of the link they
// came from. Drop deletes the link: its receive thread stops, and replies of
// it still queued for the window no longer count as current.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/win_types.h"

class CDialog;
class CNVRMCInf;
class NvrReplyRelay;
struct NvrReply;

class WindowLink {
 public:
  explicit WindowLink(CDialog* window);
  ~WindowLink();
  WindowLink(const WindowLink&) = delete;
  WindowLink& operator=(const WindowLink&) = delete;

  // True when connected and the section was asked for; false after saying
  // "连接NVR失败" (the link stays, as a link that may still connect).
  bool Connect(const char* host, uint16_t port, int section);
  void Drop();

  // The reply of a WM_NVR_REPLY message when it came from the current link
  // and reports success; null for a failed reply or one of a link dropped since.
  const NvrReply* CurrentReply(WPARAM wParam, LPARAM lParam) const;

  CNVRMCInf* Get() const { return m_pLink; }

 private:
  CDialog* m_pWindow;
  CNVRMCInf* m_pLink = nullptr;
  std::unique_ptr<NvrReplyRelay> m_pRelay;
  unsigned m_nGeneration = 0;
};
