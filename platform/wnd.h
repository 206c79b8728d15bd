// CWnd: the window side of a widget that receives messages and timers.
//
// A widget class derives from its Qt widget class and from CWnd, and hands CWnd
// its own pointer:
//     class CMyDlg : public QDialog, public CWnd { ... CMyDlg() : CWnd(this) {} };
// CWnd registers a window handle (m_hWnd, never reused) and puts a hidden
// message port on the widget: an event filter that takes the posted messages
// (platform/post_message.h) and Qt timers and calls OnMessage / OnTimer on the
// UI thread. The destructor unregisters the handle before anything else, so no
// post from another thread reaches a half-destroyed window; messages still
// queued are dropped with the widget and their owned blocks released.
//
// Like every widget, a CWnd is used on the UI thread only; its handle may be
// passed to any thread for PostMessage.
#pragma once

#include "platform/win_types.h"

#include <QPointer>

class QWidget;
class WndPort;

class CWnd {
 public:
  explicit CWnd(QWidget* widget);
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }
  QWidget* GetWidget() const { return m_pWidget; }

  // The CWnd of a live handle, or null. UI thread only.
  static CWnd* FromHandle(HWND hwnd);

  // Messages posted or sent to this window; the result goes back to SendMessage.
  virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void OnTimer(UINT_PTR id);

  // Starts (or restarts, when the id runs already) a periodic timer; returns the
  // id, 0 for id 0. KillTimer: FALSE when no such timer runs.
  UINT_PTR SetTimer(UINT_PTR id, UINT ms);
  BOOL KillTimer(UINT_PTR id);

  QWidget* GetDlgItem(int id) const;  // direct child with this control id, or null
  void ShowWindow(bool show);
  void MoveWindow(const RECT& rect);  // in parent coordinates (screen for a top-level)
  RECT GetWindowRect() const;         // screen coordinates
  RECT GetClientRect() const;         // (0, 0, width, height)

  HWND m_hWnd = nullptr;

 private:
  QWidget* m_pWidget;
  QPointer<WndPort> m_pPort;  // null once the widget's children are gone
};
