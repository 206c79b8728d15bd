#include "shell/dev_tree_images.h"

#include <QPainter>
#include <QPixmap>

#include "shell/dev_tree_model.h"

namespace {

constexpr int kSize = 16;

QPixmap Blank() {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

QPixmap RecorderBox() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  p.setBrush(QColor(90, 90, 90));
  p.drawRect(1, 5, 13, 6);
  p.setPen(QColor(0, 220, 0));
  p.drawPoint(3, 8);
  return pixmap;
}

QPixmap GroupPicture() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  p.drawLine(4, 4, 11, 11);
  p.drawLine(4, 4, 11, 4);
  p.fillRect(1, 1, 6, 6, QColor(30, 60, 200));
  p.fillRect(9, 2, 5, 5, QColor(210, 30, 30));
  p.fillRect(9, 9, 5, 5, QColor(210, 30, 30));
  return pixmap;
}

// A camera body in `body` colour with two reels.
QPixmap Camera(QColor body, bool leftReelRed, bool rightReelRed) {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setPen(Qt::NoPen);
  p.setBrush(leftReelRed ? QColor(220, 0, 0) : QColor(150, 150, 150));
  p.drawEllipse(1, 1, 6, 6);
  p.setBrush(rightReelRed ? QColor(220, 0, 0) : QColor(150, 150, 150));
  p.drawEllipse(7, 1, 6, 6);
  p.fillRect(1, 7, 11, 7, body);
  p.fillRect(12, 9, 3, 3, body);
  return pixmap;
}

QPixmap Bell() {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setPen(QColor(120, 90, 0));
  p.setBrush(QColor(250, 210, 0));
  p.drawChord(3, 1, 10, 18, 0, 180 * 16);
  p.drawRect(2, 10, 12, 2);
  p.drawEllipse(7, 12, 2, 2);
  return pixmap;
}

}  // namespace

std::vector<QIcon> MakeDevTreeImages() {
  const QColor grey(140, 140, 140), blue(30, 80, 210), red(210, 30, 30);
  std::vector<QIcon> images(kDevTreeImageCount);
  images[kImgMultiChannel] = QIcon(RecorderBox());
  images[kImgGroup] = QIcon(GroupPicture());
  images[kImgOffline] = QIcon(Camera(grey, false, false));
  images[kImgOnline] = QIcon(Camera(blue, false, false));
  images[4] = QIcon(Camera(blue, true, false));
  images[5] = QIcon(Camera(blue, false, true));
  images[kImgOnlineRecording] = QIcon(Camera(blue, true, true));
  images[kImgOnlineWatched] = QIcon(Camera(red, false, false));
  images[8] = QIcon(Camera(red, true, false));
  images[9] = QIcon(Camera(red, false, true));
  images[kImgOnlineWatchedRecording] = QIcon(Camera(red, true, true));
  images[kImgAlarm] = QIcon(Bell());
  return images;
}
