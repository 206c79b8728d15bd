// CDlgHardwareConfig: the disks page: the NVR's disks and their formatting.
// Its controls come with the page's own work; until then it is an empty page
// of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"
#include "harlen/link/sections/user_cfg.h"

class CDlgHardwareConfig : public CRgbPage {
 public:
  enum { IDD = 114 };

  explicit CDlgHardwareConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows how far a disk format has come (control code 1).
  void ShowFormatProgress(const FormatProgress& progress);
  // Shows g_DiskStatus (status 4097).
  void FillDiskList();
};
