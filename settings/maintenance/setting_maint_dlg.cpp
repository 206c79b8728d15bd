#include "settings/maintenance/setting_maint_dlg.h"

#include <cstring>

#include "core/fixed_text.h"
#include "platform/codepage.h"
#include "platform/window_text.h"

void CSettingMaintDlg::DisplayDevInfo(const DevInfo* dev) {
  if (dev == nullptr) return;
  m_dev = *dev;
  SetWindowTextW(GetDlgItem(IDC_DEVICE), codepage::ToQString(FixedText(m_dev.DevName)));
}

void CSettingMaintDlg::RemoveDevice(const char* ipAddr) {
  if (ipAddr == nullptr || std::strcmp(m_dev.IPAddr, ipAddr) != 0) return;
  m_dev = DevInfo();
  SetWindowTextW(GetDlgItem(IDC_DEVICE), QString());
}
