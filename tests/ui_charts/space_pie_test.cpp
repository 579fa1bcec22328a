#include <gtest/gtest.h>

#include <QApplication>

#include "support_ui/qt_application.h"
#include <QLabel>

#include "ui/charts/space_pie.h"

namespace ui {
namespace {

using testing_support::App;

constexpr int kW = 80;
constexpr int kH = 60;
const QColor kFace(212, 208, 200);

// Landmarks of an 80 x 60 chart: the top face spans y 5..44 around y 25, the side
// band shows below it down to y 54.
const QPoint kTopFront(kW / 2, 38);
const QPoint kTopBack(kW / 2, 12);
const QPoint kTopLeft(12, 25);
const QPoint kBandFrontLeft(20, 49);
const QPoint kBandFrontRight(kW - 20, 49);
const QPoint kBandLeftTip(6, 35);

class SpacePieTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { App(); }
  static QImage Pie(std::uint64_t whole, std::uint64_t part) {
    return DrawSpacePie(QSize(kW, kH), whole, part, kFace);
  }
  static int Count(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & RGB_MASK) == (colour & RGB_MASK);
    }
    return count;
  }
  static QRgb At(const QImage& image, QPoint point) { return image.pixel(point) | 0xFF000000; }
};

TEST_F(SpacePieTest, NothingWastedIsAPlainBlueDiscOnTheButtonFace) {
  const QImage pie = Pie(1000, 0);
  EXPECT_EQ(At(pie, {0, 0}), kFace.rgb());
  EXPECT_EQ(At(pie, {kW - 1, kH - 1}), kFace.rgb());
  EXPECT_EQ(At(pie, kTopFront), kSpaceDataColour);
  EXPECT_EQ(At(pie, kTopBack), kSpaceDataColour);
  EXPECT_EQ(At(pie, kBandFrontLeft), kDiscSideColour);
  EXPECT_EQ(Count(pie, kSpaceWasteColour), 0);
  EXPECT_EQ(Count(pie, kSliceSideColour), 0);
  // The disc fills its boxes exactly: x 5..74, top face from y 5, side down to y 54.
  EXPECT_EQ(At(pie, {5, 25}), kPieOutlineColour);
  EXPECT_EQ(At(pie, {4, 25}), kFace.rgb());
  EXPECT_EQ(At(pie, {kW - 6, 25}), kPieOutlineColour);
  EXPECT_EQ(At(pie, {kW - 5, 25}), kFace.rgb());
  EXPECT_EQ(At(pie, {kW / 2, 5}), kPieOutlineColour);
  EXPECT_EQ(At(pie, {kW / 2, kH - 6}), kPieOutlineColour);
  EXPECT_EQ(At(pie, {kW / 2, kH - 5}), kFace.rgb());
}

TEST_F(SpacePieTest, HalfFreeIsAMagentaFrontHalfWithAnEdgeAtTheRightAndAPurpleBand) {
  const QImage pie = Pie(1000, 500);
  EXPECT_EQ(At(pie, kTopFront), kSpaceWasteColour);
  EXPECT_EQ(At(pie, kTopBack), kSpaceDataColour);
  EXPECT_EQ(At(pie, kBandFrontLeft), kSliceSideColour);
  EXPECT_EQ(At(pie, kBandFrontRight), kSliceSideColour);
  EXPECT_EQ(Count(pie, kDiscSideColour), 0);
  for (int y = 25; y < 35; ++y) EXPECT_EQ(At(pie, {kW - 5, y}), kPieOutlineColour) << y;
  EXPECT_EQ(At(pie, {kW - 5, 35}), kFace.rgb());
}

TEST_F(SpacePieTest, AQuarterClosesTheBandBelowTheSlicesEnd) {
  const QImage pie = Pie(1000, 250);
  EXPECT_EQ(At(pie, QPoint(25, 35)), kSpaceWasteColour);   // front left
  EXPECT_EQ(At(pie, QPoint(55, 35)), kSpaceDataColour);    // front right
  EXPECT_EQ(At(pie, kBandFrontLeft), kSliceSideColour);
  EXPECT_EQ(At(pie, kBandFrontRight), kDiscSideColour);
  // The closing line: cos θ is a hair above 0, so x truncates to 39.
  EXPECT_EQ(At(pie, QPoint(kW / 2 - 1, 50)), kPieOutlineColour);
}

TEST_F(SpacePieTest, ATinySliceLeavesTheBandNavy) {
  const QImage pie = Pie(1'000'000'000, 1);
  EXPECT_EQ(Count(pie, kSliceSideColour), 0);
  EXPECT_EQ(At(pie, kBandLeftTip), kDiscSideColour);
  EXPECT_EQ(At(pie, kTopFront), kSpaceDataColour);
}

TEST_F(SpacePieTest, AWholeOrNearlyWholeSliceFillsTheTopInsteadOfVanishing) {
  for (const auto& [whole, part] : {std::pair<std::uint64_t, std::uint64_t>{1000, 1000},
                                    {1'000'000'000, 999'999'999},
                                    {1000, 999},
                                    {1000, 5000},  // more than the whole counts as the whole
                                    {std::uint64_t{1} << 40, (std::uint64_t{1} << 40) - 3}}) {
    SCOPED_TRACE(testing::Message() << part << " of " << whole);
    const QImage pie = Pie(whole, part);
    EXPECT_EQ(Count(pie, kSpaceDataColour), 0);
    EXPECT_EQ(Count(pie, kDiscSideColour), 0);
    EXPECT_EQ(At(pie, kTopLeft), kSpaceWasteColour);
    EXPECT_EQ(At(pie, kBandFrontRight), kSliceSideColour);
  }
}

TEST_F(SpacePieTest, NothingOfNothingAndOddSizesDrawWithoutFault) {
  const QImage empty = Pie(0, 7);
  EXPECT_EQ(Count(empty, kSpaceWasteColour), 0);
  EXPECT_EQ(At(empty, kTopFront), kSpaceDataColour);
  for (const QSize size : {QSize(0, 0), QSize(5, 5), QSize(11, 21), QSize(12, 22), QSize(13, 200),
                           QSize(400, 23)}) {
    for (const std::uint64_t part : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{50},
                                     std::uint64_t{99}, std::uint64_t{100}}) {
      const QImage pie = DrawSpacePie(size, 100, part, kFace);
      EXPECT_FALSE(pie.isNull());
      EXPECT_EQ(pie.size(), size.expandedTo(QSize(1, 1)));
    }
  }
}

TEST_F(SpacePieTest, TheWidgetAndThePictureShowTheChartAtTheirSize) {
  SpacePieWidget widget;
  widget.resize(kW, kH);
  widget.SetFigures(1000, 500);
  const QImage shown = widget.grab().toImage();
  EXPECT_EQ(At(shown, kTopFront), kSpaceWasteColour);
  EXPECT_EQ(At(shown, kTopBack), kSpaceDataColour);

  QLabel picture;
  picture.resize(kW, kH);
  DrawSpacePie(picture, 1000, 0);
  const QImage image = picture.pixmap().toImage();
  EXPECT_EQ(image.size(), QSize(kW, kH));
  EXPECT_EQ(Count(image, kSpaceWasteColour), 0);
}

}  // namespace
}  // namespace ui
