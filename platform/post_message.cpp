#include "platform/post_message.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>
#include <cstring>

#include "platform/message_event.h"
#include "platform/thread_handoff.h"
#include "platform/window_registry.h"
#include "platform/wnd.h"

namespace {

// Queues the event for the window, or destroys it (releasing its block) when
// the window is not live.
BOOL Deliver(HWND hwnd, MessageEvent* event) {
  HandOff(event);  // the event and the block it carries go to the UI thread
  bool posted = hwnd && winreg::WithWidget(hwnd, [event](QWidget* widget) {
    QCoreApplication::postEvent(widget, event);
  });
  if (!posted) delete event;
  return posted ? TRUE : FALSE;
}

void ReleaseText(LPARAM p) { delete[] reinterpret_cast<char*>(p); }

}  // namespace

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Deliver(hwnd, new MessageEvent(msg, wParam, lParam));
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void (*release)(LPARAM)) {
  return Deliver(hwnd, new MessageEvent(msg, wParam, lParam, release));
}

BOOL PostText(HWND hwnd, UINT msg, WPARAM wParam, const char* text) {
  size_t length = text ? std::strlen(text) : 0;
  char* copy = new char[length + 1];
  if (length) std::memcpy(copy, text, length);
  copy[length] = '\0';
  return PostMessage(hwnd, msg, wParam, reinterpret_cast<LPARAM>(copy), ReleaseText);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) {
    CWnd* wnd = CWnd::FromHandle(hwnd);
    return wnd ? wnd->OnMessage(msg, wParam, lParam) : 0;
  }
  auto reply = std::make_shared<std::promise<LRESULT>>();
  std::future<LRESULT> answer = reply->get_future();
  if (!Deliver(hwnd, new MessageEvent(msg, wParam, lParam, nullptr, reply))) return 0;
  return answer.get();
}
