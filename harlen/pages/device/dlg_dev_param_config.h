// CDlgDevParamConfig: the device page: device name, time zone, daylight saving and the device time.
// Its controls and its part of the configuration records come with the page's
// own work; until then it is an empty page of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"
#include "harlen/link/sections/user_cfg.h"

class CDlgDevParamConfig : public CRgbPage {
 public:
  enum { IDD = 112 };

  explicit CDlgDevParamConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
  // Shows the NVR's time (status 4100).
  void ShowDeviceTime(const DeviceTime& time);
};
