#include "platform/wnd.h"

#include <QTimerEvent>
#include <algorithm>
#include <QWidget>
#include <map>

#include "platform/control_id.h"
#include "platform/message_event.h"
#include "platform/thread_handoff.h"
#include "platform/window_registry.h"

// The message port: a hidden child object that filters the widget's events for
// posted messages and owns the window's Qt timers.
class WndPort : public QObject {
 public:
  WndPort(QWidget* widget, CWnd* owner) : QObject(widget), owner_(owner) {
    widget->installEventFilter(this);
  }

  UINT_PTR Start(UINT_PTR id, UINT ms) {
    Stop(id);
    int qtId = startTimer(static_cast<int>(std::min<UINT>(ms, 0x7FFFFFFF)));
    if (qtId == 0) return 0;
    timers_[id] = qtId;
    return id;
  }

  bool Stop(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return false;
    killTimer(it->second);
    timers_.erase(it);
    return true;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    TakeOver(event);  // a message posted by another thread: see post_message.cpp
    if (event->type() != MessageEvent::EventType() || watched != parent()) return false;
    auto* message = static_cast<MessageEvent*>(event);
    message->Answer(owner_->OnMessage(message->Msg(), message->WParam(), message->LParam()));
    return true;
  }

  void timerEvent(QTimerEvent* event) override {
    for (const auto& [id, qtId] : timers_) {
      if (qtId == event->timerId()) {
        UINT_PTR fired = id;  // OnTimer may change the map
        owner_->OnTimer(fired);
        return;
      }
    }
  }

 private:
  CWnd* owner_;
  std::map<UINT_PTR, int> timers_;
};

CWnd::CWnd(QWidget* widget) : m_pWidget(widget), m_pPort(new WndPort(widget, this)) {
  m_hWnd = winreg::Register(widget);
}

CWnd::~CWnd() {
  winreg::Unregister(m_hWnd);
  m_hWnd = nullptr;
  delete m_pPort;  // stops the timers and the message filter
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  return dynamic_cast<CWnd*>(winreg::Widget(hwnd));
}

LRESULT CWnd::OnMessage(UINT, WPARAM, LPARAM) { return 0; }

void CWnd::OnTimer(UINT_PTR) {}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT ms) {
  return id == 0 || !m_pPort ? 0 : m_pPort->Start(id, ms);
}

BOOL CWnd::KillTimer(UINT_PTR id) { return m_pPort && m_pPort->Stop(id) ? TRUE : FALSE; }

QWidget* CWnd::GetDlgItem(int id) const { return ctrlid::Find(m_pWidget, id); }

void CWnd::ShowWindow(bool show) { m_pWidget->setVisible(show); }

void CWnd::MoveWindow(const RECT& rect) {
  m_pWidget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

RECT CWnd::GetWindowRect() const {
  QRect frame = m_pWidget->isWindow()
                    ? m_pWidget->frameGeometry()
                    : QRect(m_pWidget->mapToGlobal(QPoint(0, 0)), m_pWidget->size());
  return RECT{frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

RECT CWnd::GetClientRect() const { return RECT{0, 0, m_pWidget->width(), m_pWidget->height()}; }
