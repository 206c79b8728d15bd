// CDlgSysManageConfig: the system page of the main configuration window.
//
// It lists the stream rates of the channels, restores the NVR's factory
// settings, imports and exports the whole configuration as an XML file (root
// nvr), shows the automatic maintenance mode, and drives a firmware upgrade
// that the host program carries out (upgrade_session.h). It works through
// the main window's link.
#pragma once

#include "harlen/link/controls/rgb_page.h"
#include "harlen/link/sections/user_cfg.h"

class CDlgMain;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QTreeWidget;

class CDlgSysManageConfig : public CRgbPage {
 public:
  enum { IDD = 113 };
  enum {
    IDC_EDIT_FIRMWARE = 1004,
    IDC_COMBO_MAINTAIN = 1079,
    IDC_BTN_RESTORE = 1082,
    IDC_BTN_IMPORT = 1083,
    IDC_LIST_CODERATE = 1084,
    IDC_BTN_EXPORT = 1085,
    IDC_BTN_BROWSE = 1086,
    IDC_BTN_UPGRADE = 1087,
    IDC_BTN_UPGRADE_CANCEL = 1088,
    IDC_PROGRESS_UPGRADE = 1089,
    IDC_BTN_REFRESH_RATE = 1090,
  };

  explicit CDlgSysManageConfig(CDlgMain* main, QWidget* parent = nullptr);
  ~CDlgSysManageConfig() override;

  BOOL OnInitDialog() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // One row per channel: number, main and sub stream kb/s, main and sub MB/h.
  void ShowStreamRates(const StreamRates& rates);
  // Selects the automatic maintenance mode loaded with the configuration.
  void SelectMaintainMode(uint32_t mode);
  // Keeps the export path in the main window and marks an export pending.
  void SetExportPath(const std::string& path);

  void OnBnClickedRestore();
  void OnBnClickedImport();
  void OnBnClickedExport();
  void OnBnClickedBrowse();
  void OnBnClickedUpgrade();
  void OnBnClickedUpgradeCancel();
  void OnBnClickedRefreshRate();

  QTreeWidget* GetRateList() const { return m_pRateList; }
  QComboBox* GetMaintainCombo() const { return m_pMaintainCombo; }
  QProgressBar* GetProgress() const { return m_pProgress; }
  QLineEdit* GetFirmwareEdit() const { return m_pFirmwareEdit; }

 private:
  CDlgMain* m_pMain;
  QTreeWidget* m_pRateList = nullptr;
  QLineEdit* m_pFirmwareEdit = nullptr;
  QComboBox* m_pMaintainCombo = nullptr;
  QProgressBar* m_pProgress = nullptr;
};
