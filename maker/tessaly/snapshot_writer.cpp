#include "tessaly/snapshot_writer.h"

#include <QBuffer>
#include <QDateTime>

#include "platform/file_api.h"

namespace snapshotwriter {
namespace {

bool MakeParents(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] != '\\' && path[i] != '/') continue;
    const std::string level = path.substr(0, i);
    if (level.size() == 2 && level[1] == ':') continue;  // a drive
    if (!fileapi::IsDirectory(level) && !fileapi::MakeDirectory(level)) return false;
  }
  return true;
}

}  // namespace

std::string Save(const QImage& picture, long format, const std::string& ansiPath) {
  if (picture.isNull() || ansiPath.empty()) return {};
  const char* kind = format == 0 ? "BMP" : "JPG";
  std::string path = ansiPath;
  if (path.back() == '\\' || path.back() == '/' || fileapi::IsDirectory(path)) {
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    path += QDateTime::currentDateTime().toString("yyyyMMddHHmmsszzz").toStdString();
    path += format == 0 ? ".bmp" : ".jpg";
  }
  if (!MakeParents(path)) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, kind, format == 0 ? -1 : 90)) return {};
  return fileapi::WriteWhole(path, bytes.constData(), static_cast<size_t>(bytes.size())) ? path
                                                                                        : std::string();
}

}  // namespace snapshotwriter
