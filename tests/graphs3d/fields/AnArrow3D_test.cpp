#include <gtest/gtest.h>

#include <Eigen/Geometry>

#include <cmath>
#include <memory>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/fields/A3DVectorField.h"
#include "graphs3d/start/AStartOnPoint.h"
#include "graphs3d/fields/AnArrow3D.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs3d/VertexTestSupport.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphs3d/ViewBox.h"

namespace {

bool Finite(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A box of unequal sides: x 0..4, y -1..1, z 0..10.
ModelSpace ArrowSpace() {
  ModelSpace space;
  space.low[0] = 0, space.low[1] = -1, space.low[2] = 0;
  space.high[0] = 4, space.high[1] = 1, space.high[2] = 10;
  return space;
}

const Vec3 kExtent{4, 2, 10};

Vec3 SquareTo(const Vec3& d) {
  return (std::fabs(d.z()) <= std::fabs(d.x()) ? d.cross(Vec3::UnitZ()) : d.cross(Vec3::UnitX())).normalized();
}

class ArrowTest : public testing::Test {
 protected:
  void SetUp() override {
    view.SetViewRect(MRect{0, 0, 600, 800});
    view.ConstructContextNeededByGraphConstructors();
    colour.fSolidColor = 0x3366CC;
  }
  std::unique_ptr<AnArrow3D> Arrow(Vertex start, Vertex tip, double radius, bool single, bool headless = false) {
    return std::make_unique<AnArrow3D>(start, tip, radius, &colour, single, headless, view.DrawContext(), ArrowSpace());
  }

  A3DGraphView view;
  AGraphColor colour;
};

// The head of a lattice arrow is sized by the arrow, three points around
// the shaft a fraction h of the way back from the tip.
TEST_F(ArrowTest, LineArrowHeadsFollowTheirSizingRules) {
  const Vertex start{1, 0.2f, 3}, tip{2, -0.3f, 5};
  const Vec3 s = Of(start), t = Of(tip), d = t - s;
  {
    auto arrow = Arrow(start, tip, 0, false);
    ASSERT_TRUE(arrow->IsDrawable());
    ASSERT_EQ(arrow->HeadPointCount(), 3);
    EXPECT_EQ(Of(arrow->Points()[0]), t);
    EXPECT_EQ(Of(arrow->Points()[1]), s);
    const Vec3 u = SquareTo(d), w = d.cross(u).normalized();
    const double h = std::min(0.6, 0.0125 * 2 / d.norm() + 0.15);
    for (int k = 0; k < 3; ++k) {
      const double a = 2 * gPi * k / 3;
      const Vec3 expected = t + 0.1 * d.norm() * (u * std::cos(a) + w * std::sin(a)) - h * d;
      EXPECT_LT((Of(arrow->Points()[2 + k]) - expected).norm(), 1e-5) << k;
      // Each head point lies as far back along the shaft as the fraction says.
      EXPECT_NEAR((t - Of(arrow->Points()[2 + k])).dot(d) / d.squaredNorm(), h, 1e-6);
    }
  }
  {
    // A single arrow's head is sized in the box's own proportions.
    auto arrow = Arrow(start, tip, 0, true);
    ASSERT_EQ(arrow->HeadPointCount(), 4);
    const Vec3 unit = d.cwiseQuotient(kExtent).normalized();
    const Vec3 u = SquareTo(unit), w = unit.cross(u).normalized();
    for (int k = 0; k < 4; ++k) {
      const double a = 2 * gPi * k / 4;
      const Vec3 expected = t + (0.05 * (u * std::cos(a) + w * std::sin(a)) - 0.1 * unit).cwiseProduct(kExtent);
      EXPECT_LT((Of(arrow->Points()[2 + k]) - expected).norm(), 1e-5) << k;
    }
  }
}

TEST_F(ArrowTest, LineArrowsCacheTheirSegments) {
  auto arrow = Arrow({0, 0, 0}, {1, 0, 1}, 0, true);
  arrow->SetParameter(kAttributeSaveFinishedModels, 0);
  EXPECT_EQ(arrow->LineModel().VertexCount(), 6);
  auto headless = Arrow({0, 0, 0}, {1, 0, 1}, 0, false, true);
  headless->SetParameter(kAttributeSaveFinishedModels, 0);
  EXPECT_EQ(headless->LineModel().VertexCount(), 2);
  EXPECT_TRUE(headless->Draw());
}

TEST_F(ArrowTest, ArrowsWithoutALengthOrWithInfinitiesAreNeverDrawn) {
  const float inf = INFINITY;
  for (double radius : {0.0, 0.2}) {
    EXPECT_FALSE(Arrow({1, 1, 1}, {1, 1, 1}, radius, false)->IsDrawable());
    EXPECT_FALSE(Arrow({1, 1, 1}, {inf, 1, 1}, radius, false)->IsDrawable());
    EXPECT_FALSE(Arrow({1, float(gNaN), 1}, {2, 1, 1}, radius, false)->IsDrawable());
    auto arrow = Arrow({1, 1, 1}, {1, 1, 1}, radius, false);
    arrow->SetParameter(kAttributeSaveFinishedModels, 0);
    EXPECT_TRUE(arrow->Draw());
  }
}

// r = min(|rho|, |d|/2), L = min(2r, 0.7|d|), R = max(r, L),
// H = min(0.7|d|, sqrt(3) L), head base B = tip - (H/|d|) d.
TEST_F(ArrowTest, ThickArrowsAreAShaftAndACone) {
  struct Case {
    double rho, r, L;
  };
  const Vertex start{1, 0, 2}, tip{3, 0.5f, 6};
  const Vec3 s = Of(start), t = Of(tip), d = t - s;
  const double length = d.norm();
  for (const Case& c : {Case{0.1, 0.1, 0.2}, Case{-0.3, 0.3, 0.6}, Case{100, length / 2, 0.7 * length}}) {
    auto arrow = Arrow(start, tip, c.rho, false);
    ASSERT_TRUE(arrow->IsDrawable());
    const double R = std::max(c.r, c.L), H = std::min(0.7 * length, std::sqrt(3.0) * c.L);
    const Vec3 base = t - (H / length) * d;
    const Vec3 points[11] = {s, s, {}, s, base, {}, base, base, {}, base, t};
    const double radii[11] = {0, c.r, gNaN, c.r, c.r, gNaN, c.r, R, gNaN, R, 0};
    for (int i = 0; i < 11; ++i) {
      if (std::isnan(radii[i])) {
        EXPECT_FALSE(Finite(arrow->Points()[i])) << i;
        EXPECT_TRUE(std::isnan(arrow->TubeRadii()[i])) << i;
        continue;
      }
      EXPECT_LT((Of(arrow->Points()[i]) - points[i]).norm(), 1e-5) << i;
      EXPECT_NEAR(arrow->TubeRadii()[i], radii[i], 1e-12) << i;
    }
    const ACurve3D& tube = *arrow->Tube();
    EXPECT_EQ(tube.Sides(), 12);
    // Four pieces: the disc, the shaft, the ring under the head, the cone.
    EXPECT_EQ(tube.TriangleCount(), 4 * 2 * 12);
    for (int32_t k = 0; k < tube.TriangleCount(); ++k)
      for (int32_t v : tube.Triangles()[k].v) EXPECT_TRUE(Finite(tube.RingVertices()[v])) << k;
    for (int32_t v = 0; v < 11 * 12; ++v) EXPECT_TRUE(Finite(tube.RingNormals()[v])) << v;
    EXPECT_GT(arrow->MaximumModelSpaceRadius(), 0);
  }
}

TEST_F(ArrowTest, GrainRebuildsAThickArrowWithItsOwnEnds) {
  auto arrow = Arrow({0, 0, 0}, {2, 0, 5}, 0.2, false);
  for (double grain : {0.0, gNaN, 7.0}) {
    arrow->SetParameter(kAttributeGrain, grain);
    ASSERT_TRUE(arrow->IsDrawable());
    EXPECT_EQ(arrow->Tube()->Sides(), std::isnan(grain) ? 10 : grain > 1 ? 12 : 8);
    EXPECT_EQ(arrow->Tube()->TriangleCount(), 8 * arrow->Tube()->Sides());
    EXPECT_EQ(Of(arrow->Points()[10]), Vec3(2, 0, 5));
  }
  arrow->SetParameter(kAttributeSaveFinishedModels, 0);
  EXPECT_TRUE(arrow->Draw());
}

Compiled Expression(const char* text) { return text ? MakeExpression(text) : nullptr; }

class FieldArrowTest : public ArrowTest {
 protected:
  void SetUp() override {
    ArrowTest::SetUp();
    StartComputeThreads();
    double(*r)[2] = view.Record().ranges;
    r[kCoordX][0] = -2, r[kCoordX][1] = 2, r[kCoordY][0] = -2, r[kCoordY][1] = 2, r[kCoordZ][0] = -2, r[kCoordZ][1] = 2;
  }
  void TearDown() override {
    graph.reset();
    StopComputeThreads();
  }
  AStartOnPoint& PointArrow(const char* start[3], const char* field[3], const char* radius) {
    auto c = std::make_unique<AGraphColor>();
    c->fSolidColor = 0x3366CC;
    graph = std::make_unique<AStartOnPoint>(
        Expression(start[0]), Expression(start[1]), Expression(start[2]), Expression(field[0]), Expression(field[1]),
        Expression(field[2]), Expression(radius), nullptr, 1.0, std::move(c), ViewBox(view), view.DrawContext(), 0);
    Wait();
    return *graph;
  }
  void Wait() { WaitUntilDone(*graph); }
  A3DVectorField& Field() { return static_cast<A3DVectorField&>(graph->Field()); }

  std::unique_ptr<AStartOnPoint> graph;
};

// An arrow from a point is the field at its own length.
TEST_F(FieldArrowTest, AnArrowFromAPointIsTheFieldThere) {
  const char* start[3] = {"1", "2", "0.5"};
  const char* field[3] = {"y", "-x", "z"};
  PointArrow(start, field, nullptr);
  ASSERT_EQ(Field().ArrowCount(), 1);
  const AnArrow3D* arrow = Field().Arrow(0);
  EXPECT_EQ(arrow->HeadPointCount(), 4);
  EXPECT_EQ(Of(arrow->Points()[1]), Vec3(1, 2, 0.5));
  EXPECT_EQ(Of(arrow->Points()[0]), Vec3(3, 1, 1));
  EXPECT_EQ(graph->GraphVisibility(), 0);
}

// Stale arrows outlive the computation they came from: a grain step
// before the view keeps the new models rebuilds them from their own ends.
TEST_F(FieldArrowTest, StaleArrowsKeepTheirEndsThroughGrainSteps) {
  const char* start[3] = {"1", "0", "0"};
  const char* field[3] = {"0", "0", "1"};
  PointArrow(start, field, "0.1");
  for (int k = 0; k < 6; ++k) {
    graph->ViewChanged();
    graph->SetParameter(kAttributeGrain, 0.2 * k);
    Wait();
    graph->SetParameter(kAttributeGrain, 1 - 0.2 * k);
    ASSERT_GE(Field().ArrowCount(), 2);
    for (int32_t i = 0; i < Field().ArrowCount(); ++i) {
      EXPECT_EQ(Of(Field().Arrow(i)->Points()[10]), Vec3(1, 0, 1));
      EXPECT_EQ(Of(Field().Arrow(i)->Points()[0]), Vec3(1, 0, 0));
    }
    graph->SetParameter(kAttributeSaveFinishedModels, 0);
    EXPECT_EQ(Field().ArrowCount(), 1);
    EXPECT_EQ(Field().StaleArrowCount(), 0);
  }
  EXPECT_TRUE(graph->Draw());
}

TEST_F(FieldArrowTest, HeadlessArrowsFollowAttribute13) {
  const char* start[3] = {"0", "0", "0"};
  const char* field[3] = {"1", "1", "0"};
  PointArrow(start, field, nullptr);
  graph->SetParameter(kAttributeEqualLengthArrows, 1);
  Wait();
  graph->SetParameter(kAttributeSaveFinishedModels, 0);
  ASSERT_EQ(Field().ArrowCount(), 1);
  EXPECT_EQ(Field().Arrow(0)->LineModel().VertexCount(), 2);
}

TEST_F(FieldArrowTest, AnUndefinedFieldShowsMessage11) {
  const char* start[3] = {"0", "0", "0"};
  const char* field[3] = {"1/x", "0", "0"};
  PointArrow(start, field, nullptr);
  EXPECT_EQ(Field().ArrowCount(), 0);
  EXPECT_EQ(graph->GraphVisibility(), 11);
}

}  // namespace
