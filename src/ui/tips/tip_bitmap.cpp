#include "ui/tips/tip_bitmap.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QPolygonF>

namespace ui {

namespace {

// The sixteen colours of the classic VGA palette.
QList<QRgb> SixteenColours() {
  return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
          qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
          qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
          qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QImage DrawBulb() {
  const QColor black(0, 0, 0), olive(128, 128, 0), silver(192, 192, 192), grey(128, 128, 128),
      yellow(255, 255, 0), white(255, 255, 255);
  QImage image(kTipBitmapWidth, kTipBitmapHeight, QImage::Format_RGB32);
  image.fill(white);
  QPainter painter(&image);  // aliased: every pixel stays one of the sixteen colours

  // Light rays around the glass.
  painter.setPen(QPen(olive, 1));
  painter.drawLine(20, 1, 20, 3);
  painter.drawLine(2, 18, 5, 18);
  painter.drawLine(35, 18, 38, 18);
  painter.drawLine(6, 5, 8, 7);
  painter.drawLine(34, 5, 32, 7);
  painter.drawLine(4, 30, 7, 28);
  painter.drawLine(36, 30, 33, 28);

  // Glass: a round bulb narrowing into the neck, outlined as one shape.
  QPainterPath glass;
  glass.addEllipse(QRectF(9, 6, 22, 22));
  QPainterPath neck;
  neck.addPolygon(QPolygonF({QPointF(13, 24), QPointF(27, 24), QPointF(25, 35), QPointF(15, 35)}));
  glass = glass.united(neck);
  painter.setPen(QPen(black, 1));
  painter.setBrush(yellow);
  painter.drawPath(glass);
  painter.setPen(QPen(white, 1));
  painter.setBrush(white);
  painter.drawEllipse(QRect(13, 10, 3, 5));

  // Filament.
  painter.setPen(QPen(olive, 1));
  painter.drawPolyline(QPolygon({QPoint(17, 34), QPoint(17, 23), QPoint(19, 20), QPoint(21, 23),
                                 QPoint(23, 20), QPoint(23, 34)}));

  // Screw base with its threads and contact.
  painter.setPen(QPen(black, 1));
  painter.setBrush(silver);
  painter.drawRect(QRect(14, 35, 12, 10));
  painter.setPen(QPen(grey, 1));
  for (const int y : {37, 39, 41, 43}) painter.drawLine(15, y, 25, y);
  painter.setPen(QPen(black, 1));
  painter.setBrush(grey);
  painter.drawRect(QRect(17, 46, 6, 3));
  painter.end();

  return image.convertToFormat(QImage::Format_Indexed8, SixteenColours(), Qt::ThresholdDither);
}

}  // namespace

const QImage& TipBitmap() {
  static const QImage bitmap = DrawBulb();
  return bitmap;
}

}  // namespace ui
