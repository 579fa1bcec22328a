#include "ui/commands/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <functional>

#include "ui/commands/command_ids.h"

namespace ui {
namespace {

using Painter = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 48);
const QColor kPaper(250, 250, 246);
const QColor kFolder(232, 184, 60);
const QColor kBlue(46, 104, 190);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);

QIcon Draw(const Painter& paint) {
  QPixmap pixmap(kToolbarImageSize, kToolbarImageSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  painter.end();
  return QIcon(pixmap);
}

void Disk(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(150, 156, 170));
  p.drawRoundedRect(r, 1.5, 1.5);
  p.setBrush(kGreen);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(r.right() - 2.5, r.center().y()), 1.2, 1.2);
}

void Page(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setPen(QPen(QColor(120, 120, 130), 1));
  for (double y = r.top() + 3; y < r.bottom() - 1; y += 2.5) {
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
  }
}

void Folder(QPainter& p, const QRectF& r) {
  QPainterPath path;
  path.moveTo(r.left(), r.top() + 2);
  path.lineTo(r.left() + r.width() * 0.4, r.top() + 2);
  path.lineTo(r.left() + r.width() * 0.5, r.top() + 3.5);
  path.lineTo(r.right(), r.top() + 3.5);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(QPen(kInk, 1));
  p.setBrush(kFolder);
  p.drawPath(path);
}

void PerformActions(QPainter& p) {
  Disk(p, QRectF(1.5, 10.5, 14, 5));
  QPainterPath play;
  play.moveTo(4.5, 1.5);
  play.lineTo(12.5, 5.5);
  play.lineTo(4.5, 9.5);
  play.closeSubpath();
  p.setPen(QPen(kInk, 1));
  p.setBrush(kGreen);
  p.drawPath(play);
}

void TreeProperties(QPainter& p) {
  Disk(p, QRectF(1.5, 9.5, 10, 6));
  Page(p, QRectF(7.5, 1.5, 8, 10));
}

void ChangeClusterSize(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(120, 170, 230));
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 2; ++col) p.drawRect(QRectF(1.5 + col * 4, 1.5 + row * 4, 3, 3));
  }
  p.setBrush(kBlue);
  p.drawRect(QRectF(8.5, 8.5, 7, 7));
  p.setPen(QPen(kRed, 1.4));
  p.drawLine(QPointF(6.5, 6.5), QPointF(10, 10));
  p.drawLine(QPointF(10, 10), QPointF(10, 7.5));
  p.drawLine(QPointF(10, 10), QPointF(7.5, 10));
}

void ClusterSizeAnalysis(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.drawLine(QPointF(1.5, 15.5), QPointF(15.5, 15.5));
  p.drawLine(QPointF(1.5, 1.5), QPointF(1.5, 15.5));
  const double heights[] = {4, 8, 12, 6};
  const QColor colours[] = {kGreen, kBlue, kRed, kFolder};
  for (int i = 0; i < 4; ++i) {
    p.setBrush(colours[i]);
    p.drawRect(QRectF(3.5 + i * 3, 15.5 - heights[i], 2, heights[i]));
  }
}

void Rescan(QPainter& p) {
  p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(3, 3, 11, 11), 60 * 16, 280 * 16);
  QPainterPath head;
  head.moveTo(9.5, 0.5);
  head.lineTo(14.5, 3.5);
  head.lineTo(9.5, 6.5);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawPath(head);
}

void StopScanning(QPainter& p) {
  QPolygonF octagon;
  for (int i = 0; i < 8; ++i) {
    const double angle = (22.5 + 45.0 * i) * 3.14159265358979 / 180.0;
    octagon << QPointF(8.5 + 7 * std::cos(angle), 8.5 + 7 * std::sin(angle));
  }
  p.setPen(QPen(kInk, 1));
  p.setBrush(kRed);
  p.drawPolygon(octagon);
  p.setPen(QPen(Qt::white, 1.8));
  p.drawLine(QPointF(5, 8.5), QPointF(12, 8.5));
}

void UpOneLevel(QPainter& p) {
  Folder(p, QRectF(1.5, 4.5, 14, 11));
  p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(8.5, 14), QPointF(8.5, 8));
  p.drawLine(QPointF(5.5, 10.5), QPointF(8.5, 7.5));
  p.drawLine(QPointF(11.5, 10.5), QPointF(8.5, 7.5));
}

void SelectAll(QPainter& p) {
  p.setPen(QPen(kInk, 1, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(1.5, 1.5, 14, 14));
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  for (int i = 0; i < 3; ++i) p.drawRect(QRectF(3.5, 3.5 + i * 4, 10, 2));
}

void ListProperties(QPainter& p) {
  Page(p, QRectF(2.5, 1.5, 10, 14));
  p.setPen(QPen(kBlue, 1.6));
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(12.5, 12.5), 3.2, 3.2);
  p.drawLine(QPointF(12.5, 11.5), QPointF(12.5, 14));
}

void SelectActions(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawRect(QRectF(1.5, 3.5, 11, 11));
  p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(3.5, 8.5), QPointF(6.5, 12), QPointF(15, 1.5)}));
}

void ContextHelp(QPainter& p) {
  QPainterPath arrow;
  arrow.moveTo(1.5, 1.5);
  arrow.lineTo(1.5, 12.5);
  arrow.lineTo(4.2, 10);
  arrow.lineTo(6.2, 14.5);
  arrow.lineTo(7.8, 13.8);
  arrow.lineTo(5.8, 9.4);
  arrow.lineTo(9.3, 9.4);
  arrow.closeSubpath();
  p.setPen(QPen(kInk, 1));
  p.setBrush(Qt::white);
  p.drawPath(arrow);
  QFont font = p.font();
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(kBlue);
  p.drawText(QRectF(9, 1, 8, 13), Qt::AlignCenter, QStringLiteral("?"));
}

void Exit(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(160, 110, 60));
  p.drawRect(QRectF(1.5, 1.5, 8, 14));
  p.setBrush(kFolder);
  p.drawEllipse(QPointF(7.5, 9), 0.8, 0.8);
  p.setPen(QPen(kRed, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(9.5, 8.5), QPointF(15.5, 8.5));
  p.drawLine(QPointF(13, 6), QPointF(15.5, 8.5));
  p.drawLine(QPointF(13, 11), QPointF(15.5, 8.5));
}

}  // namespace

QIcon ToolbarIcon(int id) {
  using namespace ui::cmd;
  switch (id) {
    case kPerformActions: return Draw(PerformActions);
    case kTreeProperties: return Draw(TreeProperties);
    case kChangeClusterSize: return Draw(ChangeClusterSize);
    case kClusterSizeAnalysis: return Draw(ClusterSizeAnalysis);
    case kRescan: return Draw(Rescan);
    case kStopScanning: return Draw(StopScanning);
    case kUpOneLevel: return Draw(UpOneLevel);
    case kSelectAll: return Draw(SelectAll);
    case kListProperties: return Draw(ListProperties);
    case kSelectActions: return Draw(SelectActions);
    case kContextHelp: return Draw(ContextHelp);
    case kAppExit: return Draw(Exit);
    default: return {};
  }
}

}  // namespace ui
