// CDlgChannelConfig: the channel page: display settings and camera alarms of each channel.
// Its controls and its part of the configuration records come with the page's
// own work; until then it is an empty page of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class CDlgChannelConfig : public CRgbPage {
 public:
  enum { IDD = 102 };

  explicit CDlgChannelConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
};
