// CDlgAlarmConfig: the alarm page: alarm inputs, their arming times and linkage, system alarms.
// Its controls and its part of the configuration records come with the page's
// own work; until then it is an empty page of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class CDlgAlarmConfig : public CRgbPage {
 public:
  enum { IDD = 115 };

  explicit CDlgAlarmConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
};
