// The main window and the UDP login at the account's login server: the
// login's end reports and the device notices the server pushes.
#include "core/client_log.h"
#include "core/user_settings.h"
#include "platform/string_table.h"
#include "relay/udp/cloud_device_fetch.h"
#include "relay/udp/udp_login.h"
#include "relay/udp/udp_packet.h"
#include "alarm_map_wall/emap/map_dlg.h"
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "settings/maintenance/setting_maint_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/cloud_devices/cloud_device_removal.h"
#include "shell/cloud_devices/login_server_devices.h"
#include "shell/live_controls.h"
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

// A device notice: a 1232-byte copy of the server's datagram, which the
// message owns and frees after this returns.
void CVistarelDlg::OnUdpDeviceList(WPARAM kind, LPARAM block) {
  if (block == 0 || m_bClosing) return;
  LoginServerDevices().OnDeviceNotice(kind, reinterpret_cast<const uint8_t*>(block), udplogin::kNoticeSize);
}

// The cloud service's answer about a notified device (a heap CloudDeviceAnswer
// owned by the message).
void CVistarelDlg::OnCloudDeviceAnswer(WPARAM fetchId, LPARAM answer) {
  if (answer == 0 || m_bClosing || m_pLoginServerDevices == nullptr) return;
  m_pLoginServerDevices->OnCloudAnswer(static_cast<long>(fetchId), *reinterpret_cast<const CloudDeviceAnswer*>(answer));
}

CLoginServerDevices& CVistarelDlg::LoginServerDevices() {
  if (m_pLoginServerDevices == nullptr) {
    m_pLoginServerDevices = new CLoginServerDevices(
        GetSafeHwnd(), [] { return NoticeDeviceControls{g_pGimbroCtrl, g_pGimbroEvents, g_pStrevaCtrl, g_SyncTime}; },
        [this] { RefreshDevList(); });
  }
  return *m_pLoginServerDevices;
}

// A device that left the cloud account disappears everywhere. Nothing calls
// this yet: the login server's notices announce added devices and new
// addresses, none announces a removal.
int CVistarelDlg::RemoveCloudDevice(const char* devId) {
  CloudDeviceRemovalHost host;
  // The TV wall binds no devices yet: it has nothing to unbind.
  host.stopWatch = [this](DevInfo& dev) { OnStopWatch(&dev, 0); };
  host.removeFromMaintenance = [this](const char* ipAddr) {
    if (m_pCfgManagerDlg != nullptr && m_pCfgManagerDlg->GetMaintDlg() != nullptr)
      m_pCfgManagerDlg->GetMaintDlg()->RemoveDevice(ipAddr);
  };
  host.removeFromMap = [this](const char* devName) {
    if (m_pMapManagerDlg != nullptr && m_pMapManagerDlg->m_pMapDlg != nullptr)
      m_pMapManagerDlg->m_pMapDlg->RemoveDevicePoints(devName);
  };
  host.gimbro = g_pGimbroCtrl;
  host.localMac = m_szAdapterAddr;
  host.refreshDevList = [this] { RefreshDevList(); };
  return ::RemoveCloudDevice(devId, host);
}
