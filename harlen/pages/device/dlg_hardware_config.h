// CDlgHardwareConfig: the disks page "硬盘管理": the NVR's disks from the disk
// status (their use and state editable on the record), formatting a disk and
// following its progress, and refreshing the list.
#pragma once

#include "harlen/link/controls/rgb_page.h"
#include "harlen/link/sections/user_cfg.h"

class CDlgMain;
class QProgressBar;
class QTreeWidget;

class CDlgHardwareConfig : public CRgbPage {
 public:
  enum { IDD = 114 };
  enum {
    IDC_COMBO_DISK = 1005,
    IDC_COMBO_MODE = 1079,
    IDC_COMBO_STATE = 1007,
    IDC_BTN_FORMAT = 1100,
    IDC_LIST_DISKS = 1098,
    IDC_BTN_REFRESH = 1099,
    IDC_PROGRESS = 1159,
    IDC_STATIC_PROGRESS = 1160,
  };
  // The result of a format progress reply.
  enum { kFormatStarted = 0, kFormatRunning = 1, kFormatDone = 2, kFormatFailed = 3 };

  explicit CDlgHardwareConfig(CDlgMain* main, QWidget* parent = nullptr) : CRgbPage(IDD, parent), m_pMain(main) {}

  BOOL OnInitDialog() override;
  // Shows how far a disk format has come (control code 1).
  void ShowFormatProgress(const FormatProgress& progress);
  // Shows g_DiskStatus (status 4097).
  void FillDiskList();

  bool IsBusy() const { return m_nBusy != 0; }
  QTreeWidget* GetList() const { return m_pList; }
  QProgressBar* GetProgress() const { return m_pProgress; }

 private:
  int SelectedDisk() const;  // -1 when none
  void ShowSelectedDisk();
  void OnModeChanged(int id);
  void OnFormat();
  void OnRefresh();

  CDlgMain* m_pMain;
  QTreeWidget* m_pList = nullptr;
  QProgressBar* m_pProgress = nullptr;
  int32_t m_nBusy = 0;
};
