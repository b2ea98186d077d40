#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/curves/A3DPoint.h"
#include "graphs3d/curves/ASpaceCurve.h"
#include "graphs3d/drawing/UnitSphere.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

bool IsFiniteVertex(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

std::unique_ptr<AGraphColor> SolidColour() {
  auto colour = std::make_unique<AGraphColor>();
  colour->fSolidColor = 0x3366CC;
  return colour;
}

Compiled CurveExpression(const char* text) { return text ? MakeExpression(text) : nullptr; }

// Curves and points of a 3-D view, computed on the workers.
class SpaceGraphTest : public testing::Test {
 protected:
  void SetUp() override {
    StartComputeThreads();
    ResetDeferredErrors();
    view.SetViewRect(MRect{0, 0, 600, 800});
    view.ConstructContextNeededByGraphConstructors();
    double* t = view.Record().ranges[kCoordT];
    t[0] = 0, t[1] = 4 * gPi;
  }
  void TearDown() override {
    graph.reset();
    StopComputeThreads();
  }
  ASpaceCurve& Curve(const char* x, const char* y, const char* z, const char* radius, const char* condition,
                     double grain) {
    const double* t = view.Record().ranges[kCoordT];
    graph = std::make_unique<ASpaceCurve>(CurveExpression(x), CurveExpression(y), CurveExpression(z),
                                          CurveExpression(radius), CurveExpression(condition), SolidColour(), grain,
                                          1.0, view.DrawContext(), t[0], t[1]);
    Wait();
    return static_cast<ASpaceCurve&>(*graph);
  }
  A3DPoint& Point(const char* x, const char* y, const char* z, double size) {
    graph = std::make_unique<A3DPoint>(CurveExpression(x), CurveExpression(y), CurveExpression(z), SolidColour(), size,
                                       1.0, view.DrawContext());
    Wait();
    return static_cast<A3DPoint&>(*graph);
  }
  void Wait() { WaitUntilDone(*graph); }

  A3DGraphView view;
  std::unique_ptr<A3DGraph> graph;
};

TEST_F(SpaceGraphTest, HelixIsSampledOverTheWholeRangeAsATube) {
  ASpaceCurve& helix = Curve("cos(u)", "sin(u)", "u/10", "0.1", nullptr, 0.5);
  ASSERT_EQ(helix.SampleCount(), 600);
  for (int32_t i = 0; i < 600; i += 37) {
    const double t = 4 * gPi * i / 599;
    EXPECT_NEAR(helix.Points()[i].x, std::cos(t), 1e-6);
    EXPECT_NEAR(helix.Points()[i].y, std::sin(t), 1e-6);
    EXPECT_NEAR(helix.Points()[i].z, t / 10, 1e-6);
  }
  EXPECT_FLOAT_EQ(helix.Points()[599].z, float(4 * gPi / 10));
  const ACurve3D& tube = helix.Tube();
  EXPECT_TRUE(tube.IsTube());
  EXPECT_EQ(tube.Sides(), 10);
  EXPECT_EQ(tube.TriangleCount(), 2 * 10 * 599);
  EXPECT_EQ(helix.GraphVisibility(), 0);
  EXPECT_GT(helix.MaximumModelSpaceRadius(), 0);
  helix.SetParameter(kAttributeSaveFinishedModels, 0);
  EXPECT_TRUE(helix.Draw());
}

TEST_F(SpaceGraphTest, InfinitiesAndFailedConditionsBreakTheCurve) {
  double* t = view.Record().ranges[kCoordT];
  t[0] = -1, t[1] = 1;
  // A grain that gives 201 samples puts one on u = 0.
  ASpaceCurve& pole = Curve("u", "1/u", "0", nullptr, nullptr, 0.00125);
  ASSERT_EQ(pole.SampleCount(), 201);
  EXPECT_FALSE(IsFiniteVertex(pole.Points()[100]));
  EXPECT_TRUE(IsFiniteVertex(pole.Points()[99]) && IsFiniteVertex(pole.Points()[101]));
  EXPECT_FALSE(pole.Tube().IsTube());
  EXPECT_EQ(pole.Tube().SegmentCount(), 198);

  ASpaceCurve& half = Curve("u", "u^2", "0", "0.05", "u > 0", 0);
  int32_t finite = 0;
  for (int32_t i = 0; i < half.SampleCount(); ++i) finite += IsFiniteVertex(half.Points()[i]);
  EXPECT_EQ(finite, 100);
  EXPECT_EQ(half.Tube().TriangleCount(), 2 * half.Tube().Sides() * 99);

  EXPECT_EQ(Curve("sqrt(-1 - u^2)", "0", "0", nullptr, nullptr, 0).GraphVisibility(), 11);
}

TEST_F(SpaceGraphTest, GrainAndSlidersRecomputeTheCurve) {
  ASpaceCurve& curve = Curve("cos(u)", "sin(u)", "u", "0.1", nullptr, 0);
  EXPECT_EQ(curve.SampleCount(), 200);
  EXPECT_EQ(curve.Tube().Sides(), 8);
  for (double grain : {7.0, gNaN, -2.0, 1.0}) {
    curve.SetParameter(kAttributeGrain, grain);
    Wait();
    EXPECT_EQ(curve.SampleCount(), std::isnan(grain) ? 600 : grain > 0 ? 1000 : 200);
    EXPECT_EQ(curve.Tube().TriangleCount(), 2 * curve.Tube().Sides() * (curve.SampleCount() - 1));
  }
  // A storm of view changes and grains leaves a whole curve behind.
  for (int k = 0; k < 20; ++k) {
    curve.ViewChanged();
    if (k % 3 == 0) curve.SetParameter(kAttributeGrain, 0.1 * k);
  }
  Wait();
  EXPECT_EQ(curve.Tube().TriangleCount(), 2 * curve.Tube().Sides() * (curve.SampleCount() - 1));
}

TEST_F(SpaceGraphTest, PointIsARoundSphereOfItsSize) {
  M3DView& camera = *view.DrawContext()->view;
  camera.xmin = -1, camera.xmax = 1;
  camera.zmin = -8, camera.zmax = 8;
  const double extent[3] = {camera.xmax - camera.xmin, camera.ymax - camera.ymin, camera.zmax - camera.zmin};
  for (double size : {0.0, 0.5, 3.0}) {
    A3DPoint& point = Point("1", "-2", "0.5", size);
    ASSERT_TRUE(point.IsValid());
    const double r = std::min(size, 1.0) * 0.1 + 0.01;
    const double centre[3] = {1, -2, 0.5};
    for (int32_t k = 0; k < kUnitSphereVertices; ++k) {
      const Vertex& p = point.Positions()[k];
      const double d[3] = {(p.x - centre[0]) / (r * extent[0]), (p.y - centre[1]) / (r * extent[1]),
                           (p.z - centre[2]) / (r * extent[2])};
      EXPECT_NEAR(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), 1, 1e-5);
      const Vertex& n = point.Normals()[k];
      EXPECT_NEAR(n.x * extent[0], UnitSphere().vertices[k].x, 1e-6);
      EXPECT_NEAR(n.z * extent[2], UnitSphere().vertices[k].z, 1e-6);
    }
    point.SetParameter(kAttributeSaveFinishedModels, 0);
    EXPECT_TRUE(point.Draw());
  }
  EXPECT_FALSE(Point("1/0", "0", "0", 0.5).IsValid());
}

}  // namespace
