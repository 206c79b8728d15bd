#include "shell/cloud_devices/login_server_devices.h"

#include <cstring>
#include <set>
#include <utility>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "maker/gimbro/gimbro.h"
#include "relay/udp/cloud_device_fetch.h"
#include "relay/udp/udp_device_notice.h"
#include "shell/dev_registration.h"

namespace {

constexpr WPARAM kNoticeKind = 2;
constexpr int kVisitVmq = 1;

void LogAddedChannel(const DevInfo& dev) {
  WriteLog(6,
           "CSettingDevInfoDlg::OnBnClickedBtnIpcAdd():Add a device channel, DevName=%s, GimbroId=%ld, ip=%s, "
           "port=%d, name=%s, psw=%s",
           dev.DevName, static_cast<long>(dev.GimbroId), dev.IPAddr, dev.PtzPort, dev.LoginName,
           MaskSecret(dev.LoginPsw));
}

// Registration with the messaging control when the device has a login, and
// the clock synchronisation that goes with it.
void Register(DevInfo& dev, const NoticeDeviceControls& controls) {
  if (controls.gimbro == nullptr || dev.LoginName[0] == '\0' || dev.LoginPsw[0] == '\0') return;
  dev.GimbroId = RegisterWithGimbro(*controls.gimbro, dev);
  controls.gimbro->SetTimeSync(dev.GimbroId, controls.sync.enable, controls.sync.diff, controls.sync.interval);
}

}  // namespace

CLoginServerDevices::CLoginServerDevices(HWND notifyWnd, std::function<NoticeDeviceControls()> controls,
                                         std::function<void()> refreshDevList)
    : m_hNotifyWnd(notifyWnd), m_controls(std::move(controls)), m_refreshDevList(std::move(refreshDevList)) {}

CLoginServerDevices::~CLoginServerDevices() = default;  // each fetch waits for its thread

void CLoginServerDevices::OnDeviceNotice(WPARAM kind, const uint8_t* block, size_t length) {
  if (kind != kNoticeKind) return;
  const auto notice = udplogin::ReadDeviceNotice(block, length);
  if (!notice) {
    WriteLog(3, "CVistarelDlg::OnUdpDeviceList(): a notice of %d bytes is too short, ignored", static_cast<int>(length));
    return;
  }
  switch (notice->code) {
    case udplogin::kNoticeDeviceAdded:
      FetchDevice(notice->deviceId);
      break;
    case udplogin::kNoticeNewAddresses:
      UpdateAddresses(notice->deviceId, notice->text);
      break;
    default:
      WriteLog(6, "CVistarelDlg::OnUdpDeviceList(): notice code %u of device %s, nothing to do", notice->code,
               notice->deviceId.c_str());
      break;
  }
}

void CLoginServerDevices::FetchDevice(const std::string& deviceId) {
  for (const auto& [id, fetch] : m_mapFetch) {
    if (fetch.deviceId == deviceId) {
      WriteLog(6, "CVistarelDlg::OnUdpDeviceList(): device %s is being asked for already", deviceId.c_str());
      return;
    }
  }
  if (m_mapFetch.size() >= kMaxFetches) {
    WriteLog(3, "CVistarelDlg::OnUdpDeviceList(): %d devices are being asked for, device %s is dropped",
             static_cast<int>(m_mapFetch.size()), deviceId.c_str());
    return;
  }
  const long id = m_nNextFetchId++;
  auto fetch = std::make_unique<CCloudDeviceFetch>(g_szLoginSvrIp, CloudDevicePort(), g_szCurUser, g_szCurPassword,
                                                   deviceId, m_hNotifyWnd, id);
  if (!fetch->Start()) {
    WriteLog(3, "CVistarelDlg::OnUdpDeviceList(): the fetch of device %s cannot start", deviceId.c_str());
    return;
  }
  WriteLog(6, "CVistarelDlg::OnUdpDeviceList(): device %s was added to the account, asking %s for it",
           deviceId.c_str(), g_szLoginSvrIp);
  m_mapFetch[id] = Fetch{deviceId, std::move(fetch)};
}

void CLoginServerDevices::OnCloudAnswer(long fetchId, const CloudDeviceAnswer& answer) {
  m_mapFetch.erase(fetchId);  // its thread has posted its answer last: this waits only for its end
  if (answer.result != 0) {
    WriteLog(3, "CVistarelDlg::OnUdpDeviceList(): CloudLoginEx failed for device %s, result=%d",
             answer.deviceId.c_str(), answer.result);
    return;
  }
  DevInfo device;
  std::string why;
  if (!udplogin::ReadNoticeDeviceAnswer(answer.answer.c_str(), &device, &why)) {
    WriteLog(3, "CVistarelDlg::OnUdpDeviceList(): device %s not added: %s", answer.deviceId.c_str(), why.c_str());
    return;
  }
  if (IsDevSNExist(device.DevSN)) {
    WriteLog(6, "CVistarelDlg::OnUdpDeviceList(): device %s (serial number %s) is listed already",
             answer.deviceId.c_str(), device.DevSN);
    return;
  }
  AddDevice(std::move(device));
  if (m_refreshDevList) m_refreshDevList();
}

void CLoginServerDevices::AddDevice(DevInfo device) {
  if (device.DevType == kDevTypeNvr) {
    device.VisitMod = kVisitVmq;
    device.RtpOverRtsp = 2;
  } else {
    device.RtpOverRtsp = 1;
  }
  CopyFixedText(device.Resolution, "cif");
  CopyFixedText(device.DefRes, "cif");
  CopyFixedText(device.GroupName, "Default");
  const NoticeDeviceControls controls = m_controls ? m_controls() : NoticeDeviceControls{};
  CreateStreamObjects(device, controls.gimbro, controls.sink, controls.streva);
  Register(device, controls);
  LogAddedChannel(device);
  CsLock lock(&g_csAppData);
  g_lstDevInfo.push_back(std::move(device));
}

void CLoginServerDevices::UpdateAddresses(const std::string& deviceId, const std::string& text) {
  std::string why;
  const auto addresses = udplogin::ReadNewAddresses(text, &why);
  if (!addresses) {
    WriteLog(3, "CVistarelDlg::OnUdpDeviceList(): new addresses of device %s refused: %s", deviceId.c_str(),
             why.c_str());
    return;
  }
  const NoticeDeviceControls controls = m_controls ? m_controls() : NoticeDeviceControls{};
  std::set<int> unregistered;
  int updated = 0;
  {
    CsLock lock(&g_csAppData);
    for (DevInfo& dev : g_lstDevInfo) {
      if (deviceId != dev.DevId) continue;
      if (dev.GimbroId > 0 && controls.gimbro != nullptr && unregistered.insert(dev.GimbroId).second) {
        controls.gimbro->RemoveDevice(dev.GimbroId);
      }
      dev.GimbroId = 0;
      CopyFixedText(dev.IPAddr, addresses->ip.c_str());
      dev.PtzPort = addresses->ptzPort;
      dev.VideoPort = addresses->videoPort;
      Register(dev, controls);
      LogAddedChannel(dev);
      ++updated;
    }
  }
  if (updated == 0) {
    WriteLog(6, "CVistarelDlg::OnUdpDeviceList(): new addresses of device %s, which is not listed", deviceId.c_str());
    return;
  }
  if (m_refreshDevList) m_refreshDevList();
}
