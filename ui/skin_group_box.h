// CTGroupBox: the skinned group box. Its caption is drawn as " caption ",
// 10 pixels from the left or right edge or centred as the style's alignment
// bits say, over a frame that is left open under it: a single line in the
// shadow colour for a flat style, else an etched pair of shadow and highlight
// lines one pixel apart. A disabled box draws its caption embossed.
#pragma once

#include <QGroupBox>

#include "platform/win_types.h"

enum : DWORD {
  BS_LEFT = 0x100,
  BS_RIGHT = 0x200,
  BS_CENTER = 0x300,
  BS_FLAT = 0x8000,
};

class CTGroupBox : public QGroupBox {
 public:
  explicit CTGroupBox(QWidget* parent = nullptr, DWORD style = 0);

  DWORD GetStyle() const { return m_dwStyle; }
  void SetStyle(DWORD style);

  // The caption's rectangle as it is drawn (with its blanks); empty without a caption.
  QRect CaptionRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  DWORD m_dwStyle;
};
