#include "ui/list/state_images.h"

#include <QPainter>
#include <algorithm>

namespace ui {
namespace {

// A vertical bar gauge: a frame with `filled` of 12 steps lit from the bottom, green
// turning to red as the share of the folder's accesses grows.
QPixmap Gauge(int filled) {
  QPixmap image(16, 16);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setPen(QColor(96, 96, 96));
  painter.setBrush(Qt::white);
  painter.drawRect(5, 1, 6, 13);
  for (int step = 0; step < filled; ++step) {
    const int red = 40 + step * 215 / 12;
    const int green = 200 - step * 160 / 12;
    painter.fillRect(6, 13 - step, 5, 1, QColor(red, green, 40));
  }
  return image;
}

}  // namespace

const std::vector<QPixmap>& ListStateImages() {
  static const std::vector<QPixmap> images = [] {
    std::vector<QPixmap> strip;
    strip.push_back(Gauge(0));  // unused slot 0
    for (int level = 0; level < kActivityLevels; ++level) strip.push_back(Gauge(level));
    return strip;
  }();
  return images;
}

const QPixmap& ActivityImage(int level) {
  return ListStateImages()[static_cast<std::size_t>(std::clamp(level, 0, kActivityLevels - 1) + 1)];
}

}  // namespace ui
