#include "platform/message_event.h"

#include "platform/thread_handoff.h"

MessageEvent::MessageEvent(UINT msg, WPARAM wParam, LPARAM lParam, Release release,
                           std::shared_ptr<std::promise<LRESULT>> reply)
    : QEvent(EventType()),
      msg_(msg),
      wParam_(wParam),
      lParam_(lParam),
      release_(release),
      reply_(std::move(reply)) {}

MessageEvent::~MessageEvent() {
  TakeOver(this);  // destroyed unread on whichever thread Qt drops it
  if (release_) release_(lParam_);
  Answer(0);
}

QEvent::Type MessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void MessageEvent::Answer(LRESULT result) {
  if (!reply_) return;
  reply_->set_value(result);
  reply_.reset();
}
