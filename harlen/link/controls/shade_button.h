// CShadeButton: a push button (or check box, or radio button) drawn by itself
// on shaded backgrounds, with an icon.
//
// Looks: disabled (flat, embossed grey text, the icon greyed), pressed or
// checked (the pressed shade, the text and icon 1 pixel right and down on a
// push button, a sunken edge), hover (a lighter shade and the hover icon) and
// normal (a raised edge); with the focus a dotted frame inside the margin.
// Each look is drawn off screen and copied in one block.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QPushButton>

class CShadeButton : public QPushButton {
 public:
  enum Kind { kPush, kCheck, kRadio };
  enum IconAlign { kIconAbove, kIconLeft, kIconRight };

  explicit CShadeButton(Kind kind = kPush, QWidget* parent = nullptr);

  // The kind a template control stands for: a check box, a radio button or a push button.
  static Kind KindOf(const QWidget* control);

  Kind GetKind() const { return m_kind; }
  // Harlen's icons 107 (normal) and 108 (hover; 107 when missing), at the left
  // margin and centred vertically.
  void SetIcons();
  void SetIcons(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed);
  IconAlign GetIconAlign() const { return m_iconAlign; }
  void SetTextColor(const QColor& colour);
  void SetTooltipText(const QString& text) { setToolTip(text); }
  bool IsHover() const { return m_bHover; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  enum Shade { kNormal, kHover, kPressed, kDisabled, kShadeCount };
  void MakeShades();
  void DrawLook(QPainter& painter);

  Kind m_kind;
  IconAlign m_iconAlign = kIconAbove;
  bool m_bHover = false;
  QColor m_textColour;
  QPixmap m_shades[kShadeCount];
  QPixmap m_iconNormal, m_iconHover, m_iconPressed;
};
