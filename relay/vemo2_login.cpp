#include "relay/vemo2_login.h"

#include "platform/post_message.h"
#include "relay/relay_messages.h"

DWORD CVemo2Login::Run() {
  PostMessage(m_hMainWnd, WM_VSS_LOGIN_RESULT, 0, 0);
  return 0;
}
