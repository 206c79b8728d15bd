// Loading of image files: the choice of decoder by image type, with the
// automatic detection as fall-back.
#include "platform/file_api.h"
#include "ui/raster_bmp.h"
#include "ui/raster_file.h"
#include "ui/raster_gif.h"
#include "ui/raster_image.h"

bool CRasterImage::Load(const char* path, DWORD imageType) {
  if (!path) return false;
  bool firstPassRan = false;
  if (imageType == RASTER_FORMAT_BMP || imageType == RASTER_FORMAT_GIF) {
    CRasterIOFile file;
    if (!file.Open(path, "rb")) return false;
    if (Decode(&file, imageType)) return true;
    firstPassRan = true;
  }
  // The file did not hold the type asked for (or no type was given): try
  // every decoder, and keep the first pass's error text when that fails too.
  std::string firstError = lastError_;
  CRasterIOFile file;
  if (!file.Open(path, "rb")) return false;
  bool ok = Decode(&file, RASTER_FORMAT_UNKNOWN);
  if (!ok && firstPassRan) lastError_ = firstError;
  return ok;
}

bool CRasterImage::Decode(FILE* file, DWORD imageType) {
  if (!file) {
    SetError("null file handler");
    return false;
  }
  CRasterIOFile stream(file);
  return Decode(&stream, imageType);
}

bool CRasterImage::Decode(CRasterFile* file, DWORD imageType) {
  if (!file) {
    SetError("null file handler");
    return false;
  }
  long start = file->Tell();
  if (imageType == RASTER_FORMAT_UNKNOWN || imageType == RASTER_FORMAT_BMP) {
    CRasterBMP bmp;
    bmp.CopyDescription(*this);
    if (bmp.Decode(file)) {
      Transfer(bmp);
      return true;
    }
    SetError(bmp.GetLastError());
    file->Seek(start, SEEK_SET);
    if (imageType == RASTER_FORMAT_BMP) return false;
  }
  if (imageType == RASTER_FORMAT_UNKNOWN || imageType == RASTER_FORMAT_GIF) {
    CRasterGIF gif;
    gif.CopyDescription(*this);
    if (gif.Decode(file)) {
      Transfer(gif);
      return true;
    }
    SetError(gif.GetLastError());
    SetNumFrames(gif.GetNumFrames());
    file->Seek(start, SEEK_SET);
    if (imageType == RASTER_FORMAT_GIF) return false;
  }
  SetError("Decode: Unknown or wrong format");
  return false;
}
