// CDlgParamConfig: the video parameter page: streams and record schedules of each channel.
// Its controls and its part of the configuration records come with the page's
// own work; until then it is an empty page of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class CDlgParamConfig : public CRgbPage {
 public:
  enum { IDD = 106 };

  explicit CDlgParamConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
};
