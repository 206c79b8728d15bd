// CKbConfig: the settings page of the serial PTZ keyboard (template 234, a
// child dialog that the system settings window hosts as one of its tabs). It
// shows "KeyboardParams.txt", lets the user change the port settings and the
// keyboard mode (`g_nKbConfigMode`: the selected pane's camera or every
// pane's), writes the file and restarts or stops the running keyboard.
#pragma once

#include <functional>

#include "platform/dialog.h"

class CPTZKeyboardCtrl;
class CResMsgDlg;
class QComboBox;
class QLineEdit;
class QRadioButton;

class CKbConfig : public CDialog {
 public:
  enum { IDD = 234 };
  enum {
    IDC_KB_SWITCH = 1114,
    IDC_KB_BANDRATE = 1115,
    IDC_KB_DATABITS = 1050,
    IDC_KB_STOPBITS = 1052,
    IDC_KB_VERIFY = 1054,
    IDC_KB_FLOWCONTROL = 1116,
    IDC_KB_COMPORT = 1048,
    IDC_KB_FOCUS_DEVICE = 1380,
    IDC_KB_ALL_DEVICES = 1381,
    IDC_KB_SAVE = 1312,
    IDC_KB_SWITCH_LABEL = 1297,
    IDC_KB_COMPORT_LABEL = 1300,
    IDC_KB_BANDRATE_LABEL = 1301,
    IDC_KB_DATABITS_LABEL = 1305,
    IDC_KB_STOPBITS_LABEL = 1309,
    IDC_KB_VERIFY_LABEL = 1310,
    IDC_KB_FLOWCONTROL_LABEL = 1311,
  };
  // Entries of the on/off list.
  enum { kEnableEntry = 0, kDisableEntry = 1 };

  // `keyboard` gives the main window's keyboard object (null while there is
  // none); without it the page only writes the file.
  explicit CKbConfig(std::function<CPTZKeyboardCtrl*()> keyboard = {}, QWidget* parent = nullptr);
  ~CKbConfig() override;

  BOOL OnInitDialog() override;
  // Enter and Escape do nothing on a page.
  void OnOK() override {}
  void OnCancel() override {}

  void OnCbnSelchangeSwitch();
  void OnBnClickedSave();

  // The `Switch` value of the file as the page read it (0 without a file).
  int GetKbSwitch() const { return m_nKbSwitch; }
  CResMsgDlg* MsgDlg() const { return m_pMsgDlg; }

 private:
  void FillLists();
  void SetLabels();
  void LoadParams();
  void EnablePortControls(bool enable);
  void ShowMessage(UINT stringId);
  CPTZKeyboardCtrl* Keyboard() const;

  std::function<CPTZKeyboardCtrl*()> m_keyboard;
  CResMsgDlg* m_pMsgDlg = nullptr;
  int m_nKbSwitch = 0;

  QComboBox* m_pSwitch = nullptr;
  QComboBox* m_pBandRate = nullptr;
  QComboBox* m_pDataBits = nullptr;
  QComboBox* m_pStopBits = nullptr;
  QComboBox* m_pVerify = nullptr;
  QComboBox* m_pFlowControl = nullptr;
  QLineEdit* m_pComPort = nullptr;
  QRadioButton* m_pFocusDevice = nullptr;
  QRadioButton* m_pAllDevices = nullptr;
};
