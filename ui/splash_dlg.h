// CSplashDlg: the start-up window. It covers the whole screen with the picture
// "Images\\Splash.png" of the program folder, takes the configured title, ignores
// Enter and Escape, and shows one line of progress text (ShowText).
#pragma once

#include "platform/dialog.h"
#include "ui/gdi_manager.h"

class CSplashDlg : public CDialog {
 public:
  enum { IDD = 129 };
  static constexpr COLORREF kTextColor = 0x60A0FF;  // a light orange, read on the picture's dark top

  explicit CSplashDlg(QWidget* parent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override {}      // Enter is swallowed
  void OnCancel() override {}  // so is Escape

  // Replaces the line of text shown at the top left: (5, 10) to (screen width - 100, 35).
  void ShowText(const CStringW& text);
  QRect TextRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CGdiManger m_gdi;
  CStringW m_strText;
};
