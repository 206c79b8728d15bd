// CDlgHolidayConfig: the holidays page: the holiday periods of the common section.
// Its controls and its part of the configuration records come with the page's
// own work; until then it is an empty page of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class CDlgHolidayConfig : public CRgbPage {
 public:
  enum { IDD = 125 };

  explicit CDlgHolidayConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
};
