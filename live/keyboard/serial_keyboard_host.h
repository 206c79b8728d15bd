// What the serial PTZ keyboard calls in the window that owns it (the main
// window): every keyboard command text goes to SendKeyboardPtzData, which hands
// it to the main grid (the selected pane's camera, or every watching pane's
// camera in the all-panes keyboard mode).
//
// The call comes on the keyboard's own thread, one command text at a time and
// never after the keyboard's StopHandleKBMsg has returned. The implementation
// must not touch widgets there: it sends through thread-safe calls or posts.
#pragma once

#include "platform/win_types.h"

class CKeyboardPtzHost {
 public:
  virtual ~CKeyboardPtzHost() = default;
  virtual void SendKeyboardPtzData(const CString& text) = 0;
};
