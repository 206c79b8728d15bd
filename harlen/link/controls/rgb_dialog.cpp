#include "harlen/link/controls/rgb_dialog.h"

#include <QPalette>

#include "harlen/link/entry/harlen_resources.h"

CRgbDialog::CRgbDialog(UINT nIDTemplate, QWidget* parent) : CDialog(nIDTemplate, parent) {
  const QColor colour(GetRValue(kHarlenDialogColour), GetGValue(kHarlenDialogColour),
                      GetBValue(kHarlenDialogColour));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, colour);
  setPalette(palette);  // labels inherit it and paint no background of their own
  setAutoFillBackground(true);
}

bool CRgbDialog::FindTemplate(UINT id, DialogTemplate& out) const { return harlenres::FindDialog(id, out); }
