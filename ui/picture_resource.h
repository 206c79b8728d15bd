// Picture resources of the program: pictures named by number (or name) and type,
// kept as files below the program folder: type "PNG" number 131 is
// "Resources/png/131.png", a named one "Resources/png/<name>.png".
#pragma once

#include <QImage>
#include <string>

#include "platform/win_types.h"

// The file of a resource (ANSI path), or empty for an empty type.
std::string PictureResourcePath(const std::string& name, const char* type);
std::string PictureResourcePath(UINT id, const char* type);

// The decoded picture file (ANSI path), or a null image when it is missing or not a picture.
QImage LoadPictureFile(const std::string& path);

// The decoded type-"PNG" resource, or a null image when it is missing or not a picture.
QImage LoadPngResource(UINT id);

// One decoded picture.
class CPictureBitmap {
 public:
  virtual ~CPictureBitmap() = default;
  const QImage& Bitmap() const { return m_bitmap; }
  bool IsValid() const { return !m_bitmap.isNull(); }

 protected:
  QImage m_bitmap;
};

// A picture loaded from the program's resources.
class CPictureResource : public CPictureBitmap {
 public:
  // False (and no picture) when the resource is missing or not a picture.
  bool Load(const char* name, const char* type);
  bool Load(UINT id, const char* type);

 private:
  bool LoadFile(const std::string& path);
};
