#include "harlen/link/controls/shade_button.h"

#include <QCheckBox>
#include <QEnterEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>

#include "harlen/link/entry/harlen_resources.h"

namespace {

constexpr int kMargin = 4;
constexpr unsigned kIconNormal = 107;
constexpr unsigned kIconHover = 108;

QPixmap ShadeOf(const QSize& size, const QColor& top, const QColor& bottom) {
  QPixmap pixmap(size.expandedTo(QSize(1, 1)));
  QPainter painter(&pixmap);
  QLinearGradient gradient(0, 0, 0, pixmap.height());
  gradient.setColorAt(0, top);
  gradient.setColorAt(1, bottom);
  painter.fillRect(pixmap.rect(), gradient);
  return pixmap;
}

}  // namespace

CShadeButton::CShadeButton(Kind kind, QWidget* parent)
    : QPushButton(parent), m_kind(kind), m_textColour(palette().color(QPalette::ButtonText)) {
  setCheckable(kind != kPush);
  setAutoExclusive(kind == kRadio);
  setAttribute(Qt::WA_Hover);
  setMouseTracking(true);
}

CShadeButton::Kind CShadeButton::KindOf(const QWidget* control) {
  if (qobject_cast<const QCheckBox*>(control) != nullptr) return kCheck;
  if (qobject_cast<const QRadioButton*>(control) != nullptr) return kRadio;
  return kPush;
}

void CShadeButton::SetIcons() {
  const QPixmap normal(QString::fromStdString(harlenres::IconFile(kIconNormal)));
  QPixmap hover(QString::fromStdString(harlenres::IconFile(kIconHover)));
  if (hover.isNull()) hover = normal;
  SetIcons(normal, hover, hover);
}

void CShadeButton::SetIcons(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed) {
  m_iconNormal = normal;
  m_iconHover = hover;
  m_iconPressed = pressed;
  m_iconAlign = kIconLeft;
  update();
}

void CShadeButton::SetTextColor(const QColor& colour) {
  m_textColour = colour;
  update();
}

void CShadeButton::MakeShades() {
  const QColor face = palette().color(QPalette::Button);
  m_shades[kNormal] = ShadeOf(size(), face.lighter(112), face.darker(108));
  m_shades[kHover] = ShadeOf(size(), face.lighter(125), face.lighter(102));
  m_shades[kPressed] = ShadeOf(size(), face.darker(115), face.lighter(102));
  m_shades[kDisabled] = ShadeOf(size(), face, face);
}

void CShadeButton::resizeEvent(QResizeEvent* event) {
  QPushButton::resizeEvent(event);
  MakeShades();
}

void CShadeButton::enterEvent(QEnterEvent* event) {
  m_bHover = true;
  update();
  QPushButton::enterEvent(event);
}

void CShadeButton::leaveEvent(QEvent* event) {
  m_bHover = false;
  update();
  QPushButton::leaveEvent(event);
}

void CShadeButton::paintEvent(QPaintEvent*) {
  if (m_shades[kNormal].size() != size()) MakeShades();
  QPixmap buffer(size());
  {
    QPainter painter(&buffer);
    DrawLook(painter);
  }
  QPainter(this).drawPixmap(0, 0, buffer);
}

void CShadeButton::DrawLook(QPainter& painter) {
  const bool disabled = !isEnabled();
  const bool pressed = !disabled && (isDown() || isChecked());
  const QRect whole = rect();
  Shade shade = disabled ? kDisabled : pressed ? kPressed : m_bHover ? kHover : kNormal;
  painter.drawPixmap(0, 0, m_shades[shade]);

  QPixmap icon = pressed ? m_iconPressed : (m_bHover && !disabled) ? m_iconHover : m_iconNormal;
  if (disabled && !icon.isNull()) icon = QIcon(icon).pixmap(icon.size(), QIcon::Disabled);
  const QPoint shift = pressed && m_kind == kPush ? QPoint(1, 1) : QPoint(0, 0);
  QRect textArea = whole.adjusted(kMargin, kMargin, -kMargin, -kMargin);
  if (!icon.isNull()) {
    QPoint at;
    switch (m_iconAlign) {
      case kIconLeft:
        at = QPoint(kMargin, (whole.height() - icon.height()) / 2);
        textArea.setLeft(kMargin + icon.width() + kMargin);
        break;
      case kIconRight:
        at = QPoint(whole.width() - kMargin - icon.width(), (whole.height() - icon.height()) / 2);
        textArea.setRight(at.x() - kMargin);
        break;
      case kIconAbove:
        at = QPoint((whole.width() - icon.width()) / 2, kMargin);
        textArea.setTop(kMargin + icon.height());
        break;
    }
    painter.drawPixmap(at + shift, icon);
  }

  // The edge: sunken when pressed, raised otherwise.
  const QColor light = palette().color(QPalette::Light);
  const QColor dark = palette().color(QPalette::Dark);
  painter.setPen(pressed ? dark : light);
  painter.drawLine(whole.topLeft(), whole.topRight());
  painter.drawLine(whole.topLeft(), whole.bottomLeft());
  painter.setPen(pressed ? light : dark);
  painter.drawLine(whole.bottomLeft(), whole.bottomRight());
  painter.drawLine(whole.topRight(), whole.bottomRight());

  painter.setFont(font());
  const int align = Qt::AlignCenter | Qt::TextShowMnemonic;
  if (disabled) {
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(textArea.translated(1, 1), align, text());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textArea, align, text());
  } else {
    painter.setPen(m_textColour);
    painter.drawText(textArea.translated(shift), align, text());
  }
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(whole.adjusted(kMargin - 1, kMargin - 1, -kMargin, -kMargin));
  }
}
