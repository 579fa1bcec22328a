#include "ui/charts/space_pie.h"

#include <QLabel>
#include <QPainter>
#include <QPalette>

#include <cmath>
#include <numbers>
#include <vector>

namespace ui {

namespace {

// The chart needs room for the 10-pixel side band and its margins.
constexpr int kMinimumWidth = 12;
constexpr int kMinimumHeight = 22;

// A box given by its corners, right and bottom excluded, as the aliased rectangle that
// covers exactly those pixels.
QRect Box(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left - 1, bottom - top - 1);
}

// Fills the 4-connected region around `seed` up to pixels of the border colour.
void FloodFill(QImage& image, QPoint seed, QRgb border, QRgb fill) {
  if (!image.rect().contains(seed)) return;
  const int width = image.width();
  const int height = image.height();
  const auto pixel = [&image](int x, int y) -> QRgb& {
    return reinterpret_cast<QRgb*>(image.scanLine(y))[x];
  };
  const auto fillable = [&](int x, int y) {
    const QRgb colour = pixel(x, y) & RGB_MASK;
    return colour != (border & RGB_MASK) && colour != (fill & RGB_MASK);
  };
  std::vector<QPoint> pending{seed};
  while (!pending.empty()) {
    const QPoint point = pending.back();
    pending.pop_back();
    const int y = point.y();
    if (!fillable(point.x(), y)) continue;
    int left = point.x();
    while (left > 0 && fillable(left - 1, y)) --left;
    int right = point.x();
    while (right < width - 1 && fillable(right + 1, y)) ++right;
    for (int x = left; x <= right; ++x) pixel(x, y) = fill;
    for (const int next : {y - 1, y + 1}) {
      if (next < 0 || next >= height) continue;
      bool inRun = false;
      for (int x = left; x <= right; ++x) {
        const bool open = fillable(x, next);
        if (open && !inRun) pending.emplace_back(x, next);
        inRun = open;
      }
    }
  }
}

// The angle, in degrees counter-clockwise from three o'clock, of the point where the
// radial from the centre of `ellipse` through `point` meets its rim, in the terms
// QPainter's arcs measure on an ellipse.
double RimAngle(const QRect& ellipse, QPoint point) {
  const double halfWidth = ellipse.width() / 2.0;
  const double halfHeight = ellipse.height() / 2.0;
  const double dx = (point.x() - (ellipse.x() + halfWidth)) / halfWidth;
  const double dy = (point.y() - (ellipse.y() + halfHeight)) / halfHeight;
  const double degrees = std::atan2(-dy, dx) * 180.0 / std::numbers::pi;
  return degrees < 0 ? degrees + 360.0 : degrees;
}

}  // namespace

QImage DrawSpacePie(QSize size, std::uint64_t whole, std::uint64_t part, QColor background) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(background);
  const int w = size.width();
  const int h = size.height();
  if (w < kMinimumWidth || h < kMinimumHeight) return image;
  part = std::min(part, whole);

  const QRect side = Box(5, 15, w - 5, h - 5);
  const QRect top = Box(5, 5, w - 5, h - 15);
  QPainter painter(&image);
  painter.setPen(QPen(QColor(kPieOutlineColour), 1));
  painter.setBrush(QColor(kDiscSideColour));
  painter.drawEllipse(side);
  painter.setBrush(QColor(kSpaceDataColour));
  painter.drawEllipse(top);
  if (part == 0) return image;

  // The slice's end on the top face's rim: angle 0 at its leftmost point, growing
  // through the front half.
  const double theta = static_cast<double>(part) / static_cast<double>(whole) * 6.283185307;
  const int x = static_cast<int>(std::cos(theta) * ((10 - w) / 2) + w / 2);
  const int y = static_cast<int>(std::sin(theta) * ((h - 20) / 2) + (h - 10) / 2);
  const std::uint64_t half = whole >> 1;

  if (part <= half) painter.drawLine(x, y, x, y + 9);  // closes the slice's side band
  if (!(part < half && x <= 6)) {
    painter.end();
    FloodFill(image, QPoint(6, (h - 10) / 2 + 10), kPieOutlineColour, kSliceSideColour);
    painter.begin(&image);
    painter.setPen(QPen(QColor(kPieOutlineColour), 1));
  }

  painter.setBrush(QColor(kSpaceWasteColour));
  const double start = RimAngle(top, QPoint(5, (h - 10) / 2 - 1));
  const double span = std::fmod(RimAngle(top, QPoint(x, y)) - start + 360.0, 360.0);
  // An end that truncation puts on the start radial, or just before it, would leave a
  // sliver where (nearly) the whole disc is meant.
  if (part == whole || span == 0.0 || (part > half && span < 180.0)) {
    painter.drawEllipse(top);
  } else {
    painter.drawPie(top, qRound(start * 16), qRound(span * 16));
  }
  return image;
}

void DrawSpacePie(QLabel& picture, std::uint64_t whole, std::uint64_t part) {
  picture.setPixmap(QPixmap::fromImage(DrawSpacePie(
      picture.contentsRect().size(), whole, part, picture.palette().color(QPalette::Button))));
}

QPixmap LegendSquare(QRgb colour, int side) {
  QPixmap square(side, side);
  square.fill(QColor(colour));
  return square;
}

SpacePieWidget::SpacePieWidget(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SpacePieWidget::SetFigures(std::uint64_t whole, std::uint64_t part) {
  whole_ = whole;
  part_ = part;
  update();
}

void SpacePieWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0),
                    DrawSpacePie(size(), whole_, part_, palette().color(QPalette::Button)));
}

}  // namespace ui
