#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "CoreUtilities/MathConstants.h"
#include "graphs2d/SegmentGeometry.h"

namespace {

fPoint P(double x, double y) { return fPoint{gNaN, x, y}; }

TEST(SegmentGeometry, AgreesWithExactRationalArithmetic) {
  std::ifstream in(ZL_TEST_DATA_DIR "/segment_reference.txt");
  ASSERT_TRUE(in) << "missing reference table";
  std::string line;
  int cases = 0;
  while (std::getline(in, line)) {
    std::istringstream row(line);
    double v[22];
    for (double& x : v) row >> x;
    const double px = v[0], py = v[1], ax = v[2], ay = v[3], bx = v[4], by = v[5];
    SCOPED_TRACE(line);
    EXPECT_NEAR(DistanceToSegmentSquared(px, py, ax, ay, bx, by), v[6], 1e-12 * (1 + v[6]));
    double cx, cy;
    FindClosestPointOnSegment(px, py, ax, ay, bx, by, &cx, &cy);
    EXPECT_NEAR(cx, v[7], 1e-12);
    EXPECT_NEAR(cy, v[8], 1e-12);
    EXPECT_EQ(IsLineInRect(ax, ay, bx, by, v[9], v[10], v[12], v[11]), v[13] != 0);
    fPoint crossing{};
    const bool crosses = DoSegmentsIntersect(P(ax, ay), P(bx, by), P(v[14], v[15]), P(v[16], v[17]), &crossing);
    EXPECT_EQ(crosses, v[18] != 0);
    if (crosses && v[18] != 0) {
      EXPECT_NEAR(crossing.x, v[19], 1e-12);
      EXPECT_NEAR(crossing.y, v[20], 1e-12);
      EXPECT_TRUE(std::isnan(crossing.parameter));
    }
    EXPECT_EQ(DoSegmentsOverlap(P(ax, ay), P(bx, by), P(v[14], v[15]), P(v[16], v[17])), v[21] != 0);
    ++cases;
  }
  EXPECT_EQ(cases, 4000);
}

TEST(SegmentGeometry, NonFiniteInputsAnswerNo) {
  EXPECT_EQ(DistanceToSegmentSquared(0, 0, gInf, 0, 1, 1), gInf);
  EXPECT_EQ(DistanceToSegmentSquared(gNaN, 0, 0, 0, 1, 1), gInf);
  EXPECT_FALSE(IsLineInRect(gNaN, 0, 1, 1, -2, 2, 2, -2));
  fPoint out{};
  EXPECT_FALSE(DoSegmentsIntersect(P(0, gNaN), P(1, 1), P(0, 1), P(1, 0), &out));
  EXPECT_FALSE(DoSegmentsOverlap(P(0, 0), P(gInf, 0), P(0, 0), P(1, 0)));
}

TEST(SegmentGeometry, ParallelVerticalsNeverIntersectAndCollinearPiecesOverlap) {
  fPoint out{};
  EXPECT_FALSE(DoSegmentsIntersect(P(1, 0), P(1, 5), P(1, 2), P(1, 8), &out));
  EXPECT_FALSE(DoSegmentsIntersect(P(1, 0), P(1, 5), P(2, 0), P(2, 5), &out));
  EXPECT_TRUE(DoSegmentsOverlap(P(0, 0), P(1e-3, 2e-3), P(5e-4, 1e-3), P(2e-3, 4e-3)));
  EXPECT_TRUE(DoSegmentsOverlap(P(3, 0), P(3, 5), P(3, 4), P(3, 9)));  // vertical
  EXPECT_FALSE(DoSegmentsOverlap(P(0, 0), P(1, 1), P(1, 1), P(2, 2)));  // one shared point only
}

TEST(ClipLineToCircle, KeepsDirectionAndCollapsesMisses) {
  double x1 = -5, y1 = 0, x2 = 5, y2 = 0;
  ClipLineToCircle(0, 0, 2, &x1, &y1, &x2, &y2);
  EXPECT_DOUBLE_EQ(x1, -2);
  EXPECT_DOUBLE_EQ(x2, 2);
  EXPECT_DOUBLE_EQ(y1, 0);
  EXPECT_DOUBLE_EQ(y2, 0);

  x1 = 0, y1 = 5, x2 = 0, y2 = 0.5;  // vertical, one end inside
  ClipLineToCircle(0, 0, 2, &x1, &y1, &x2, &y2);
  EXPECT_DOUBLE_EQ(y1, 2);
  EXPECT_DOUBLE_EQ(y2, 0.5);
  EXPECT_DOUBLE_EQ(x1, 0);
  EXPECT_DOUBLE_EQ(x2, 0);

  x1 = -5, y1 = 3, x2 = 5, y2 = 3;  // misses
  ClipLineToCircle(1, 1, 1, &x1, &y1, &x2, &y2);
  EXPECT_EQ(x1, 2);
  EXPECT_EQ(x2, 2);
  EXPECT_EQ(y1, 1);
  EXPECT_EQ(y2, 1);

  x1 = 3, y1 = 0, x2 = 9, y2 = 0;  // on the line but wholly outside on one side
  ClipLineToCircle(0, 0, 2, &x1, &y1, &x2, &y2);
  EXPECT_EQ(x1, 2);
  EXPECT_EQ(x2, 2);

  x1 = -0.5, y1 = 0.25, x2 = 0.5, y2 = -0.25;  // inside: unchanged
  ClipLineToCircle(0, 0, 2, &x1, &y1, &x2, &y2);
  EXPECT_EQ(x1, -0.5);
  EXPECT_EQ(y2, -0.25);
}

}  // namespace
