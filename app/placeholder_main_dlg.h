// The main window while the real one is still to come: a plain window that
// carries the application's property (so a second start can raise it) and
// ends only through the exit password asked by the login dialog in lock mode.
#pragma once

#include <QDialog>

class CPlaceholderMainDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CPlaceholderMainDlg(QWidget* parent = nullptr);
  ~CPlaceholderMainDlg() override;

  // The close button: asks the password again; closes only when it is right.
  void RequestExit();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool m_bExitConfirmed = false;
};
