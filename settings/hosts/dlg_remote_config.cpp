#include "settings/hosts/dlg_remote_config.h"

#include "platform/codepage.h"
#include "core/fixed_text.h"
#include "platform/window_text.h"

void CDlgRemoteConfig::ShowRemoteConfig(const DevInfo* dev) {
  if (dev == nullptr) return;
  m_dev = *dev;
  m_bShown = true;
  SetWindowTextW(GetDlgItem(IDC_DEVICE), codepage::ToQString(FixedText(m_dev.DevName)));
}

void CDlgRemoteConfig::HideRemoteConfig(int release) {
  SetWindowTextW(GetDlgItem(IDC_DEVICE), QString());
  m_bShown = false;
  if (release) m_dev = DevInfo{};
}
