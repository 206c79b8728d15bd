// CDlgNetConfig: the network page: addresses, DDNS, NTP, e-mail and management hosts.
// Its controls and its part of the configuration records come with the page's
// own work; until then it is an empty page of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class CDlgNetConfig : public CRgbPage {
 public:
  enum { IDD = 103 };

  explicit CDlgNetConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
};
