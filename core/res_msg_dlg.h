// CResMsgDlg: the program's own message box. It is modeless: ShowMsg sizes the
// window to its text, shows it topmost in the middle of the screen and returns
// at once. OK and Cancel hide it; for type 8 OK also runs the main window's
// exit sequence, for type 9 its action that stops all live video. Those two
// actions belong to the main window, which installs them when it exists.
// Each owner creates one box with itself as parent and reuses it.
#pragma once

#include <functional>

#include "platform/dialog.h"

class CResMsgDlg : public CDialog {
 public:
  enum { IDD = 209 };
  enum { IDC_MSG_OK = 1000, IDC_MSG_CANCEL = 1001, IDC_MSG_TEXT = 1284 };

  explicit CResMsgDlg(QWidget* parent = nullptr);

  // The main window's actions run by OK for types 8 and 9; an empty function
  // stands for "not there" (no main window, no video toolbar).
  static void SetExitProgramAction(std::function<void()> action);
  static void SetStopAllVideoAction(std::function<void()> action);

  // Shows a message and returns at once; `flag` is not used. Types 5 to 9 show
  // OK and Cancel and set their flag; any other type shows OK alone.
  void ShowMsg(const CStringW& text, int type, int flag = 0);
  void ShowMsgA(const CString& text, int type, int flag = 0);  // ANSI text

  // The flag of a confirming type (5 to 9) set by the last ShowMsg; 0 otherwise.
  int GetTypeFlag(int type) const;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnBnClickedOk();
  void OnBnClickedCancel();

 private:
  void Show(const QString& text, int type, bool ansiCounts);
  void SizeWindow(SIZE window);
  void Centre(SIZE window);

  int m_nFlags[5] = {0, 0, 0, 0, 0};  // types 5, 6, 7, 8 (exit on OK), 9 (stop video on OK)
  bool m_bInited = false;
};
