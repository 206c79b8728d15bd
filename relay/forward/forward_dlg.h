// CForwardDlg: the forwarding server's settings page of the system settings
// window: the local address to serve on, the port, how many live videos it
// forwards and how many users it takes, the switch that starts or stops it
// ("OK") and "Modify", which gives a running server new limits. The settings
// are kept in "Config\ForwardInfo.xml"; 10 s after the page is made (local
// login only) the saved server runs again. The logic is CForwardServer's.
#pragma once

#include "platform/dialog.h"
#include "relay/forward/forward_server.h"

class CResMsgDlg;

class CForwardDlg : public CDialog {
 public:
  enum { IDD = 336 };
  enum {
    IDC_PORT_LABEL = 1009,
    IDC_PORT = 1010,
    IDC_USER_COUNT_LABEL = 1011,
    IDC_USER_COUNT = 1012,
    IDC_CHANNEL_COUNT = 1050,
    IDC_SWITCH_LABEL = 1368,
    IDC_ENABLE = 1369,
    IDC_IP_LABEL = 1370,
    IDC_IP = 1371,
    IDC_CHANNEL_COUNT_LABEL = 1372,
    IDC_OK = 1373,
    IDC_MODIFY = 1390,
  };
  enum { TIMER_RESTORE = 1001 };
  static constexpr UINT kRestoreDelayMs = 10000;

  explicit CForwardDlg(QWidget* parent = nullptr);
  ~CForwardDlg() override;

  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;

  void OnBnClickedOk();
  void OnBnClickedModify();

  CForwardServer& Server() { return m_server; }
  CResMsgDlg* MessageBox() const { return m_pMsgDlg; }

 protected:
  // Enter and Escape do nothing on the page.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void ReadControls();   // controls -> values
  void ShowValues();     // values -> controls
  void OnCountEdited(int id);
  void Show(const ForwardStepResult& step);

  CForwardServer m_server;
  CResMsgDlg* m_pMsgDlg = nullptr;
};
