// CConfigPanel: a child dialog of the configuration manager. Enter and Escape
// never close it (the keys are swallowed), and when it is given a background
// picture ("Images\\Pagebk.png" ... of the program folder) the skin manager
// draws it over the client area.
#pragma once

#include "platform/dialog.h"
#include "ui/gdi_manager.h"

class CConfigPanel : public CDialog {
 public:
  // `background`: the picture's path below the program folder, in the
  // program's form ("Images\\Pagebk.jpg"); null for none.
  explicit CConfigPanel(UINT nIDTemplate, QWidget* parent = nullptr, const char* background = nullptr);

  void OnOK() override {}
  void OnCancel() override {}

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const char* m_pszBackground;
  CGdiManger m_skin;
};
