// Shared body of the image decoder fuzz targets: decodes the bytes through a
// memory stream with the given type and with automatic detection, and draws
// whatever loads, scaled and unscaled.
#pragma once

#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "ui/raster_image.h"

inline void FuzzDecodeAndDraw(const uint8_t* data, size_t size, DWORD type) {
  if (size == 0) return;
  for (DWORD t : {type, static_cast<DWORD>(RASTER_FORMAT_UNKNOWN)}) {
    FILE* fp = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!fp) return;
    CRasterImage image;
    if (image.Decode(fp, t) && image.GetWidth() <= 256 && image.GetHeight() <= 256) {
      QImage canvas(16, 16, QImage::Format_RGB32);
      canvas.fill(Qt::gray);
      QPainter painter(&canvas);
      image.Draw(&painter, 0, 0, 16, 16);
      image.Draw(&painter, 2, 3, -1, -1);
      image.Draw(&painter, 0, 0, 5, 40);
    }
    std::fclose(fp);
  }
}
