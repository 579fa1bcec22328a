#pragma once
// The small three-dimensional pie chart of the space pages: a navy disc side under a
// blue top face, with the wasted (or free) share as a magenta slice over a purple side.

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdint>

class QLabel;

namespace ui {

// Legend squares and chart colours.
inline constexpr QRgb kSpaceDataColour = qRgb(0, 0, 255);      // data, used space
inline constexpr QRgb kSpaceWasteColour = qRgb(255, 0, 255);   // waste, free space
inline constexpr QRgb kDiscSideColour = qRgb(0, 0, 128);
inline constexpr QRgb kSliceSideColour = qRgb(128, 0, 128);
inline constexpr QRgb kPieOutlineColour = qRgb(0, 0, 0);
inline constexpr int kLegendSquareSide = 10;

// The chart of `part` out of `whole` on a size.width() x size.height() image filled with
// `background`. A part above the whole counts as the whole; a whole of 0 draws a plain
// disc; a slice that would end on or just before its own start fills the whole top.
QImage DrawSpacePie(QSize size, std::uint64_t whole, std::uint64_t part, QColor background);

// Draws the chart at the label's size, on the button-face colour, as its picture.
void DrawSpacePie(QLabel& picture, std::uint64_t whole, std::uint64_t part);

// A one-colour legend square.
QPixmap LegendSquare(QRgb colour, int side = kLegendSquareSide);

// A widget showing the chart for its current figures at its own size.
class SpacePieWidget : public QWidget {
 public:
  explicit SpacePieWidget(QWidget* parent = nullptr);
  void SetFigures(std::uint64_t whole, std::uint64_t part);
  QSize sizeHint() const override { return {72, 56}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::uint64_t whole_ = 0;
  std::uint64_t part_ = 0;
};

}  // namespace ui
