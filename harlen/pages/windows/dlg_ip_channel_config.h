// CDlgIpChannelConfig: the IP channel window: which network camera feeds which of the NVR's channels.
// A window of its own with its own NVR link; its controls and its link come
// with the window's own work. Until then it opens empty.
#pragma once

#include <cstdint>

#include "harlen/link/controls/rgb_dialog.h"

class CDlgIpChannelConfig : public CRgbDialog {
 public:
  enum { IDD = 111 };

  explicit CDlgIpChannelConfig(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}

  // The NVR's address, copied from the library's settings when the window is made.
  void SetNvrAddress(const char* host, uint16_t port);
  // Connects to the NVR and asks for the window's section, every time the window is shown.
  void ConnectNvr();

 private:
  char m_szHost[260] = {};
  uint16_t m_nPort = 0;
};
