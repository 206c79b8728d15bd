// CDlgRecParam: the record parameter page: record and picture-grab settings of each channel.
// Its controls and its part of the configuration records come with the page's
// own work; until then it is an empty page of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class CDlgRecParam : public CRgbPage {
 public:
  enum { IDD = 122 };

  explicit CDlgRecParam(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
};
