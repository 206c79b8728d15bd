// CPlayBackTollBar: the playback time-line bar under the players of the record
// search page (dialog 338). One row per channel searched or played: its name in
// the left column and one day of its recordings as coloured minutes (day maps,
// records/search/rec_day_map.h), with a red cursor line at its play time. The
// scale labels "H", "M", "S" switch between the whole day, 4 pixels a minute
// and 2 pixels a second; the slider scrolls through the day at the two finer
// scales. A click shows the clicked time; a double click asks the owner to play
// the row from there. Measures: time_bar_geometry.h; pictures: time_bar_images.h.
//
// Messages posted to the owner window:
//   WM_PLAYBACK_DBLCLICK (row, second of the day, or -100 on the row's name)
//   WM_TIMEBAR_NOTIFY (0, 0) on every release of the left button and every
//   slider move.
//
// UI thread only.
#pragma once

#include <QImage>
#include <map>
#include <memory>

#include "platform/dialog.h"
#include "ui/raster_image.h"

class CSkinSlider;
class CSkinStatic;

constexpr UINT WM_PLAYBACK_DBLCLICK = WM_USER + 5000;
constexpr UINT WM_TIMEBAR_NOTIFY = WM_USER + 6000;

// One row of the bar.
struct PlayBackChannel {
  PlayBackChannel();
  std::unique_ptr<CRasterImage> image;  // 1440 x 20, one pixel a minute
  char szName[32] = {};                 // at most 31 characters
  char szDayMap[1500] = {};             // 1440 letters, zero bytes after them
  int nRow = -1;                        // place from the top; -1 once cleared
  int nCursor = -1;                     // second of the day of the play position; -1 none
  unsigned nYear = 0;
  unsigned nMonth = 0;
  unsigned nDay = 0;
  unsigned nReserved = 0;
};

class CPlayBackTollBar : public CDialog {
 public:
  enum { IDD = 338 };
  enum : int { IDC_LABEL_H = 1391, IDC_LABEL_M = 1392, IDC_LABEL_S = 1393, IDC_SLIDER = 1394 };

  // owner: the window that gets the bar's messages.
  CPlayBackTollBar(HWND owner, QWidget* parent = nullptr);
  ~CPlayBackTollBar() override;

  BOOL OnInitDialog() override;
  void OnOK() override {}  // Enter does not close the bar

  // 0 done; -1 row below 0; -2 row beyond the rows picture; -3 row not below
  // the row count. name null: "video<row>".
  int SetRow(const char* dayMap, const char* name, int row);
  int SetRowDate(int row, int year, int month, int day);  // 0
  int ClearRow(int row);                                   // 0
  void RebuildRows();
  // -1 second outside 0..86400; -2 row not set; else 0.
  int SetRowCursor(int row, int second);
  int GetRowCursor(int row) const;  // 0 when the row is not set
  int SetScale(int scale);          // 1, 2 or 3: 0; else -1
  int SetViewStart(int second);     // 1..86399: 0; else -1
  int SetViewStartHMS(int hours, int minutes, int seconds);

  // State, for the page and the tests.
  int GetScale() const { return m_nScale; }
  int GetViewStart() const { return m_nViewStart; }
  int GetRowCount() const { return m_nRowCount; }
  int GetCursorTime() const { return m_nCursorTime; }
  const PlayBackChannel* GetRow(int row) const;  // a set row, or null
  CSkinSlider* GetSlider() const { return m_pSlider; }
  // What the bar shows (the window without its child controls).
  const QImage& Canvas();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void OnSize(int cx, int cy);
  void PaintRow(PlayBackChannel& channel);
  void WriteName(const PlayBackChannel& channel);
  // Marks the picture for drawing again at the next paint: many changes
  // between two paints draw once. A moved cursor only repaints: the cursors
  // are drawn over the composed picture at every paint.
  void Redraw();
  void Compose();
  void RowsChanged() { m_scaledRowsKey = ScaledKey{}; }
  void DrawRows(QPainter& painter);
  void DrawCursors(QPainter& painter) const;
  void DrawScale(QPainter& painter);
  void OnSliderAction(int action);
  void OnLeftButtonUp(int x, int y);
  void MarkScaleLabel();
  bool IsSet(int row) const;

  HWND m_hOwner;
  CSkinStatic* m_pLabels[3] = {};
  CSkinSlider* m_pSlider = nullptr;
  int m_nBarWidth = 0;       // W: window width - 84
  int m_nWindowHeight = 0;
  int m_nViewStart = 0;
  int m_nScale = 1;
  int m_nRowCount = 0;
  int m_nCursorTime = 0;
  CRasterImage m_hourStrip;
  CRasterImage m_minuteStrip;
  CRasterImage m_secondStrips[3];
  CRasterImage m_rowsImage;
  CRasterImage m_namesImage;
  CRasterImage m_cornerImage;
  CRasterImage m_clickedImage;
  std::map<int, PlayBackChannel> m_rows;
  QRect m_labelRects[3];
  QImage m_base;    // the bar without its cursors
  QImage m_canvas;  // the bar as shown (Canvas)
  bool m_bDirty = false;  // m_base is to be composed again
  // Where the rows were drawn from by the last composition (-1: not drawn).
  int m_nRowsSrcX = -1;
  int m_nRowsShown = 0;
  // The rows image at the shown scale and part of the day, ready to draw
  // (resampling and converting are the costly steps of a drawing), and what
  // it was made for; the cursors are drawn over it.
  struct ScaledKey {
    int scale = 0;  // 0: not made
    long firstMinute = 0;
    long minutes = 0;
    long width = 0;
    bool operator==(const ScaledKey&) const = default;
  };
  QImage m_scaledRows;
  ScaledKey m_scaledRowsKey;
  bool m_bInited = false;
};
