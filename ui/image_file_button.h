// CImageFileButton: a tab button of the main window, drawn from a picture file
// stretched over it, with its caption centred on one line in 11-point "宋体".
#pragma once

#include <QPushButton>

#include "platform/win_types.h"
#include "ui/gdi_manager.h"

class CImageFileButton : public QPushButton {
 public:
  explicit CImageFileButton(QWidget* parent = nullptr);

  // ANSI path of the picture file; TRUE, and redraws.
  BOOL SetImageFile(const CString& path);
  void SetCaptionW(const CStringW& caption);
  void SetTextColor(COLORREF colour);
  void Refresh() {}  // has no effect

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CGdiManger m_gdi;
  CString m_strImageFile;
  CStringW m_strCaption;
  COLORREF m_crText = 0;
};
