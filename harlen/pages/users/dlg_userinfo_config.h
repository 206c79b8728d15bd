// CDlgUserinfoConfig: the users page: the NVR's accounts and the users online.
// Its controls and its part of the configuration records come with the page's
// own work; until then it is an empty page of the main window.
#pragma once

#include "harlen/link/controls/rgb_page.h"
#include "harlen/link/sections/user_cfg.h"

class CDlgUserinfoConfig : public CRgbPage {
 public:
  enum { IDD = 116 };

  explicit CDlgUserinfoConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
  // Shows the users logged in to the NVR (status 4099).
  void FillOnlineUsers(const OnlineUsers& users);
};
