// Hands the replies of an NVR link to the window that owns the link.
//
// The link calls Callback on its receive thread. Every reply, with its status,
// is copied and posted to the window as WM_NVR_REPLY, so the window loads and
// shows it on its own thread and the receive thread never waits for the
// window; the window decides what a failed reply means. A window that is gone drops the
// message. Each relay carries the generation of the link it serves, so a
// window that has since made a new link can tell the old link's replies apart.
#pragma once

#include "harlen/link/protocol/nvr_protocol.h"
#include "platform/win_types.h"

// wParam: the link generation; lParam: an NvrReply* owned by the message.
constexpr UINT WM_NVR_REPLY = WM_USER + 1100;

class NvrReplyRelay {
 public:
  NvrReplyRelay(HWND target, unsigned generation) : target_(target), generation_(generation) {}

  // The link's reply callback; `user` is the relay.
  static int Callback(int command, int status, int argument, const char* data, int dataLength, void* user);

  unsigned Generation() const { return generation_; }

 private:
  HWND target_;
  unsigned generation_;
};
