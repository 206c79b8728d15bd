// CSkinStatic: a static whose client area is filled with the light skin colour
// 0xF8FFF8 and whose text is drawn over it in the parent's font.
#pragma once

#include <QLabel>

#include "platform/win_types.h"

class CSkinStatic : public QLabel {
 public:
  static constexpr COLORREF kFillColor = 0xF8FFF8;

  explicit CSkinStatic(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
