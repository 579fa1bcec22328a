#include "ui/base/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

namespace ui {

QPixmap AppIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);

  QLinearGradient tile(0, 0, 0, 64);
  tile.setColorAt(0, QColor(40, 86, 160));
  tile.setColorAt(1, QColor(18, 40, 86));
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);

  QRadialGradient platter(QPointF(32, 32), 24);
  platter.setColorAt(0.0, QColor(240, 244, 250));
  platter.setColorAt(1.0, QColor(150, 162, 184));
  p.setBrush(platter);
  p.setPen(QPen(QColor(30, 40, 60), 1.5));
  p.drawEllipse(QPointF(32, 32), 24, 24);

  // The used share of the disk, as the pie charts of the program show it.
  p.setBrush(QColor(46, 160, 80));
  p.setPen(Qt::NoPen);
  p.drawPie(QRectF(12, 12, 40, 40), 90 * 16, -130 * 16);
  p.setBrush(QColor(230, 160, 40));
  p.drawPie(QRectF(12, 12, 40, 40), -40 * 16, -60 * 16);

  p.setBrush(QColor(40, 48, 66));
  p.drawEllipse(QPointF(32, 32), 5, 5);
  p.setBrush(QColor(230, 234, 240));
  p.drawEllipse(QPointF(32, 32), 2, 2);
  p.end();
  return pixmap;
}

QIcon AppIcon() {
  QIcon icon;
  for (const int size : {16, 22, 32, 48, 64, 128, 256}) icon.addPixmap(AppIconPixmap(size));
  return icon;
}

}  // namespace ui
