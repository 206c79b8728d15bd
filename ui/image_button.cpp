#include "ui/image_button.h"

#include <QPainter>
#include <algorithm>

#include "platform/codepage.h"
#include "ui/draw_text.h"
#include "ui/sys_colors.h"

namespace {

// The face through a colour matrix applied to unpremultiplied colour, alpha kept.
template <class Transform>
QImage Recolored(const QImage& face, Transform transform) {
  QImage image = face.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) line[x] = transform(line[x]);
  }
  return image;
}

int Clamp255(double v) { return static_cast<int>(std::clamp(v + 0.5, 0.0, 255.0)); }

QRgb Brighter(QRgb c) {
  // Red, green and blue times 1.05, plus 0.05 of full scale.
  auto f = [](int v) { return Clamp255(v * 1.05 + 0.05 * 255); };
  return qRgba(f(qRed(c)), f(qGreen(c)), f(qBlue(c)), qAlpha(c));
}

QRgb Greyed(QRgb c) {
  int grey = Clamp255(0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c));
  return qRgba(grey, grey, grey, qAlpha(c));
}

QImage Compose(const QImage& background, const QImage& face, QPoint at) {
  QImage picture = background;
  if (!face.isNull()) {
    QPainter painter(&picture);
    painter.drawImage(at, face);
  }
  return picture;
}

// A caption's face stretched to the button: its corners stay as they are,
// its edges and middle stretch, so a face made for a short caption takes a
// longer one inside its frame.
QImage Fitted(const QImage& face, QSize size) {
  if (face.isNull() || face.size() == size || size.isEmpty()) return face;
  const int border = std::max(0, std::min({4, face.width() / 2 - 1, face.height() / 2 - 1}));
  QImage out(size, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  QPainter painter(&out);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const int fw = face.width(), fh = face.height(), w = size.width(), h = size.height();
  const int xs[2][4] = {{0, border, fw - border, fw}, {0, border, w - border, w}};
  const int ys[2][4] = {{0, border, fh - border, fh}, {0, border, h - border, h}};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const QRect from(xs[0][column], ys[0][row], xs[0][column + 1] - xs[0][column], ys[0][row + 1] - ys[0][row]);
      const QRect to(xs[1][column], ys[1][row], xs[1][column + 1] - xs[1][column], ys[1][row + 1] - ys[1][row]);
      if (!from.isEmpty() && !to.isEmpty()) painter.drawImage(to, face, from);
    }
  }
  return out;
}

}  // namespace

CImageButton::CImageButton(QWidget* parent) : QPushButton(parent) {
  setAttribute(Qt::WA_Hover);
  connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
}

CImageButton::~CImageButton() = default;

BOOL CImageButton::LoadStdFace(std::unique_ptr<CPictureResource> picture, bool loaded) {
  m_pStdImage = loaded ? std::move(picture) : nullptr;
  m_bHaveBitmaps = FALSE;
  update();
  return loaded ? TRUE : FALSE;
}

BOOL CImageButton::SetImageResource(UINT id, const char* type) {
  auto picture = std::make_unique<CPictureResource>();
  bool loaded = picture->Load(id, type);
  return LoadStdFace(std::move(picture), loaded);
}

BOOL CImageButton::SetImageResourceByName(const char* name, const char* type) {
  auto picture = std::make_unique<CPictureResource>();
  bool loaded = picture->Load(name, type);
  return LoadStdFace(std::move(picture), loaded);
}

BOOL CImageButton::SetAltImageResource(UINT id, const char* type) {
  auto picture = std::make_unique<CPictureResource>();
  if (!picture->Load(id, type)) {
    m_pAltImage.reset();
    m_bHaveAltImage = FALSE;
    return FALSE;
  }
  m_pAltImage = std::move(picture);
  m_bHaveAltImage = TRUE;
  m_bHaveBitmaps = FALSE;
  update();
  return TRUE;
}

void CImageButton::SetButtonMode(int mode) {
  m_bDisabled = mode == 2 ? TRUE : FALSE;
  if (mode == 0) m_nCurType = 0;
  if (mode == 1 && m_bHaveAltImage) m_nCurType = 1;
  update();
}

void CImageButton::EnableToggle(BOOL enable) { m_bIsToggle = enable && m_bHaveAltImage ? TRUE : FALSE; }

void CImageButton::OnClicked() {
  if (m_bIsToggle && m_bHaveAltImage && !m_bDisabled) {
    m_nCurType = m_nCurType ? 0 : 1;
    update();
  }
}

void CImageButton::SetCaptionW(const CStringW& caption) {
  m_strCaption = caption;
  const BOOL hasCaption = caption.empty() ? FALSE : TRUE;
  if (hasCaption != m_bHasCaption) m_bHaveBitmaps = FALSE;  // a captioned face covers the button
  m_bHasCaption = hasCaption;
  update();
}

void CImageButton::SetCaptionA(const CString& caption) { m_strCaptionA = caption; }

void CImageButton::SetTextColor(COLORREF colour) {
  m_crText = colour;
  m_bColorPinned = colour == kHoverTextColor ? TRUE : FALSE;
  update();
}

void CImageButton::SetToolTipText(const CString& text, BOOL activate) {
  SetToolTipTextW(codepage::GbkToWide(text), activate);
}

void CImageButton::SetToolTipTextW(const CStringW& text, BOOL activate) {
  // The tip shows after the automatic delay and stays ten times as long.
  m_strToolTip = QString::fromStdWString(text);
  setToolTipDuration(10 * 2000);
  setToolTip(activate ? m_strToolTip : QString());
}

void CImageButton::SetBackgroundDC(const QImage& parentPixels) {
  if (parentPixels.isNull()) return;
  m_background = parentPixels.copy(geometry()).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  m_bHaveBitmaps = FALSE;
  update();
}

void CImageButton::BuildBitmaps() {
  QImage background = m_background;
  if (background.size() != size()) {
    background = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    background.fill(Qt::transparent);  // the parent shows through
    if (!m_background.isNull()) {
      QPainter painter(&background);
      painter.drawImage(0, 0, m_background);
    }
  }
  // A face under a caption covers the whole button; a picture button keeps its picture's size.
  auto face = [this](const QImage& picture) { return m_bHasCaption ? Fitted(picture, size()) : picture; };
  QImage std = face(m_pStdImage ? m_pStdImage->Bitmap() : QImage());
  m_stdNormal = Compose(background, std, QPoint(0, 0));
  m_stdPressed = Compose(background, std, QPoint(1, 1));
  m_stdHover = Compose(background, std.isNull() ? std : Recolored(std, Brighter), QPoint(0, 0));
  m_disabled = Compose(background, std.isNull() ? std : Recolored(std, Greyed), QPoint(0, 0));
  QImage alt = face(m_pAltImage ? m_pAltImage->Bitmap() : QImage());
  if (!alt.isNull()) {
    m_altNormal = Compose(background, alt, QPoint(0, 0));
    m_altPressed = Compose(background, alt, QPoint(1, 1));
    m_altHover = Compose(background, Recolored(alt, Brighter), QPoint(0, 0));
  }
  m_bHaveBitmaps = TRUE;
}

void CImageButton::paintEvent(QPaintEvent*) {
  if (!m_bHaveBitmaps) BuildBitmaps();
  const QImage* picture;
  if (m_bDisabled) {
    picture = &m_disabled;
  } else {
    bool alt = m_nCurType == 1 && m_bHaveAltImage;
    if (isDown()) {
      picture = alt ? &m_altPressed : &m_stdPressed;
    } else if (m_bIsHovering) {
      picture = alt ? &m_altHover : &m_stdHover;
    } else {
      picture = alt ? &m_altNormal : &m_stdNormal;
    }
  }
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(0, 0, *picture);
  if (m_bHasCaption) {
    painter.setPen(ToQColor(m_crText));
    DrawTextW(painter, QString::fromStdWString(m_strCaption), rect(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

void CImageButton::enterEvent(QEnterEvent* event) {
  m_bIsHovering = TRUE;
  if (!m_bColorPinned) m_crText = kHoverTextColor;
  update();
  QPushButton::enterEvent(event);
}

void CImageButton::leaveEvent(QEvent* event) {
  m_bIsHovering = FALSE;
  if (!m_bColorPinned) m_crText = 0;
  update();
  QPushButton::leaveEvent(event);
}

void CImageButton::resizeEvent(QResizeEvent* event) {
  m_bHaveBitmaps = FALSE;
  QPushButton::resizeEvent(event);
}
