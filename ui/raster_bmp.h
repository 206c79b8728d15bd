// BMP decoder: uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, RLE8 and
// RLE4, with the 12-, 40-, 64- and 124-byte headers and larger ones.
#pragma once

#include "ui/raster_image.h"

class CRasterBMP : public CRasterImage {
 public:
  CRasterBMP() : CRasterImage(RASTER_FORMAT_BMP) {}

  // Reads the file into this image; false with the error text set on failure.
  bool Decode(CRasterFile* file);
  // Reads an info header of any known size into its 40-byte form.
  bool ReadBitmapInfo(CRasterFile* file, BITMAPINFOHEADER* header);

 private:
  bool Fail(const char* text);
  bool ReadPalette(CRasterFile* file, const BITMAPINFOHEADER& header);
  // The red, green and blue masks of bit-field files (kept as given for
  // uncompressed ones); false with the error text for other compressions.
  bool ReadMasks(CRasterFile* file, const BITMAPINFOHEADER& header, DWORD masks[3]);
  bool PixelDataPresent(CRasterFile* file, const BITMAPINFOHEADER& header);
  bool SeekPixels(CRasterFile* file);
  bool ReadBlock(CRasterFile* file, void* buffer, size_t size);
  bool Read16(CRasterFile* file, const BITMAPINFOHEADER& header);
  bool Read32(CRasterFile* file, const BITMAPINFOHEADER& header);
  void DecodeRle8(CRasterFile* file);
  void DecodeRle4(CRasterFile* file);
  void FlipVertically();

  long start_ = 0;     // stream position of the file's first byte
  DWORD offBits_ = 0;  // pixel offset from the start, 0 = right after the palette
  bool coreHeader_ = false;   // the 12-byte header: 3-byte palette entries
  bool headerMasks_ = false;  // the header itself holds the red, green and blue masks
  DWORD masks_[3] = {0, 0, 0};
};
