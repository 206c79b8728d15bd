// CVemo2Login: the relay-login worker. It logs in to the relay servers and
// then posts WM_VSS_LOGIN_RESULT (0, 0) to the main window. No relay server is
// logged in to yet: the relay client comes with the relay subsystem.
#pragma once

#include "core/thread_base.h"

class CVemo2Login : public CThread {
 public:
  explicit CVemo2Login(HWND mainWnd) : m_hMainWnd(mainWnd) {}
  ~CVemo2Login() override { Stop(); }

  DWORD Run() override;

 private:
  HWND m_hMainWnd;
};
