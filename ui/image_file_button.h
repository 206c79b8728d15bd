// CImageFileButton: a tab button of the main window, drawn from a picture file
// stretched over it, with its caption centred on one line in 11-point "宋体".
// An icon, when set, is drawn at its own size left of the caption, the two
// centred together.
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
  const CStringW& GetCaptionW() const { return m_strCaption; }
  // The width the caption and the icon take, in the caption's font.
  int ContentWidth() const;
  void SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const { return m_crText; }
  // ANSI path of the icon's picture file; empty: no icon.
  void SetIconFile(const CString& path);
  void Refresh() {}  // has no effect

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CGdiManger m_gdi;
  CString m_strImageFile;
  CString m_strIconFile;
  CStringW m_strCaption;
  COLORREF m_crText = 0;
};
