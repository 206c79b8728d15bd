// CVemo2Login: the relay-login worker. It logs in to every relay server of
// "Config\VssInfo.xml", one after another, and posts WM_VSS_LOGIN_RESULT to
// its notify window: (heap Vemo2Node, 0) per successful login, in file order,
// then (0, 1) once at the end. The receiver owns each posted record.
#pragma once

#include <atomic>
#include <string>

#include "core/thread_base.h"

struct Vemo2Node;

class CVemo2Login : public CThread {
 public:
  CVemo2Login() = default;
  ~CVemo2Login() override { Stop(); }

  void SetNotifyWnd(HWND hwnd) { m_hNotifyWnd = hwnd; }
  HWND GetNotifyWnd() const { return m_hNotifyWnd; }

  DWORD Run() override;
  // Tells the pass to end after the login in progress, then waits for it.
  void Stop() override;

  // The dotted IPv4 address of an address text: itself when it is one, else
  // the first IPv4 address it resolves to; empty when it resolves to none.
  static std::string DottedAddress(const char* address);

 private:
  HWND m_hNotifyWnd = nullptr;
  std::atomic<bool> m_bStop{false};
};
