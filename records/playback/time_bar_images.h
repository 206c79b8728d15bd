// The pictures of the playback time-line bar: 8-bit palette images with the
// bar's palette, a day map painted into a row picture, the scale strips with
// their ticks and labels, and the texts of the name column.
//
// Palette (index: red, green, blue): 0 black (ticks, lines), 1 248,255,248
// (background), 2 0,220,0 (schedule recording), 3 220,0,0 (alarm recording),
// 4 220,220,220 (no recording), 5 red, 6 green, 7 blue, 8 white, 9 255,0,0
// (cursor lines); 250 254,254,254 is the transparent index.
//
// Lines follow the image's line convention (y 1 is the top row, y = height the
// bottom row); rectangles and texts count rows from the top.
#pragma once

#include <cstddef>

#include "platform/win_types.h"
#include "ui/raster_image.h"

namespace timebar {

enum : BYTE {
  kIndexBlack = 0,
  kIndexBackground = 1,
  kIndexSchedule = 2,
  kIndexAlarm = 3,
  kIndexNoRecord = 4,
  kIndexCursor = 9,
  kIndexTransparent = 250,
};

// The palette colour of an index as a COLORREF.
COLORREF PaletteColour(BYTE index);

// A new image of the bar (w x h, 8 bits, the palette, cleared to the
// background); false when it cannot be made.
bool CreateBarImage(CRasterImage& image, long width, long height);
void ClearBarImage(CRasterImage& image);

// Paints a day map into a 1440 x 20 row picture: cleared, then every run of
// equal letters from row 3 to 14, green for 'A', red for 'B', grey for any
// other letter. Only `length` letters are painted.
void PaintDayMap(CRasterImage& row, const char* map, size_t length);

// Copies the row picture's pixel lines into the rows image with its top at y
// (rows from the top); nothing when the two differ in width or depth or the
// picture would not end above the rows image's last line.
bool CopyRowInto(const CRasterImage& row, CRasterImage& rows, long y);

// A horizontal line across the image at y and a vertical one at x, in index.
void HLine(CRasterImage& image, long y, BYTE index);
void VLine(CRasterImage& image, long x, long y1, long y2, BYTE index);

// A text into the image, its top at y, Arial of `height` pixels.
void Text(CRasterImage& image, long x, long y, const char* text, long height, long weight = 400);
// A text that keeps within `width` pixels from x: in the largest Arial from
// `height` down to 9 pixels that fits, else at 9 pixels cut short with "...".
void FittedText(CRasterImage& image, long x, long y, long width, const char* text, long height);

// The scale strips (28 high): the whole day over `width` pixels; 4 pixels a
// minute (5760 wide); 2 pixels a second over the 8 hours from firstHour
// (57600 wide).
bool BuildHourStrip(CRasterImage& strip, long width);
bool BuildMinuteStrip(CRasterImage& strip);
bool BuildSecondStrip(CRasterImage& strip, int firstHour);

}  // namespace timebar
