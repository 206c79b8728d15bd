#include "shell/dev_tree_images.h"

#include <QPixmap>
#include <string>

#include "shell/dev_tree_model.h"
#include "ui/picture_resource.h"

namespace {

constexpr int kSize = 16;

QIcon TreeImage(int index) {
  const QImage picture = LoadPictureFile(PictureResourcePath("tree_" + std::to_string(index), "PNG"));
  if (!picture.isNull()) return QIcon(QPixmap::fromImage(picture));
  QPixmap blank(kSize, kSize);
  blank.fill(Qt::transparent);
  return QIcon(blank);
}

}  // namespace

std::vector<QIcon> MakeDevTreeImages() {
  std::vector<QIcon> images;
  for (int i = 0; i < kDevTreeImageCount; ++i) images.push_back(TreeImage(i));
  return images;
}
