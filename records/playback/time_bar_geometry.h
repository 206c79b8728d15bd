// The measures of the playback time-line bar: where its parts lie, which row
// and second a point of the bar means at each scale, and the view a scale
// shows. Window coordinates, in pixels; seconds count from 00:00:00.
//
// Layout: a name column 84 pixels wide on the left; the scale strip over the
// bar, 28 high; under it the rows, 24 pixels each, whose recordings are drawn
// in a band from 2 to 20 pixels below the row's top; the slider and the
// clicked time along the bottom 14 pixels. The bar is the window's width less
// the name column (W); the rows area is the window's height less 62 (H).
#pragma once

namespace timebar {

constexpr int kNameWidth = 84;       // the name column
constexpr int kScaleHeight = 28;     // the scale strip; the rows start below it
constexpr int kScaleTop = 20;        // where the long ticks start
constexpr int kTickLength = 8;
constexpr int kRowHeight = 24;
constexpr int kBottomHeight = 14;    // slider and clicked time
constexpr int kFixedHeight = 62;     // the window's height that is not rows
constexpr int kDaySeconds = 86400;
constexpr int kDayMinutes = 1440;
constexpr int kRowImageHeight = 20;  // a row's picture, one pixel per minute
constexpr int kRowImageTop = 2;      // the row picture lies 2 pixels below its row's top
constexpr int kMapTop = 3;           // recordings are painted from row 3 to 14 of the row picture
constexpr int kMapBottom = 14;

// Scales.
enum Scale { kScaleDay = 1, kScaleMinutes = 2, kScaleSeconds = 3 };

// Value of lParam of a double click on a row's name.
constexpr int kNameClicked = -100;

inline int BarWidth(int windowWidth) { return windowWidth - kNameWidth; }
inline int RowsHeight(int windowHeight) { return windowHeight - kFixedHeight; }
// Rows that fit into the window (0 when none).
int RowCount(int windowHeight);

// A point of the window and what it hits in the rows area.
struct RowHit {
  bool inBand = false;  // inside a row's recording band
  int row = 0;
  int dx = 0;           // pixels right of the name column
};
RowHit HitRow(int x, int y);

// The second of the day under dx at a scale (dx >= 1). At the minute scale a
// double click takes whole minutes. -1 when the bar has no width.
int PointedSecond(int scale, int dx, int viewStart, int barWidth, bool doubleClick);

// The view of the two finer scales: the slider's largest value and the view
// start that centres `cursor`, kept inside the day.
struct ScaleView {
  int sliderMax = 0;
  int viewStart = 0;
};
ScaleView ViewFor(int scale, int cursor, int barWidth);

// The view start after a slider move at a scale: at the minute scale it is put
// on a whole minute (rounded down), one minute on for a line-down step.
int ViewStartFromSlider(int scale, int position, bool lineDown);

// The x of a row's cursor line in the drawn rows (-1 when it is not drawn):
// scale 1 in the bar's width, scale 2 from the view start, scale 3 inside the
// cropped copy (from its first whole minute).
int CursorX(int scale, int cursor, int viewStart, int barWidth);

// The three second strips (2 pixels a second, 8 hours each): which strip and
// which x in it a view start begins at.
constexpr int kSecondStripWidth = 57600;
struct StripSpot {
  int strip = 0;
  int x = 0;
};
StripSpot SecondStripAt(int viewStart);

// "%02d:%02d:%02d" of a second of the day.
void FormatHms(int second, char (&text)[16]);

}  // namespace timebar
