#include "settings/devices/setting_dev_info_dlg.h"

#include <QComboBox>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"

namespace {

constexpr const char* kDefaultVideoPort = "554";
constexpr const char* kDefaultPtzPort = "8091";

QComboBox* Combo(QWidget* control) { return qobject_cast<QComboBox*>(control); }

// The text of a fixed-size field of a record, for a control.
template <size_t N>
QString Field(const char (&field)[N]) {
  return codepage::ToQString(FixedTextView(field));
}

QString Number(int value) { return value == 0 ? QString() : QString::number(value); }

}  // namespace

CSettingDevInfoDlg::CSettingDevInfoDlg(QWidget* parent) : CConfigPanel(IDD, parent) {}

BOOL CSettingDevInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (QComboBox* types = Combo(GetDlgItem(IDC_DEV_TYPE))) {
    const QString vss = LoadStringW(1082);
    types->addItems({"DVS", "IPC", "Decoder", vss.isEmpty() ? QString("Video Switch Server/VSS") : vss, "NVR/DVR"});
    types->setCurrentIndex(kTypeIpc);
  }
  FillGroupCombo();
  SetWindowTextW(GetDlgItem(IDC_VIDEO_PORT), kDefaultVideoPort);
  SetWindowTextW(GetDlgItem(IDC_PTZ_PORT), kDefaultPtzPort);
  return TRUE;
}

void CSettingDevInfoDlg::FillGroupCombo() {
  if (QComboBox* combo = Combo(GetDlgItem(IDC_GROUP_COMBO))) {
    combo->clear();
    for (const DevGroupInfo& group : g_lstDevGroupInfo) combo->addItem(codepage::ToQString(group.GroupName));
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
  }
}

void CSettingDevInfoDlg::EnableFields(std::initializer_list<int> ids, bool enable) {
  for (int id : ids)
    if (QWidget* control = GetDlgItem(id)) control->setEnabled(enable);
}

void CSettingDevInfoDlg::DisplayDevInfo(const DevInfo* dev) {
  if (dev == nullptr) return;
  WriteLog(6, "CSettingDevInfoDlg::DisplayDevInfo(): Begin...");
  EnableFields({IDC_ADDRESS, IDC_VIDEO_PORT, IDC_LOGIN_NAME, IDC_PASSWORD, IDC_DEV_TYPE, IDC_GROUP_COMBO}, true);
  m_curDev = *dev;
  FillGroupCombo();
  if (QComboBox* groups = Combo(GetDlgItem(IDC_GROUP_COMBO))) {
    const int index = groups->findText(Field(dev->GroupName));
    if (index >= 0) groups->setCurrentIndex(index);
  }
  SetWindowTextW(GetDlgItem(IDC_DEV_NAME), Field(dev->DevId));
  // In host-name mode the device is reached by its serial number.
  SetWindowTextW(GetDlgItem(IDC_ADDRESS), dev->VisitMod == 2 ? Field(dev->DevSN) : Field(dev->IPAddr));
  SetWindowTextW(GetDlgItem(IDC_VIDEO_PORT), Number(dev->VideoPort));
  SetWindowTextW(GetDlgItem(IDC_PTZ_PORT), dev->PtzPort == 0 ? QString(kDefaultPtzPort) : QString::number(dev->PtzPort));
  SetWindowTextW(GetDlgItem(IDC_LOGIN_NAME), Field(dev->LoginName));
  SetWindowTextW(GetDlgItem(IDC_PASSWORD), Field(dev->LoginPsw));
  if (QComboBox* types = Combo(GetDlgItem(IDC_DEV_TYPE)); types && dev->DevType >= 0 && dev->DevType < types->count())
    types->setCurrentIndex(dev->DevType);
  WriteLog(6, "CSettingDevInfoDlg::DisplayDevInfo(): End.");
}

void CSettingDevInfoDlg::ClearDevInfo() {
  m_curDev = DevInfo{};
  EnableFields({IDC_ADDRESS, IDC_VIDEO_PORT, IDC_LOGIN_NAME, IDC_PASSWORD, IDC_DEV_TYPE}, true);
  EnableFields({IDC_GROUP_COMBO}, false);
  for (int id : {IDC_DEV_NAME, IDC_ADDRESS, IDC_VIDEO_PORT, IDC_LOGIN_NAME, IDC_PASSWORD})
    SetWindowTextW(GetDlgItem(id), QString());
}

void CSettingDevInfoDlg::DisplayVssInfo(const CString& name) {
  if (QComboBox* types = Combo(GetDlgItem(IDC_DEV_TYPE))) types->setCurrentIndex(kTypeVss);
  m_curDev = DevInfo{};
  CopyFixedText(m_curDev.DevName, name.c_str());
  m_curDev.DevType = kTypeVss;
  SetWindowTextW(GetDlgItem(IDC_DEV_NAME), codepage::ToQString(name));
  // The relay servers' own list keeps their address and login; here they are shown read-only.
  EnableFields({IDC_PTZ_PORT, IDC_GROUP_COMBO, IDC_ADDRESS, IDC_VIDEO_PORT, IDC_LOGIN_NAME, IDC_PASSWORD, IDC_DEV_TYPE},
               false);
}

void CSettingDevInfoDlg::DisplayGroupInfo(const DevGroupInfo* group) {
  EnableFields({IDC_ADDRESS, IDC_VIDEO_PORT, IDC_LOGIN_NAME, IDC_PASSWORD, IDC_DEV_TYPE, IDC_GROUP_COMBO}, true);
  m_curGroup = group != nullptr ? *group : DevGroupInfo{};
  SetWindowTextW(GetDlgItem(IDC_GROUP_NAME), Field(m_curGroup.GroupName));
  if (QComboBox* groups = Combo(GetDlgItem(IDC_GROUP_COMBO))) {
    const int index = groups->findText(Field(m_curGroup.GroupName));
    if (index >= 0) groups->setCurrentIndex(index);
  }
}

void CSettingDevInfoDlg::OnStopSearch() { m_bSearching = false; }
