#include <cmath>

#include "graphs2d/A2DVectorPlot.h"
#include "graphs2d/ADEPlot.h"
#include "graphs2d/APointPlot.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

// The interface thread draws, picks, pans and changes the plots while their
// jobs run; the same work stopped and restarted ends where an undisturbed
// run ends.
namespace {

// The graph alone: the view's own drawing rewrites the transform, which
// only a stopped job may see.
void DrawInto(ViewOnPort& view, A2DGraph* graph) {
  APushPort push(view.port.get());
  graph->Draw();
}

using PlotThreadsTest = FunctionGraphTest;

TEST_F(PlotThreadsTest, DifferentialEquationsDrawnAndClickedWhileTracing) {
  ViewOnPort quiet(400, 300);
  auto* reference = AddedTo(quiet.view, std::make_unique<ADEPlot>(Formula("sin(x * y)"), nullptr, nullptr, nullptr,
                                                                  SolidColour(), 1, quiet.view.GraphTransform()));
  WaitUntilDone(*reference);

  ViewOnPort busy(400, 300);
  auto* plot = AddedTo(busy.view, std::make_unique<ADEPlot>(Formula("sin(x * y)"), nullptr, nullptr, nullptr,
                                                            SolidColour(), 1, busy.view.GraphTransform()));
  for (int round = 0; round < 20; ++round) {
    DrawInto(busy, plot);
    Selection s = plot->GetSelection(0.25 * round, 0.5);
    ASSERT_NE(s.path1, nullptr);
    if (round % 5 == 4) plot->ViewChanged();
  }
  WaitUntilDone(*plot);
  ASSERT_EQ(plot->CurveCount(), reference->CurveCount());
  for (int32_t c = 0; c < plot->CurveCount(); ++c) {
    ASSERT_EQ(plot->Curve(c)->Count(), reference->Curve(c)->Count()) << c;
  }
}

TEST_F(PlotThreadsTest, TheSameCurvesOnOneWorkerOrMany) {
  int32_t counts[2] = {0, 0};
  double ends[2] = {0, 0};
  for (int workers : {1, 4}) {
    DebugSetNumberComputeThreads(workers);
    ViewOnPort view(400, 300);
    auto* plot = AddedTo(view.view, std::make_unique<ADEPlot>(Formula("-y"), Formula("x - y / 4"), nullptr, nullptr,
                                                              SolidColour(), 0.8, view.view.GraphTransform()));
    WaitUntilDone(*plot);
    counts[workers == 4] = plot->CurveCount();
    const SolutionPath& last = *plot->Curve(plot->CurveCount() - 1);
    ends[workers == 4] = last.Count() ? last[last.Count() - 1].x : 0;
  }
  DebugSetNumberComputeThreads(0);
  EXPECT_EQ(counts[0], counts[1]);
  EXPECT_EQ(ends[0], ends[1]);
}

TEST_F(PlotThreadsTest, VectorFieldsPannedAndDrawnWhileComputing) {
  ViewOnPort quiet(400, 300);
  auto* reference =
      AddedTo(quiet.view, std::make_unique<A2DVectorPlot>(Formula("cos(y)"), Formula("x - y"), 1, SolidColour(), false,
                                                          quiet.view.GraphTransform()));
  WaitUntilDone(*reference);

  ViewOnPort busy(400, 300);
  auto* plot = AddedTo(busy.view, std::make_unique<A2DVectorPlot>(Formula("cos(y)"), Formula("x - y"), 1, SolidColour(),
                                                                  false, busy.view.GraphTransform()));
  for (int round = 0; round < 10; ++round) {
    DrawInto(busy, plot);
    plot->IsPointOverCurve(0.1 * round, 0);
    busy.view.Pan(round % 2 ? 13 : -13, 0);
  }
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Longest(), reference->Longest());
  ASSERT_EQ(plot->Columns(), reference->Columns());
  for (int j = 0; j < plot->Rows(); ++j) {
    for (int i = 0; i < plot->Columns(); ++i) {
      ASSERT_EQ(plot->ArrowAt(i, j).vx, reference->ArrowAt(i, j).vx);
      ASSERT_EQ(plot->ArrowAt(i, j).vy, reference->ArrowAt(i, j).vy);
    }
  }
}

TEST_F(PlotThreadsTest, APointRecomputedWhileDrawn) {
  ViewOnPort view(400, 300);
  auto* plot = AddedTo(view.view,
                       std::make_unique<APointPlot>(Formula("1"), Formula("2"), Formula("\"P\""), Formula("\"label\""),
                                                    Formula("12"), SolidColour(), true, view.view.GraphTransform()));
  for (int round = 0; round < 10; ++round) {
    DrawInto(view, plot);
    plot->InvalConstant(0);
  }
  WaitUntilDone(*plot);
  EXPECT_EQ(plot->Size(), 12);
}

}  // namespace
