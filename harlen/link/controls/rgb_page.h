// CRgbPage: a tab page of the main configuration window.
//
// A page is a dialog of its own inside the main window's tab control. Enter
// and Escape do not end the page: they go on to the main window, whose OK
// (save-all) and Cancel they are.
//
// A page that shows a record sets its enable boxes and then posts a click of
// each (PostClick): the boxes' handlers run afterwards on the window's thread,
// set the enable state of the controls that depend on them and store the
// same values again.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"

// wParam: the id of the control whose click was posted.
constexpr UINT WM_HARLEN_POSTED_CLICK = WM_USER + 1101;

class CRgbPage : public CRgbDialog {
 public:
  explicit CRgbPage(UINT nIDTemplate, QWidget* parent = nullptr) : CRgbDialog(nIDTemplate, parent) {}

  void OnOK() override {}
  void OnCancel() override {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Queues a click of control `id`: OnCommand(id) runs when the message comes.
  void PostClick(int id);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
