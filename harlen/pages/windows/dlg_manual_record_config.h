// CDlgManualRecordConfig: the manual record window: how recording is driven on each channel.
// A window of its own with its own NVR link; its controls and its link come
// with the window's own work. Until then it opens empty.
#pragma once

#include <cstdint>

#include "harlen/link/controls/rgb_dialog.h"

class CDlgManualRecordConfig : public CRgbDialog {
 public:
  enum { IDD = 120 };

  explicit CDlgManualRecordConfig(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}

  // Connects to the NVR and asks for the window's section, every time the window is shown.
  void ConnectNvr();
};
