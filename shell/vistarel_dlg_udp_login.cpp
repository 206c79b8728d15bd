// The main window and the UDP login at the account's login server: the
// login's end reports and the device notices the server pushes.
#include "core/client_log.h"
#include "platform/string_table.h"
#include "relay/udp/udp_login.h"
#include "shell/vistarel_dlg.h"

namespace {

constexpr int kLoginRefusedMessage = 1433;  // "Alarm server failed to connect"

}  // namespace

// A session ended (or its login was refused). The login starts again, except
// after a refusal, once a wait has passed that grows with each failure in a
// row. A report of a login already replaced or stopped is stale: it changes
// nothing.
void CVistarelDlg::OnUdpLoginStatus(int status) {
  if (m_pUdpLogin == nullptr) {
    WriteLog(6, "CVistarelDlg::OnUdpLoginStatus(): status=%d of a stopped UDP login, ignored", status);
    return;
  }
  const bool accepted = m_pUdpLogin->IsLoggedIn();
  delete m_pUdpLogin;  // stops its thread
  m_pUdpLogin = nullptr;
  if (status == CUdpLogin::kStatusRefused) {
    WriteLog(3, "CVistarelDlg::OnUdpLoginStatus(): the login server refused the login of %s", g_szCurUser);
    ShowResMsg(LoadStringW(kLoginRefusedMessage).toStdWString(), 2);
    return;
  }
  if (m_bClosing) return;
  const DWORD delay = m_udpLoginRetry.NextDelay(accepted);
  WriteLog(6, "CVistarelDlg::OnUdpLoginStatus(): status=%d, the UDP login starts again in %lu ms", status,
           static_cast<unsigned long>(delay));
  StartTimer(TIMER_UDP_LOGIN, delay);
}
