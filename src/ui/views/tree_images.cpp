#include "ui/views/tree_images.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/charts/space_pie.h"

namespace ui {
namespace {

constexpr int kSide = 16;

QPixmap Blank() {
  QPixmap pixmap(kSide, kSide);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

template <typename Draw>
QPixmap Drawn(Draw draw) {
  QPixmap pixmap = Blank();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  draw(painter);
  return pixmap;
}

void DrawDriveBody(QPainter& p, QColor body) {
  p.setPen(Qt::black);
  p.setBrush(body);
  p.drawRect(1, 6, 13, 6);
  p.setPen(QColor(0, 200, 0));
  p.drawPoint(12, 10);
}

QPixmap RemovableDrive() {
  return Drawn([](QPainter& p) {
    DrawDriveBody(p, QColor(192, 192, 192));
    p.setPen(Qt::black);
    p.drawLine(4, 8, 10, 8);  // the slot
  });
}

QPixmap HardDrive() {
  return Drawn([](QPainter& p) { DrawDriveBody(p, QColor(160, 160, 160)); });
}

QPixmap NetworkDrive() {
  return Drawn([](QPainter& p) {
    DrawDriveBody(p, QColor(160, 160, 160));
    p.setPen(Qt::black);
    p.drawLine(7, 12, 7, 15);
    p.drawLine(2, 15, 13, 15);
  });
}

QPixmap CdRomDrive() {
  return Drawn([](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::black);
    p.setBrush(QColor(230, 230, 160));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6, 6, 4, 4));
  });
}

QPixmap MemoryChip() {
  return Drawn([](QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(3, 4, 9, 8);
    for (int x = 4; x <= 11; x += 2) {
      p.drawLine(x, 2, x, 3);
      p.drawLine(x, 13, x, 14);
    }
  });
}

QPixmap QuestionMark() {
  return Drawn([](QPainter& p) {
    QFont font = p.font();
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::darkBlue);
    p.drawText(QRect(0, 0, kSide, kSide), Qt::AlignCenter, QStringLiteral("?"));
  });
}

QPixmap Folder(bool open, QColor colour) {
  return Drawn([open, colour](QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(colour.darker(115));
    p.drawRect(1, 3, 5, 2);     // the tab
    p.drawRect(1, 4, 13, 9);    // the back
    if (open) {
      QPainterPath front;
      front.moveTo(3, 7);
      front.lineTo(15, 7);
      front.lineTo(13, 13);
      front.lineTo(1, 13);
      front.closeSubpath();
      p.setBrush(colour);
      p.drawPath(front);
    }
  });
}

QPixmap MagnifyingGlass(bool second) {
  return Drawn([second](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(second ? QColor(255, 255, 160) : QColor(200, 230, 255));
    p.drawEllipse(QRectF(2, 2, 8, 8));
    p.setPen(QPen(second ? QColor(128, 0, 0) : Qt::black, 2.5));
    p.drawLine(QPointF(9, 9), QPointF(14, 14));
  });
}

// The letter A beside a bar filled to `level` of 13 steps.
QPixmap FillBar(int level, QColor bar) {
  return Drawn([level, bar](QPainter& p) {
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 2, 10, 13), Qt::AlignCenter, QStringLiteral("A"));
    p.setBrush(Qt::white);
    p.drawRect(10, 1, 4, 14);
    if (level > 0) p.fillRect(QRect(11, 15 - level, 3, level), bar);
  });
}

// A red "no entry" sign in the lower right corner, drawn over the folder of a folder that
// cannot be read.
QPixmap NoEntrySign() {
  return Drawn([](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(210, 0, 0));
    p.drawEllipse(QRectF(7.5, 7.5, 8, 8));
    p.fillRect(QRectF(9.5, 10.75, 4, 1.5), Qt::white);
  });
}

}  // namespace

TreeImages::TreeImages() : unreadable_(NoEntrySign()) {
  using namespace tree_image;
  state_ = {Blank(),           RemovableDrive(), HardDrive(),
            NetworkDrive(),    CdRomDrive(),     MemoryChip(),
            QuestionMark(),    Folder(false, QColor(255, 220, 80)),
            Folder(true, QColor(255, 220, 80)),  Folder(false, QColor(120, 200, 255)),
            Folder(true, QColor(120, 200, 255))};
  normal_.reserve(kNormalCount);
  normal_ << Blank() << MagnifyingGlass(false) << MagnifyingGlass(true) << Blank();
  for (int i = 0; i < kPieCount; ++i) {
    normal_ << QPixmap::fromImage(DrawSpacePie(QSize(kSide, kSide), kPieCount - 1, i, Qt::white));
  }
  for (int i = 0; i < kFillBarCount; ++i) normal_ << FillBar(i, QColor(0, 170, 0));
  for (int i = 0; i < kFillBarCount; ++i) normal_ << FillBar(i, QColor(220, 0, 220));
}

}  // namespace ui
