// CRgbPage: a tab page of the main configuration window.
//
// A page is a dialog of its own inside the main window's tab control. Enter
// and Escape do not end the page: they go on to the main window, whose OK
// (save-all) and Cancel they are.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"

class CRgbPage : public CRgbDialog {
 public:
  explicit CRgbPage(UINT nIDTemplate, QWidget* parent = nullptr) : CRgbDialog(nIDTemplate, parent) {}

  void OnOK() override {}
  void OnCancel() override {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
