#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <limits>

#include "tests/support/QtApplication.h"
#include "window/AxisIndicator.h"

namespace {

QImage Drawn(const AxisIndicator& indicator, QSize size) {
  EnsureQtApplication();
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  indicator.Draw(painter, image.rect());
  return image;
}

bool HasArmColour(QRgb p, int arm) {
  const QRgb want = AxisIndicator::kAxisColours[arm];
  return std::abs(qRed(p) - qRed(want)) < 40 && std::abs(qGreen(p) - qGreen(want)) < 40 &&
         std::abs(qBlue(p) - qBlue(want)) < 40;
}

// The farthest pixel of the arm's colour from the point, in pixels; -1 for none.
double Reach(const QImage& image, QPointF from, int arm) {
  double reach = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (HasArmColour(image.pixel(x, y), arm))
        reach = std::max(reach, std::hypot(x + 0.5 - from.x(), y + 0.5 - from.y()));
  return reach;
}

TEST(AxisIndicator, NothingIsDrawnBeforeTheViewGivesPointsOrWhereThereIsNoRoom) {
  const QImage none = Drawn(AxisIndicator(), QSize(300, 200));
  EXPECT_EQ(none.pixel(20, 180), qRgb(0, 0, 0));
  AxisIndicator kept;
  const double points[10] = {0, 0, 1, 0, 0, 1, -1, 0, 0, -1};
  kept.Keep(points);
  EXPECT_TRUE(AxisIndicator::Box(QRect(0, 0, 60, 200)).isEmpty());
  const QImage narrow = Drawn(kept, QSize(60, 200));
  EXPECT_EQ(narrow, Drawn(AxisIndicator(), QSize(60, 200)));
}

// The lines keep the proportions of the view's, at most as long as the
// box holds; an end the view could not place leaves its line out.
TEST(AxisIndicator, LongArmsShrinkTogetherInsideTheBoxAndUnusableOnesAreLeftOut) {
  const QRect pane(0, 0, 300, 200);
  const QRect box = AxisIndicator::Box(pane);
  ASSERT_FALSE(box.isEmpty());
  EXPECT_EQ(box.left() - pane.left(), pane.bottom() - box.bottom());
  const QPointF centre = QRectF(box).center();
  const double inf = std::numeric_limits<double>::infinity();

  AxisIndicator unit;
  const double unitPoints[10] = {5, 5, 6, 5, 5, 4, 5, 6, 5 + inf, 5};
  unit.Keep(unitPoints);
  const QImage u = Drawn(unit, pane.size());
  for (int arm = 0; arm < 3; ++arm) EXPECT_NEAR(Reach(u, centre, arm), AxisIndicator::kPixelsPerUnit, 2.5) << arm;
  EXPECT_EQ(Reach(u, centre, 3), -1);

  AxisIndicator longArms;
  const double longPoints[10] = {0, 0, 4, 0, 0, -2, std::nan(""), 0, 0, 1};
  longArms.Keep(longPoints);
  const QImage l = Drawn(longArms, pane.size());
  const double x = Reach(l, centre, 0), y = Reach(l, centre, 1), w = Reach(l, centre, 3);
  EXPECT_LT(x, box.width() / 2.0);
  EXPECT_GT(x, AxisIndicator::kPixelsPerUnit / 2.0);
  EXPECT_NEAR(y, x / 2, 2.5);
  EXPECT_NEAR(w, x / 4, 2.5);
  EXPECT_EQ(Reach(l, centre, 2), -1);
}

}  // namespace
