// The Qt event that carries one window message (msg, wParam, lParam) to a window.
//
// The event owns what the message carries: when it is destroyed (after the
// receiver's OnMessage returned, or unread because the window went away or the
// post failed) it runs the release function on lParam, exactly once. A message
// sent with SendMessage from another thread also carries the waiting sender's
// reply slot; an event destroyed unread answers 0 so the sender never hangs on
// a window that is gone.
#pragma once

#include <QEvent>
#include <future>
#include <memory>

#include "platform/win_types.h"

class MessageEvent : public QEvent {
 public:
  using Release = void (*)(LPARAM);

  MessageEvent(UINT msg, WPARAM wParam, LPARAM lParam, Release release = nullptr,
               std::shared_ptr<std::promise<LRESULT>> reply = nullptr);
  ~MessageEvent() override;

  static QEvent::Type EventType();

  UINT Msg() const { return msg_; }
  WPARAM WParam() const { return wParam_; }
  LPARAM LParam() const { return lParam_; }

  // Hands the receiver's result to a waiting sender (once).
  void Answer(LRESULT result);

 private:
  UINT msg_;
  WPARAM wParam_;
  LPARAM lParam_;
  Release release_;
  std::shared_ptr<std::promise<LRESULT>> reply_;
};
