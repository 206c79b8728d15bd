#include "ui/picture_resource.h"

#include <cctype>

#include "platform/file_api.h"
#include "platform/paths.h"

std::string PictureResourcePath(const std::string& name, const char* type) {
  if (!type || !*type || name.empty()) return std::string();
  std::string folder;
  for (const char* p = type; *p; ++p) folder += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  return paths::ProgramFolder() + "Resources/" + folder + "/" + name + "." + folder;
}

std::string PictureResourcePath(UINT id, const char* type) { return PictureResourcePath(std::to_string(id), type); }

QImage LoadPictureFile(const std::string& path) {
  std::string bytes;
  if (path.empty() || !fileapi::ReadWhole(path, bytes)) return QImage();
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
  return image;
}

QImage LoadPngResource(UINT id) {
  CPictureResource picture;
  return picture.Load(id, "PNG") ? picture.Bitmap() : QImage();
}

bool CPictureResource::Load(const char* name, const char* type) {
  return LoadFile(PictureResourcePath(name ? std::string(name) : std::string(), type));
}

bool CPictureResource::Load(UINT id, const char* type) { return LoadFile(PictureResourcePath(id, type)); }

bool CPictureResource::LoadFile(const std::string& path) {
  m_bitmap = QImage();
  QImage image = LoadPictureFile(path);
  if (image.isNull()) return false;
  m_bitmap = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return true;
}
