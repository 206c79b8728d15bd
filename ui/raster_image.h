// The program's raster image: a device-independent bitmap (header, palette and
// rows stored bottom-up in one block) with an optional alpha plane, a
// transparent colour and a last-error text.
//
// Coordinates: x counts columns from the left, y counts stored rows from the
// bottom, unless an operation says otherwise. Colours inside the image are
// RGBQUAD (blue, green, red, fourth byte); COLORREF (0x00BBGGRR) only where an
// operation says so.
//
// Drawing onto a device context takes a QPainter (a widget's or an image's).
// The operations are defined in raster_image.cpp (the core), raster_decode.cpp
// (loading), raster_draw.cpp (putting the image on a painter), raster_sample.cpp
// (bilinear and area sampling), raster_text.cpp (text drawn into the image)
// and raster_crop.cpp (cutting out a part).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

class QImage;
class QPainter;
class CRasterFile;

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
  bool operator==(const RGBQUAD&) const = default;
};

// The 40-byte header of a device-independent bitmap, as it lies in files and
// at the start of the pixel block.
struct BITMAPINFOHEADER {
  DWORD biSize = 0;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 0;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);

#define BI_RGB 0
#define BI_RLE8 1
#define BI_RLE4 2
#define BI_BITFIELDS 3

// Image types; only BMP and GIF have a decoder.
enum : DWORD {
  RASTER_FORMAT_UNKNOWN = 0,
  RASTER_FORMAT_BMP = 1,
  RASTER_FORMAT_GIF = 2,
};

// Pixel blocks of this many bytes or more are refused.
constexpr double RASTER_MAX_MEMORY = 268435456.0;

// Sampling constants of the drawing code.
enum : int {
  RASTER_INTERPOLATION_BILINEAR = 2,
  RASTER_EDGE_CLAMP = 5,
};

class CRasterImage {
 public:
  explicit CRasterImage(DWORD imageType = 0);
  virtual ~CRasterImage();
  CRasterImage(const CRasterImage&) = delete;
  CRasterImage& operator=(const CRasterImage&) = delete;

  // --- life cycle ---
  BYTE* Create(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD imageType);
  bool Destroy();  // false (nothing freed) for a ghost
  bool IsValid() const { return dib_ != nullptr; }
  void Copy(const CRasterImage& src, bool copyPixels = true, bool copySelection = true,
            bool copyAlpha = true);
  void Transfer(CRasterImage& from);  // takes the other's content; the other is left empty
  void Ghost(const CRasterImage& owner);  // shares the owner's pixels, owns nothing
  bool IsGhost() const { return ghostOf_ != nullptr; }

  // --- loading (raster_decode.cpp) ---
  bool Load(const char* path, DWORD imageType);
  bool Decode(CRasterFile* file, DWORD imageType);
  bool Decode(FILE* file, DWORD imageType);

  // --- description ---
  DWORD GetWidth() const { return static_cast<DWORD>(head_.biWidth); }
  DWORD GetHeight() const { return static_cast<DWORD>(head_.biHeight); }
  DWORD GetEffWidth() const { return effWidth_; }
  WORD GetBpp() const { return head_.biBitCount; }
  DWORD GetType() const { return type_; }
  DWORD GetPaletteSize() const { return head_.biClrUsed; }  // entries
  RGBQUAD* GetPalette() const;
  const BITMAPINFOHEADER& GetHeader() const { return head_; }
  BYTE* GetDIB() const { return dib_; }  // header, palette, rows
  BYTE* GetBits(DWORD row = 0) const;
  const char* GetLastError() const { return lastError_.c_str(); }
  long GetXDPI() const { return xDpi_; }
  long GetYDPI() const { return yDpi_; }
  void SetXDPI(long dpi) { xDpi_ = dpi; }
  void SetYDPI(long dpi) { yDpi_ = dpi; }
  bool IsEnabled() const { return enabled_; }
  void Enable(bool enable = true) { enabled_ = enable; }
  BYTE GetProgress() const { return progress_; }
  bool GetCancel() const { return cancel_; }
  void SetCancel(bool cancel) { cancel_ = cancel; }
  long GetNumFrames() const { return numFrames_; }
  void SetNumFrames(long frames) { numFrames_ = frames; }

  // --- palette and transparency ---
  void SetPaletteColor(BYTE index, COLORREF colour);
  void SetPaletteColor(BYTE index, RGBQUAD colour);
  RGBQUAD GetPaletteColor(BYTE index) const;
  long GetTransparentIndex() const { return transIndex_; }
  void SetTransparentIndex(long index);
  RGBQUAD GetTransparentColor() const;
  void SetTransparentColor(RGBQUAD colour) { transColor_ = colour; }
  BYTE GetNearestIndex(RGBQUAD colour);

  // --- pixels ---
  BYTE GetPixelIndex(long x, long y) const;
  void SetPixelIndex(long x, long y, BYTE index);
  RGBQUAD GetPixelColor(long x, long y, bool getAlpha = true) const;
  void SetPixelColor(long x, long y, RGBQUAD colour, bool setAlpha = false);
  bool IsInside(long x, long y) const;

  // --- alpha plane (one byte per pixel, rows bottom-up, 255 = opaque) ---
  bool AlphaCreate();
  void AlphaDelete() { alpha_.clear(); }
  bool AlphaIsValid() const { return !alpha_.empty(); }
  BYTE AlphaGet(long x, long y) const;
  void AlphaSet(long x, long y, BYTE value);
  BYTE* AlphaGetPointer() { return alpha_.empty() ? nullptr : alpha_.data(); }
  bool SelectionIsValid() const { return !selection_.empty(); }

  // --- drawing into the image ---
  // top and bottom count rows from the top.
  bool DrawRectangle(long left, long top, long right, long bottom, DWORD pixelValue, bool fill);
  // y counts rows as height - y from the bottom: y 1 is the top row.
  void DrawLine(long x1, long x2, long y1, long y2, RGBQUAD colour, bool setAlpha = false);
  void DrawLineColor(long x1, long x2, long y1, long y2, COLORREF colour);
  // (raster_text.cpp) y counts rows from the top.
  bool DrawString(QPainter* hdc, long x, long y, const char* text, RGBQUAD colour,
                  const char* fontFace, long height, long weight, BYTE italic, BYTE underline,
                  bool setAlpha = false);
  bool CreateFromBitmap(const QImage& bitmap, bool transparency);

  // Nearest-neighbour rescale; mode 1 is the only one.
  bool Resample(long newWidth, long newHeight, int mode = 1, CRasterImage* target = nullptr);
  // (raster_crop.cpp) The part from column left to right and from row top to
  // bottom (rows counted from the top; right and bottom not included), cut to
  // the image, with the palette and transparency: into target, or in place
  // without one. False, and nothing changed, when no pixel lies in the part.
  bool Crop(long left, long top, long right, long bottom, CRasterImage* target = nullptr);

  // --- drawing onto a painter (raster_draw.cpp); y and cy count from the top ---
  bool DrawTransparent(QPainter* hdc, long x, long y, long cx, long cy, long srcX, long srcY,
                       long srcW, long srcH);
  bool Draw(QPainter* hdc, long x, long y, long cx = -1, long cy = -1, RECT* clipRect = nullptr,
            bool smooth = true, bool flipY = false);
  bool DrawToRect(QPainter* hdc, const RECT& rect, RECT* clipRect = nullptr, bool smooth = true,
                  bool flipY = false);

  // --- sampling (raster_sample.cpp) ---
  RGBQUAD SamplePoint(float x, float y, int method = RASTER_INTERPOLATION_BILINEAR,
                      int edgeMode = RASTER_EDGE_CLAMP, const RGBQUAD* fillColour = nullptr);
  RGBQUAD SampleArea(float xc, float yc, float w, float h,
                     int method = RASTER_INTERPOLATION_BILINEAR, int edgeMode = RASTER_EDGE_CLAMP,
                     const RGBQUAD* fillColour = nullptr);
  RGBQUAD GetPixelColorClamped(long x, long y, int edgeMode, const RGBQUAD* fillColour) const;
  void ClampCoordinates(float& x, float& y, int edgeMode) const;
  void ClampCoordinates(long& x, long& y, int edgeMode) const;
  static void AccumulateColor(const RGBQUAD& colour, float weight, float& red, float& green,
                              float& blue, float& alpha);

 protected:
  void SetError(const std::string& text) { lastError_ = text.substr(0, 255); }
  // What a decoder takes over from the image it decodes for.
  void CopyDescription(const CRasterImage& from);
  // The image's own rows as a QImage (top row first), for handing to a painter.
  QImage ToQImage(long srcX, long srcY, long srcW, long srcH) const;

 private:
  struct FreeDeleter {
    void operator()(BYTE* p) const;
  };
  void Reset();
  void UpdateHeaderPointers();

  // The pixel block: owned, or borrowed from a ghost's owner.
  std::unique_ptr<BYTE, FreeDeleter> ownDib_;
  BYTE* dib_ = nullptr;
  const CRasterImage* ghostOf_ = nullptr;

  BITMAPINFOHEADER head_{};
  DWORD effWidth_ = 0;
  BYTE* bits_ = nullptr;
  DWORD type_ = 0;
  std::string lastError_;
  long transIndex_ = -1;
  RGBQUAD transColor_{};
  long xDpi_ = 96;
  long yDpi_ = 96;
  bool enabled_ = true;
  BYTE progress_ = 0;
  bool cancel_ = false;
  long numFrames_ = 0;
  bool cacheValid_ = false;
  RGBQUAD cacheColour_{};
  BYTE cacheIndex_ = 0;
  std::vector<BYTE> alpha_;
  std::vector<BYTE> selection_;
  std::vector<std::unique_ptr<CRasterImage>> frames_;
  std::vector<std::unique_ptr<CRasterImage>> layers_;
};
