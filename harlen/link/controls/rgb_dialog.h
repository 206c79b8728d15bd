// CRgbDialog: the base of every window of Harlen.
//
// Its template comes from Harlen's resources (harlen/link/entry/harlen_resources.h),
// not from the host program's. The dialog is painted light grey, RGB(230, 229,
// 227), and its static texts are drawn transparently on that colour.
#pragma once

#include "platform/dialog.h"

constexpr COLORREF kHarlenDialogColour = RGB(230, 229, 227);

class CRgbDialog : public CDialog {
 public:
  explicit CRgbDialog(UINT nIDTemplate, QWidget* parent = nullptr);

 protected:
  bool FindTemplate(UINT id, DialogTemplate& out) const override;
};
