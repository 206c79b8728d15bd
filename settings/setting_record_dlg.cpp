#include "settings/setting_record_dlg.h"

#include <QComboBox>
#include <QTreeWidget>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme_store.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "settings/config_host.h"
#include "settings/default_rec_scheme.h"

namespace {

QString Text(UINT id, const char* fallback) {
  const QString text = LoadStringW(id);
  return text.isEmpty() ? QString(fallback) : text;
}

}  // namespace

CSettingRecordDlg::CSettingRecordDlg(QWidget* parent) : CConfigPanel(IDD, parent) {}

BOOL CSettingRecordDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (auto* onOff = qobject_cast<QComboBox*>(GetDlgItem(IDC_ON_OFF))) {
    onOff->addItems({Text(760, "NO"), Text(761, "YES")});
    onOff->setCurrentIndex(0);
  }
  return TRUE;
}

void CSettingRecordDlg::ShowSchemeInfo(RecSchemeInfo* scheme) {
  if (scheme == nullptr) return;
  m_pShownScheme = scheme;
  SetWindowTextW(GetDlgItem(IDC_SCHEME_NAME), codepage::ToQString(scheme->SchemeName));
  if (auto* onOff = qobject_cast<QComboBox*>(GetDlgItem(IDC_ON_OFF))) onOff->setCurrentIndex(scheme->OnOff != 0 ? 1 : 0);
}

int CSettingRecordDlg::CreateDefaultScheme() {
  if (g_lstDevInfo.empty()) return 0;
  const std::string name = DefaultSchemeName();
  if (RecSchemeInfo* existing = FindRecScheme(g_lstRecSchemeInfo, name)) {
    ShowSchemeInfo(existing);
    return 0;
  }
  if (m_bDefaultCreated) return 0;
  const std::vector<std::string> storagePaths = DefaultStoragePaths();
  RecSchemeInfo* scheme = nullptr;
  {
    // The recording thread changes the device records' run-time words and walks the schemes under this lock.
    CsLock lock(&g_csAppData);
    scheme = NewDefaultScheme(g_lstDevInfo, storagePaths);
    g_lstRecSchemeInfo.push_back(scheme);
  }
  ShowSchemeInfo(scheme);
  if (m_pHost) m_pHost->ShowRecSchemeTree();
  SaveRecInfo();
  m_bDefaultCreated = 1;
  return 0;
}

void CSettingRecordDlg::InitDevTree() {
  auto* tree = qobject_cast<QTreeWidget*>(GetDlgItem(IDC_DEV_TREE));
  if (tree != nullptr && m_devTreeFiller) m_devTreeFiller(tree);
}
