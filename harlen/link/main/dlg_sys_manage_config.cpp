#include "harlen/link/main/dlg_sys_manage_config.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QTreeWidget>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/config_transfer.h"
#include "harlen/link/main/dlg_main.h"
#include "harlen/link/main/upgrade_session.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"

namespace {

const QString kXmlFilter = QStringLiteral("xml Files (*.xml)");

}  // namespace

CDlgSysManageConfig::CDlgSysManageConfig(CDlgMain* main, QWidget* parent) : CRgbPage(IDD, parent), m_pMain(main) {}

CDlgSysManageConfig::~CDlgSysManageConfig() { TheUpgradeSession().DetachPage(GetSafeHwnd()); }

BOOL CDlgSysManageConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  m_pRateList = qobject_cast<QTreeWidget*>(GetDlgItem(IDC_LIST_CODERATE));
  m_pFirmwareEdit = qobject_cast<QLineEdit*>(GetDlgItem(IDC_EDIT_FIRMWARE));
  m_pMaintainCombo = qobject_cast<QComboBox*>(GetDlgItem(IDC_COMBO_MAINTAIN));
  m_pProgress = qobject_cast<QProgressBar*>(GetDlgItem(IDC_PROGRESS_UPGRADE));

  SetUpReportList(m_pRateList,
                  {QStringLiteral("CH"), harlenres::LoadString(IDS_MAIN_STREAM), harlenres::LoadString(IDS_SUB_STREAM),
                   harlenres::LoadString(IDS_MAIN_STREAM), harlenres::LoadString(IDS_SUB_STREAM)},
                  {40, 80, 80, 80, 80});
  if (m_pMaintainCombo != nullptr) {
    m_pMaintainCombo->clear();
    for (UINT id = IDS_MAINT_DISABLED; id <= IDS_MAINT_ONCE; ++id) m_pMaintainCombo->addItem(harlenres::LoadString(id));
    m_pMaintainCombo->setCurrentIndex(0);
  }
  if (m_pProgress != nullptr) {
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
  }
  OnClicked(IDC_BTN_RESTORE, [this] { OnBnClickedRestore(); });
  OnClicked(IDC_BTN_IMPORT, [this] { OnBnClickedImport(); });
  OnClicked(IDC_BTN_EXPORT, [this] { OnBnClickedExport(); });
  OnClicked(IDC_BTN_BROWSE, [this] { OnBnClickedBrowse(); });
  OnClicked(IDC_BTN_UPGRADE, [this] { OnBnClickedUpgrade(); });
  OnClicked(IDC_BTN_UPGRADE_CANCEL, [this] { OnBnClickedUpgradeCancel(); });
  OnClicked(IDC_BTN_REFRESH_RATE, [this] { OnBnClickedRefreshRate(); });
  TheUpgradeSession().AttachPage(GetSafeHwnd());
  return TRUE;
}

LRESULT CDlgSysManageConfig::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_UPGRADE_FAILED:
      HarlenMessage(this, IDS_MSG_UPLOAD_FAILED);
      return 0;
    case WM_UPGRADE_PROGRESS:
      if (m_pProgress != nullptr) m_pProgress->setValue(static_cast<int>(wParam));
      return 0;
    default:
      return CRgbPage::OnMessage(msg, wParam, lParam);
  }
}

void CDlgSysManageConfig::ShowStreamRates(const StreamRates& rates) {
  if (m_pRateList == nullptr) return;
  m_pRateList->clear();
  const uint32_t count = std::min<uint32_t>(rates.count, std::size(rates.channels));
  for (uint32_t i = 0; i < count; ++i) {
    const StreamRate& rate = rates.channels[i];
    auto* row = new QTreeWidgetItem(m_pRateList);
    row->setText(0, QString::number(i + 1));
    row->setText(1, QStringLiteral("%1(kb/s)").arg(rate.kbs_main));
    row->setText(2, QStringLiteral("%1(kb/s)").arg(rate.kbs_aux));
    row->setText(3, QStringLiteral("%1(MB/H)").arg(rate.mbh_main));
    row->setText(4, QStringLiteral("%1(MB/H)").arg(rate.mbh_aux));
  }
}

void CDlgSysManageConfig::SelectMaintainMode(uint32_t mode) {
  if (m_pMaintainCombo != nullptr && mode < static_cast<uint32_t>(m_pMaintainCombo->count())) {
    m_pMaintainCombo->setCurrentIndex(static_cast<int>(mode));
  }
}

void CDlgSysManageConfig::SetExportPath(const std::string& path) { m_pMain->SetExportPath(path); }

void CDlgSysManageConfig::OnBnClickedRestore() {
  if (!HarlenAskYesNo(this, IDS_MSG_RESTORE_CONFIRM, IDS_CAPTION_CONFIG)) return;
  if (CNVRMCInf* link = m_pMain->GetLink()) link->RestoreDefault();
}

void CDlgSysManageConfig::OnBnClickedImport() {
  const QString path = HarlenOpenFile(this, kXmlFilter);
  if (path.isEmpty()) return;
  std::string text;
  switch (ReadImportFile(path.toStdString(), text)) {
    case ImportResult::kUnreadable:
      HarlenMessage(this, IDS_MSG_IMPORT_FAILED);
      return;
    case ImportResult::kTooLarge:
      HarlenMessage(this, IDS_MSG_IMPORT_TOO_LARGE);
      return;
    case ImportResult::kOk:
      break;
  }
  CNVRMCInf* link = m_pMain->GetLink();
  if (!text.empty() && link != nullptr) link->SetConfig(NVR_SECTION_ALL, text.data(), static_cast<int>(text.size()));
}

void CDlgSysManageConfig::OnBnClickedExport() {
  const QString chosen = HarlenSaveFile(this, kXmlFilter);
  CNVRMCInf* link = m_pMain->GetLink();
  if (chosen.isEmpty() || link == nullptr) return;
  SetExportPath(ExportFilePath(chosen.toStdString()));
  if (link->GetConfig(NVR_SECTION_ALL) != 0) {
    // Nothing was asked for: no later reply may go into the file.
    m_pMain->ClearExportPending();
    HarlenMessage(this, IDS_MSG_EXPORT_FAILED);
  }
}

void CDlgSysManageConfig::OnBnClickedBrowse() {
  const QString path = HarlenOpenFile(this, QString());
  if (!path.isEmpty() && m_pFirmwareEdit != nullptr) m_pFirmwareEdit->setText(path);
}

void CDlgSysManageConfig::OnBnClickedUpgrade() {
  if (m_pFirmwareEdit == nullptr || m_pFirmwareEdit->text().isEmpty()) return;
  TheUpgradeSession().Start(m_pFirmwareEdit->text().toStdString());
}

void CDlgSysManageConfig::OnBnClickedUpgradeCancel() {
  if (TheUpgradeSession().Cancel() && m_pProgress != nullptr) m_pProgress->setValue(0);
}

void CDlgSysManageConfig::OnBnClickedRefreshRate() {
  if (CNVRMCInf* link = m_pMain->GetLink()) link->QueryStatus(NVRMC_STATUS_CODERATE);
}
