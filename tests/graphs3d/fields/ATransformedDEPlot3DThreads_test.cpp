#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>

#include "CoreUtilities/threads/JobQueue.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/fields/A3DVectorField.h"
#include "graphs3d/start/AStartOnLattice.h"
#include "graphs3d/start/AStartOnPoint.h"
#include "graphs3d/fields/ATransformedDEPlot3D.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs2d/SliceHold.h"
#include "tests/support/ColourEquations.h"
#include "tests/graphs3d/ViewBox.h"

namespace {

Compiled FieldExpression(const char* text) { return text ? MakeExpression(text) : nullptr; }

std::unique_ptr<AGraphColor> Equations(const char* r, const char* g, const char* b) {
  auto colour = std::make_unique<AGraphColor>();
  FillColourEquations(*colour, AGraphColor::kRGBEquations, r, g, b);
  return colour;
}

// Solution plots from a lattice in the first view and their copy through
// (2x, y + z, -z) in the second.
class FieldThreadsTest : public testing::Test {
 protected:
  void SetUp() override {
    StartComputeThreads();
    for (A3DGraphView* v : {&view, &second}) {
      v->SetViewRect(MRect{0, 0, 300, 400});
      v->ConstructContextNeededByGraphConstructors();
    }
    double(*r)[2] = view.Record().ranges;
    for (int axis : {kCoordX, kCoordY, kCoordZ}) r[axis][0] = -2, r[axis][1] = 2;
  }
  void TearDown() override {
    copy.reset();
    graph.reset();
    StopComputeThreads();
  }
  void Make(const char* fz, const char* radius, std::unique_ptr<AGraphColor> colour) {
    graph = std::make_unique<AStartOnLattice>(FieldExpression("-y"), FieldExpression("x"), FieldExpression(fz),
                                              FieldExpression(radius), nullptr, 0, 1.0, std::move(colour),
                                              view.DrawContext(), ViewBox(view), 1);
    copy = std::make_unique<ATransformedDEPlot3D>(FieldExpression("2*x"), FieldExpression("y + z"),
                                                  FieldExpression("-z"), graph->Solutions(), second.DrawContext());
  }
  void Wait() {
    WaitUntil("the field and its copy done", [this] { return graph->IsDoneComputing() && copy->IsDoneComputing(); });
  }
  // Every current solution of the copy is a current one of the source,
  // mapped point by point.
  void ExpectCopyMatchesSource() {
    SolutionList& source = graph->Solutions()->Solutions();
    SolutionList& mapped = copy->Solutions();
    ASSERT_EQ(mapped.CurrentCount(), source.CurrentCount());
    for (int32_t k = 0; k < mapped.CurrentCount(); ++k) {
      std::unique_ptr<ASolution> m = mapped.CopyCurrent(k);
      bool found = false;
      for (int32_t j = 0; j < source.CurrentCount() && !found; ++j) {
        std::unique_ptr<ASolution> s = source.CopyCurrent(j);
        if (s->count != m->count) continue;
        found = true;
        for (int32_t i = 0; i < s->count && found; ++i) {
          const Vertex& p = s->points[i];
          found = m->points[i].x == float(2 * double(p.x)) && m->points[i].y == float(double(p.y) + p.z) &&
                  m->points[i].z == -p.z;
        }
      }
      EXPECT_TRUE(found) << k;
    }
  }

  A3DGraphView view, second;
  std::unique_ptr<AStartOnLattice> graph;
  std::unique_ptr<ATransformedDEPlot3D> copy;
};

// The copy's jobs wait for the source: run before it, they would find no
// solutions to map.
TEST_F(FieldThreadsTest, TheCopyMapsEverySolutionOnceTheSourceIsDone) {
  Make("sin(x)*sin(y)*sin(z) + cos(x*y*z)", nullptr, std::make_unique<AGraphColor>());
  Wait();
  EXPECT_EQ(graph->Solutions()->Solutions().CurrentCount(), 8);
  ExpectCopyMatchesSource();
}

// A restart that begins in the start points (a range of the first view)
// takes the copy along; the previous solutions are drawn until the view
// keeps its finished models. (The restart may be done before the test
// looks again: the copy's current solutions, mapped from the new starts,
// show that it followed.)
TEST_F(FieldThreadsTest, TheCopyFollowsARestartOfTheStartPoints) {
  Make("1", nullptr, std::make_unique<AGraphColor>());
  Wait();
  SolutionList& source = graph->Solutions()->Solutions();
  view.Record().ranges[kCoordX][0] = -1;
  graph->ViewChanged();
  Wait();
  EXPECT_EQ(source.Count(), 16);
  EXPECT_EQ(source.StaleCount(), 8);
  EXPECT_EQ(copy->Solutions().StaleCount(), 8);
  ExpectCopyMatchesSource();
  for (int32_t k = 0; k < source.CurrentCount(); ++k) {
    const float x = source.CopyCurrent(k)->points[0].x;
    EXPECT_TRUE(x == -1.0f || x == 2.0f) << x;
  }
  graph->SetParameter(kAttributeSaveFinishedModels, 0);
  copy->SetParameter(kAttributeSaveFinishedModels, 0);
  EXPECT_EQ(source.Count(), 8);
  EXPECT_EQ(copy->Solutions().Count(), 8);
  // A grain step restarts the copy alone.
  copy->SetParameter(kAttributeGrain, 0.3);
  Wait();
  EXPECT_EQ(source.Count(), 8);
  ExpectCopyMatchesSource();
}

// Radii and colours stay with the copy's solutions: its curves cache them
// when the view keeps its models, long after the copy was made.
TEST_F(FieldThreadsTest, TheCopyKeepsItsRadiiAndColours) {
  for (const char* radius : {static_cast<const char*>(nullptr), "0.05"}) {
    Make("0.5", radius, Equations("x", "0.5", "z"));
    Wait();
    copy->SetParameter(kAttributeOpacity, 0.5);
    copy->SetParameter(kAttributeSaveFinishedModels, 0);
    graph->SetParameter(kAttributeSaveFinishedModels, 0);
    EXPECT_TRUE(copy->Draw());
    std::unique_ptr<ASolution> s = copy->Solutions().CopyCurrent(0);
    ASSERT_TRUE(s && s->colours);
    EXPECT_EQ(s->radii != nullptr, radius != nullptr);
    copy.reset();
    graph.reset();
  }
}

// Storms of view changes, grains, constants and drawing on the interface
// thread while the jobs run (the source's let go from midway): the
// sanitizers watch.
TEST_F(FieldThreadsTest, StormsOfChangesLeaveWholePlots) {
  std::optional<SliceHold> hold(std::in_place, 1);
  Make("0.3", "0.05", std::make_unique<AGraphColor>());
  for (int k = 0; k < 30; ++k) {
    SliceHold::WaitUntilHeldOrDone(*graph);
    SliceHold::Release();
    switch (k % 5) {
      case 0: graph->ViewChanged(); break;
      case 1: graph->SetParameter(kAttributeGrain, 0.05 * k); break;
      case 2: graph->InvalConstant(0); break;
      case 3: copy->SetParameter(kAttributeGrain, 0.5); break;
      default: graph->SetParameter(kAttributeOpacity, 0.7); break;
    }
    graph->Draw();
    copy->Draw();
    graph->SetParameter(kAttributeSaveFinishedModels, 0);
    copy->SetParameter(kAttributeSaveFinishedModels, 0);
    SliceHold::Arm(1 + k % 3);
  }
  hold.reset();
  Wait();
  graph->SetParameter(kAttributeSaveFinishedModels, 0);
  copy->SetParameter(kAttributeSaveFinishedModels, 0);
  const int32_t n = graph->PointsPerAxis();
  EXPECT_EQ(graph->Solutions()->Solutions().Count(), n * n * n);
  ExpectCopyMatchesSource();
}

// Arrows under the same storms, with a thick arrow from a point besides.
TEST_F(FieldThreadsTest, ArrowStormsLeaveWholeFields) {
  auto arrows = std::make_unique<AStartOnLattice>(FieldExpression("-y"), FieldExpression("x"), FieldExpression("z"),
                                                  nullptr, nullptr, 0.2, 1.0, std::make_unique<AGraphColor>(),
                                                  view.DrawContext(), ViewBox(view), 0);
  auto point = std::make_unique<AStartOnPoint>(FieldExpression("1"), FieldExpression("1"), FieldExpression("0"),
                                               FieldExpression("0"), FieldExpression("0"), FieldExpression("1"),
                                               FieldExpression("0.1"), nullptr, 1.0, std::make_unique<AGraphColor>(),
                                               ViewBox(view), view.DrawContext(), 0);
  for (int k = 0; k < 30; ++k) {
    AStartPointGenerator& g = k % 2 ? static_cast<AStartPointGenerator&>(*arrows) : *point;
    if (k % 3 == 0) g.ViewChanged();
    g.SetParameter(kAttributeGrain, 0.1 * (k % 10));
    if (k % 4 == 0) g.SetParameter(kAttributeEqualLengthArrows, k % 8 == 0);
    g.Draw();
    g.MaximumModelSpaceRadius();
  }
  WaitUntil("the arrows done", [&] { return arrows->IsDoneComputing() && point->IsDoneComputing(); });
  arrows->SetParameter(kAttributeSaveFinishedModels, 0);
  point->SetParameter(kAttributeSaveFinishedModels, 0);
  const int32_t n = arrows->PointsPerAxis();
  EXPECT_EQ(static_cast<A3DVectorField&>(arrows->Field()).ArrowCount(), n * n * n);
  EXPECT_EQ(static_cast<A3DVectorField&>(point->Field()).ArrowCount(), 1);
  EXPECT_TRUE(arrows->Draw());
  EXPECT_TRUE(point->Draw());
}

}  // namespace
