#include "settings/setting_maint_dlg.h"

#include "core/fixed_text.h"
#include "platform/codepage.h"
#include "platform/window_text.h"

void CSettingMaintDlg::DisplayDevInfo(const DevInfo* dev) {
  if (dev == nullptr) return;
  m_dev = *dev;
  SetWindowTextW(GetDlgItem(IDC_DEVICE), codepage::ToQString(FixedText(m_dev.DevName)));
}
