#include "ui/remote_tree_images.h"

#include <QApplication>
#include <QMap>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

struct FileImage {
  int index;
  const char* badge;  // short mark drawn on the file image
  QRgb colour;
};

constexpr FileImage kFileImages[] = {
    {1, "V", 0xFFD0463B},    {2, "Z", 0xFF8E6C3A},    {3, "A", 0xFF3DA35A},
    {7, "P", 0xFF2D8FD5},    {8, "M", 0xFFB04FC7},    {9, "", 0xFF808080},
    {10, "PDF", 0xFFC62828}, {11, "EXE", 0xFF455A64}, {12, "W", 0xFF1E88E5},
    {13, "TXT", 0xFF616161}, {14, "DOC", 0xFF1565C0}, {15, "XLS", 0xFF2E7D32},
    {16, "PPT", 0xFFD84315},
};

QIcon DrawFileImage(const FileImage& image) {
  QPixmap pixmap = QApplication::style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16);
  if (*image.badge == '\0') {
    return QIcon(pixmap);
  }
  QPainter painter(&pixmap);
  const QRect badge(0, 8, 16, 8);
  painter.fillRect(badge, QColor::fromRgba(image.colour));
  QFont font = painter.font();
  font.setPixelSize(7);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(badge, Qt::AlignCenter, QString::fromLatin1(image.badge));
  return QIcon(pixmap);
}

QMap<int, QIcon> MakeImages() {
  QMap<int, QIcon> images;
  images.insert(kTreeImageFolder, QApplication::style()->standardIcon(QStyle::SP_DirIcon));
  images.insert(kTreeImageRoot, QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon));
  for (const FileImage& image : kFileImages) {
    images.insert(image.index, DrawFileImage(image));
  }
  return images;
}

}  // namespace

QIcon RemoteTreeImage(int index) {
  static const QMap<int, QIcon> s_images = MakeImages();
  return s_images.value(index, s_images.value(kTreeImageFolder));
}
