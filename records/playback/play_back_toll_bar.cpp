#include "records/playback/play_back_toll_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/fixed_text.h"
#include "platform/post_message.h"
#include "platform/string_table.h"
#include "platform/window_registry.h"
#include "records/playback/time_bar_geometry.h"
#include "records/playback/time_bar_images.h"
#include "ui/skin_slider.h"
#include "ui/skin_static.h"

using namespace timebar;

namespace {

constexpr UINT kLabelTexts[3] = {1092, 1093, 1094};  // "H", "M", "S"
constexpr UINT kRowText = 42004;                       // "CH:%d"
constexpr int kLabelX[3] = {12, 30, 48};
constexpr int kLabelY = 16;
constexpr int kLabelSize[2] = {12, 14};
constexpr int kCornerX = 12;
constexpr int kCornerY = 1;
// The corner's Arial 16 is a cell height; its glyphs are 12 pixels, so that
// "00:00:00" fits the 50-pixel corner.
constexpr long kCornerFontHeight = 12;
constexpr long kCornerWidth = 50;
constexpr QRgb kBackground = qRgb(248, 255, 248);

// A font 14 pixels high from the top of its tallest letter to the bottom of
// its lowest, as the labels' 12 x 14 places need: letters of 11 pixels.
QFont LabelFont(bool bold) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  font.setWeight(bold ? QFont::Black : QFont::Normal);
  return font;
}

// Draws a whole bar image at (x, y), or its part from column srcX, `width` wide.
void Put(QPainter& painter, CRasterImage& image, long x, long y, long srcX = 0, long width = -1) {
  if (!image.IsValid()) return;
  const long h = static_cast<long>(image.GetHeight());
  if (width < 0) width = static_cast<long>(image.GetWidth()) - srcX;
  width = std::min(width, static_cast<long>(image.GetWidth()) - srcX);
  if (width <= 0) return;
  image.DrawTransparent(&painter, x, y, width, h, srcX, 0, width, h);
}

}  // namespace

PlayBackChannel::PlayBackChannel() = default;

CPlayBackTollBar::CPlayBackTollBar(HWND owner, QWidget* parent) : CDialog(IDD, parent), m_hOwner(owner) {}

CPlayBackTollBar::~CPlayBackTollBar() = default;

BOOL CPlayBackTollBar::OnInitDialog() {
  CDialog::OnInitDialog();
  const int ids[3] = {IDC_LABEL_H, IDC_LABEL_M, IDC_LABEL_S};
  for (int i = 0; i < 3; ++i) {
    m_pLabels[i] = ReplaceDlgItem(ids[i], new CSkinStatic(this));
    m_pLabels[i]->setText(LoadStringW(kLabelTexts[i]));
    m_pLabels[i]->setAlignment(Qt::AlignCenter);
    // A click on a label reaches the bar, which switches the scale.
    m_pLabels[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  m_pSlider = ReplaceDlgItem(IDC_SLIDER, new CSkinSlider(this));
  m_pSlider->setRange(0, kDaySeconds);
  QObject::connect(m_pSlider, &QAbstractSlider::actionTriggered, this, [this](int action) { OnSliderAction(action); });
  MarkScaleLabel();
  m_bInited = true;
  OnSize(width(), height());
  return TRUE;
}

const PlayBackChannel* CPlayBackTollBar::GetRow(int row) const {
  auto it = m_rows.find(row);
  return it != m_rows.end() && it->second.nRow == row ? &it->second : nullptr;
}

bool CPlayBackTollBar::IsSet(int row) const { return GetRow(row) != nullptr; }

// --- rows ---

int CPlayBackTollBar::SetRow(const char* dayMap, const char* name, int row) {
  if (row < 0) return -1;
  if (row * kRowHeight >= static_cast<int>(m_rowsImage.GetHeight())) return -2;
  if (row >= m_nRowCount) return -3;
  PlayBackChannel& channel = m_rows[row];
  if (!channel.image) {
    channel.image = std::make_unique<CRasterImage>();
    if (!CreateBarImage(*channel.image, kDayMinutes, kRowImageHeight)) channel.image.reset();
  }
  std::memset(channel.szDayMap, 0, sizeof(channel.szDayMap));
  if (dayMap) std::memcpy(channel.szDayMap, dayMap, strnlen(dayMap, kDayMinutes));
  if (name) {
    CopyFixedText(channel.szName, name);
  } else {
    std::snprintf(channel.szName, sizeof(channel.szName), "video%d", row);
  }
  channel.nRow = row;
  PaintRow(channel);
  Redraw();
  return 0;
}

void CPlayBackTollBar::PaintRow(PlayBackChannel& channel) {
  const int row = channel.nRow;
  if (channel.image) {
    PaintDayMap(*channel.image, channel.szDayMap, strnlen(channel.szDayMap, kDayMinutes));
    CopyRowInto(*channel.image, m_rowsImage, kRowHeight * row + kRowImageTop);
  }
  HLine(m_rowsImage, kRowHeight * (row + 1), kIndexBlack);
  RowsChanged();
  WriteName(channel);
}

void CPlayBackTollBar::WriteName(const PlayBackChannel& channel) {
  const long top = kRowHeight * channel.nRow;
  m_namesImage.DrawRectangle(0, top, kNameWidth - 2, top + kRowHeight - 2, kIndexBackground, true);
  FittedText(m_namesImage, 0, top + 3, kNameWidth - 4, channel.szName, 14);
  // The separator below the name, as far as the column's right border.
  m_namesImage.DrawLine(0, kNameWidth - 2, top + kRowHeight, top + kRowHeight, RGBQUAD{});
}

int CPlayBackTollBar::SetRowDate(int row, int year, int month, int day) {
  auto it = m_rows.find(row);
  if (it != m_rows.end() && it->second.nRow == row) {
    it->second.nYear = static_cast<unsigned>(year);
    it->second.nMonth = static_cast<unsigned>(month);
    it->second.nDay = static_cast<unsigned>(day);
  }
  return 0;
}

int CPlayBackTollBar::ClearRow(int row) {
  auto it = m_rows.find(row);
  if (it == m_rows.end() || it->second.nRow != row) return 0;
  PlayBackChannel& channel = it->second;
  if (channel.image) {
    ClearBarImage(*channel.image);
    CopyRowInto(*channel.image, m_rowsImage, kRowHeight * row + kRowImageTop);
    RowsChanged();
  }
  m_namesImage.DrawRectangle(0, kRowHeight * row, kNameWidth - 2, kRowHeight * row + 22, kIndexBackground, true);
  channel.nRow = -1;
  channel.nCursor = -1;
  Redraw();
  return 0;
}

void CPlayBackTollBar::RebuildRows() {
  for (auto& [row, channel] : m_rows) {
    if (channel.nRow == row && row < m_nRowCount) PaintRow(channel);
  }
  Redraw();
}

int CPlayBackTollBar::SetRowCursor(int row, int second) {
  if (second < 0 || second > kDaySeconds) return -1;
  auto it = m_rows.find(row);
  if (it == m_rows.end() || it->second.nRow != row) return -2;
  it->second.nCursor = second;
  update();
  return 0;
}

int CPlayBackTollBar::GetRowCursor(int row) const {
  const PlayBackChannel* channel = GetRow(row);
  return channel ? channel->nCursor : 0;
}

// --- scale and view ---

int CPlayBackTollBar::SetScale(int scale) {
  if (scale < kScaleDay || scale > kScaleSeconds) return -1;
  m_nScale = scale;
  if (scale != kScaleDay && m_pSlider) {
    const ScaleView view = ViewFor(scale, m_nCursorTime, m_nBarWidth);
    m_nViewStart = view.viewStart;
    const QSignalBlocker block(m_pSlider);
    m_pSlider->setRange(0, view.sliderMax);
    m_pSlider->setValue(m_nViewStart);
  }
  MarkScaleLabel();
  Redraw();
  return 0;
}

void CPlayBackTollBar::MarkScaleLabel() {
  for (int i = 0; i < 3; ++i) {
    if (m_pLabels[i]) m_pLabels[i]->setFont(LabelFont(i + 1 == m_nScale));
  }
}

int CPlayBackTollBar::SetViewStart(int second) {
  if (second < 1 || second >= kDaySeconds) return -1;
  m_nViewStart = second;
  if (m_pSlider) {
    const QSignalBlocker block(m_pSlider);
    m_pSlider->setValue(second);
  }
  Redraw();
  return 0;
}

int CPlayBackTollBar::SetViewStartHMS(int hours, int minutes, int seconds) {
  return SetViewStart(hours * 3600 + minutes * 60 + seconds);
}

void CPlayBackTollBar::OnSliderAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderPageStepAdd:
    case QAbstractSlider::SliderPageStepSub:
    case QAbstractSlider::SliderMove: break;
    default: return;
  }
  const bool lineDown = action == QAbstractSlider::SliderSingleStepAdd;
  m_nViewStart = ViewStartFromSlider(m_nScale, m_pSlider->sliderPosition(), lineDown);
  if (m_nScale == kScaleMinutes) m_pSlider->setSliderPosition(m_nViewStart);
  Redraw();
  PostMessage(m_hOwner, WM_TIMEBAR_NOTIFY, 0, 0);
}

// --- size ---

void CPlayBackTollBar::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (m_bInited) OnSize(width(), height());
}

void CPlayBackTollBar::OnSize(int cx, int cy) {
  m_nBarWidth = BarWidth(cx);
  m_nWindowHeight = cy;
  const int rowsHeight = RowsHeight(cy);
  if (!m_minuteStrip.IsValid()) {
    // The finer strips do not depend on the size: drawn once.
    BuildMinuteStrip(m_minuteStrip);
    for (int i = 0; i < 3; ++i) BuildSecondStrip(m_secondStrips[i], 8 * i);
  }
  if (m_nBarWidth > 0) {
    BuildHourStrip(m_hourStrip, m_nBarWidth);
  } else {
    m_hourStrip.Destroy();
  }
  if (m_pSlider) m_pSlider->setGeometry(kNameWidth, cy - kBottomHeight, std::max(0, m_nBarWidth), kBottomHeight);
  CreateBarImage(m_rowsImage, kDayMinutes, rowsHeight);
  RowsChanged();
  CreateBarImage(m_namesImage, kNameWidth, rowsHeight);
  m_nRowCount = RowCount(cy);
  VLine(m_namesImage, kNameWidth - 1, 1, rowsHeight, kIndexBlack);
  for (int y = 0; y <= kRowHeight * m_nRowCount; y += kRowHeight) {
    HLine(m_rowsImage, y, kIndexBlack);
    HLine(m_namesImage, y, kIndexBlack);
  }
  CreateBarImage(m_cornerImage, kCornerWidth, 16);
  CreateBarImage(m_clickedImage, kNameWidth, 16);
  for (int i = 0; i < 3; ++i) {
    m_labelRects[i] = QRect(kLabelX[i], kLabelY, kLabelSize[0], kLabelSize[1]);
    if (m_pLabels[i]) m_pLabels[i]->setGeometry(m_labelRects[i]);
  }
  RebuildRows();
}

// --- drawing ---

void CPlayBackTollBar::Redraw() {
  if (!m_bInited) return;
  // The slider's thumb shows at the scales that move through the day.
  if (m_pSlider) m_pSlider->ShowThumb(m_nScale == kScaleDay ? FALSE : TRUE);
  m_bDirty = true;
  update();
}

const QImage& CPlayBackTollBar::Canvas() {
  if (m_bDirty) Compose();
  m_canvas = m_base.copy();
  if (!m_canvas.isNull()) {
    QPainter painter(&m_canvas);
    DrawCursors(painter);
  }
  return m_canvas;
}

void CPlayBackTollBar::Compose() {
  m_bDirty = false;
  m_nRowsSrcX = -1;
  if (m_base.size() != size()) m_base = QImage(size(), QImage::Format_RGB32);
  if (m_base.isNull()) return;
  m_base.fill(kBackground);
  QPainter painter(&m_base);
  ClearBarImage(m_cornerImage);
  char text[16] = "00:00:00";
  if (m_nScale != kScaleDay) FormatHms(m_nViewStart, text);
  FittedText(m_cornerImage, 0, 0, kCornerWidth - 2, text, kCornerFontHeight);
  Put(painter, m_namesImage, 0, kScaleHeight);
  Put(painter, m_cornerImage, kCornerX, kCornerY);
  if (m_nBarWidth > 0 && m_rowsImage.IsValid()) {
    DrawRows(painter);
    DrawScale(painter);
  }
  Put(painter, m_clickedImage, 0, m_nWindowHeight - kBottomHeight);
}

void CPlayBackTollBar::DrawRows(QPainter& painter) {
  const long rowsHeight = static_cast<long>(m_rowsImage.GetHeight());
  long srcX = 0;
  ScaledKey key{m_nScale, 0, 0, m_nBarWidth};
  if (m_nScale != kScaleDay) {
    key.firstMinute = m_nViewStart / 60;
    key.minutes = m_nScale == kScaleMinutes ? m_nBarWidth / 4 : m_nBarWidth / 120 + 1;
    if (m_nScale == kScaleSeconds) srcX = 2 * (m_nViewStart % 60);
  }
  if (!(key == m_scaledRowsKey)) {
    m_scaledRowsKey = ScaledKey{};
    CRasterImage scaled;
    if (m_nScale == kScaleDay) {
      scaled.Copy(m_rowsImage);
      scaled.Resample(m_nBarWidth, rowsHeight, 1);
    } else {
      const long perMinute = m_nScale == kScaleMinutes ? 4 : 120;
      if (!m_rowsImage.Crop(key.firstMinute, 0, key.firstMinute + key.minutes, rowsHeight, &scaled)) return;
      scaled.Resample(static_cast<long>(scaled.GetWidth()) * perMinute, rowsHeight, 1);
    }
    if (!scaled.IsValid()) return;
    m_scaledRows = QImage(static_cast<int>(scaled.GetWidth()), static_cast<int>(rowsHeight), QImage::Format_RGB32);
    if (m_scaledRows.isNull()) return;
    QPainter into(&m_scaledRows);
    Put(into, scaled, 0, 0);
    m_scaledRowsKey = key;
  }
  // The part from column srcX, as wide as the bar.
  const int width = std::min(m_nBarWidth, m_scaledRows.width() - static_cast<int>(srcX));
  if (width <= 0) return;
  painter.drawImage(QPoint(kNameWidth, kScaleHeight), m_scaledRows,
                    QRect(static_cast<int>(srcX), 0, width, m_scaledRows.height()));
  m_nRowsSrcX = static_cast<int>(srcX);
  m_nRowsShown = width;
}

void CPlayBackTollBar::DrawCursors(QPainter& painter) const {
  if (m_nRowsSrcX < 0) return;
  // Each playing row's cursor: a line down its band, from the separator above
  // to the last line of the band.
  const COLORREF cursor = PaletteColour(kIndexCursor);
  const QColor colour(GetRValue(cursor), GetGValue(cursor), GetBValue(cursor));
  for (const auto& [row, channel] : m_rows) {
    if (channel.nRow != row || channel.nCursor < 0) continue;
    const int x = CursorX(m_nScale, channel.nCursor, m_nViewStart, m_nBarWidth);
    if (x < m_nRowsSrcX || x >= m_nRowsSrcX + m_nRowsShown) continue;
    const int top = std::max(0, kRowHeight * row - 1);
    const int bottom = std::min(m_scaledRows.height() - 1, kRowHeight * (row + 1) - 1);
    if (bottom < top) continue;
    painter.fillRect(QRect(kNameWidth + x - m_nRowsSrcX, kScaleHeight + top, 1, bottom - top + 1), colour);
  }
}

void CPlayBackTollBar::DrawScale(QPainter& painter) {
  switch (m_nScale) {
    case kScaleDay: Put(painter, m_hourStrip, kNameWidth, 0); break;
    case kScaleMinutes: Put(painter, m_minuteStrip, kNameWidth, 0, 4 * (m_nViewStart / 60), m_nBarWidth); break;
    default: {
      // A view across the end of one strip is drawn from the next as well.
      const StripSpot spot = SecondStripAt(m_nViewStart);
      const long first = std::min<long>(m_nBarWidth, kSecondStripWidth - spot.x);
      Put(painter, m_secondStrips[spot.strip], kNameWidth, 0, spot.x, first);
      if (first < m_nBarWidth && spot.strip < 2) {
        Put(painter, m_secondStrips[spot.strip + 1], kNameWidth + first, 0, 0, m_nBarWidth - first);
      }
      break;
    }
  }
}

void CPlayBackTollBar::paintEvent(QPaintEvent*) {
  if (m_bDirty) Compose();
  QPainter painter(this);
  if (m_base.isNull()) {
    painter.fillRect(rect(), QColor(kBackground));
    return;
  }
  painter.drawImage(0, 0, m_base);
  DrawCursors(painter);
}

// --- mouse ---

void CPlayBackTollBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OnLeftButtonUp(event->position().toPoint().x(), event->position().toPoint().y());
  CDialog::mouseReleaseEvent(event);
}

void CPlayBackTollBar::OnLeftButtonUp(int x, int y) {
  PostMessage(m_hOwner, WM_TIMEBAR_NOTIFY, 0, 0);
  const RowHit hit = HitRow(x, y);
  if (hit.inBand && hit.dx >= 1) {
    const int second = PointedSecond(m_nScale, hit.dx, m_nViewStart, m_nBarWidth, false);
    if (second >= 0) {
      m_nCursorTime = second;
      char text[16];
      FormatHms(second, text);
      ClearBarImage(m_clickedImage);
      FittedText(m_clickedImage, 0, 0, kNameWidth - 4, text, 14);
      if (const PlayBackChannel* channel = GetRow(hit.row)) {
        char line[64];
        std::snprintf(line, sizeof(line), "%s %u-%02u-%02u", FormatStringA(kRowText, "CH:%d", {hit.row}).c_str(), channel->nYear,
                      channel->nMonth, channel->nDay);
        const long bottom = static_cast<long>(m_namesImage.GetHeight());
        m_namesImage.DrawRectangle(0, bottom - 12, kNameWidth - 2, bottom - 1, kIndexBackground, true);
        FittedText(m_namesImage, 0, bottom - 12, kNameWidth - 4, line, 12);
      }
      Redraw();
    }
  }
  for (int i = 0; i < 3; ++i) {
    if (m_labelRects[i].contains(x, y)) SetScale(i + 1);
  }
}

void CPlayBackTollBar::mouseDoubleClickEvent(QMouseEvent* event) {
  CDialog::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton || !IsWindow(m_hOwner)) return;
  const QPoint at = event->position().toPoint();
  const RowHit hit = HitRow(at.x(), at.y());
  if (!hit.inBand) return;
  const int second = hit.dx >= 1 ? PointedSecond(m_nScale, hit.dx, m_nViewStart, m_nBarWidth, true) : kNameClicked;
  if (second == -1) return;
  PostMessage(m_hOwner, WM_PLAYBACK_DBLCLICK, static_cast<WPARAM>(hit.row), static_cast<LPARAM>(second));
}
