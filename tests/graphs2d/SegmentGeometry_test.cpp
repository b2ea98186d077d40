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
  EXPECT_TRUE(DoSegmentsOverlap(P(3, 0), P(3, 5), P(3, 4), P(3, 9)));   // vertical
  EXPECT_FALSE(DoSegmentsOverlap(P(0, 0), P(1, 1), P(1, 1), P(2, 2)));  // one shared point only
}

// A miss collapses both ends onto the circle's point nearest the line.
TEST(ClipLineToCircle, KeepsDirectionAndCollapsesMisses) {
  const struct {
    double cx, cy, radius, in[4], out[4];
  } rows[] = {
      {0, 0, 2, {-5, 0, 5, 0}, {-2, 0, 2, 0}},
      {0, 0, 2, {0, 5, 0, 0.5}, {0, 2, 0, 0.5}},                      // vertical, one end inside
      {1, 1, 1, {-5, 3, 5, 3}, {2, 1, 2, 1}},                         // misses
      {0, 0, 2, {3, 0, 9, 0}, {2, 0, 2, 0}},                          // on the line, wholly outside on one side
      {0, 0, 2, {-0.5, 0.25, 0.5, -0.25}, {-0.5, 0.25, 0.5, -0.25}},  // inside: unchanged
  };
  for (const auto& r : rows) {
    double e[4] = {r.in[0], r.in[1], r.in[2], r.in[3]};
    ClipLineToCircle(r.cx, r.cy, r.radius, &e[0], &e[1], &e[2], &e[3]);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(e[i], r.out[i], 1e-14) << r.in[0] << "," << r.in[1] << " end " << i;
  }
}

}  // namespace
