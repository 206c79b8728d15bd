// CLoginDlg: the modal login window. At start-up it checks a local account or
// logs in to the cloud account service; in lock mode it asks the logged-in
// user's password again (before the program closes, or to unlock). Wrong input
// never closes it: the message box shows why and the user tries again.
// The rules themselves live in core/login_logic.h.
#pragma once

#include "core/res_msg_dlg.h"
#include "platform/dialog.h"
#include "ui/gdi_manager.h"

class CImageButton;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CLoginDlg : public CDialog {
 public:
  enum { IDD = 130 };
  enum {
    IDC_LOGIN = 1000, IDC_CANCEL = 1001, IDC_USER = 1002, IDC_PASSWORD = 1003, IDC_USER_LABEL = 1004,
    IDC_PASSWORD_LABEL = 1005, IDC_SAVE_PASSWORD = 1006, IDC_SVR_ADDR_LABEL = 1007, IDC_SVR_ADDR = 1008,
    IDC_SVR_PORT_LABEL = 1009, IDC_SVR_PORT = 1010, IDC_SELECT_SERVER = 1011, IDC_AUTO_LOGIN = 1012,
    IDC_CLOUD = 1013, IDC_CLOUD_ADDR = 1014, IDC_CLOUD_ADDR_LABEL = 1015,
  };
  // Start-up passes (null, FALSE, FALSE); the exit passes lock mode.
  CLoginDlg(QWidget* parent, BOOL bLock, BOOL bUnlock);
  ~CLoginDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override { OnBnClickedLogin(); }  // Enter logs in
  void OnCancel() override {}                    // Escape does nothing

  void OnBnClickedLogin();
  void OnBnClickedCancel();
  void OnCbnSelchangeUser();
  void OnBnClickedSavePassword();
  void OnBnClickedAutoLogin();
  void OnBnClickedCloud();
  void OnBnClickedSelectServer();

  // The message box, so a caller (and a test) can see what was shown.
  CResMsgDlg* MsgDlg() const { return m_pMsgDlg; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void InitUserCombo();
  void ShowMessage(int stringId);
  void ShowText(const QString& text);
  void RememberLogin(const CString& name, const CString& password);
  void LoginCloud(const CString& name, const CString& password);
  bool ResolveLoginServer();
  CString Text(int id) const;
  bool Checked(int id) const;
  void SetChecked(int id, bool checked);

  CResMsgDlg* m_pMsgDlg = nullptr;
  BOOL m_bLock;
  BOOL m_bUnlock;
  CGdiManger m_skin;
  CImageButton* m_btnLogin = nullptr;
  CImageButton* m_btnCancel = nullptr;
};
