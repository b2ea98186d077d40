#include <cmath>
#include <functional>

#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/PixelClassification.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

using FunctionOfXTest = FunctionGraphTest;

// The column whose span holds x (the default view puts x = 0 on a centre).
int ColumnOfX(const CurveInView& c, double x) {
  const A2DTransform& t = c.view.view.GraphTransform();
  return WorldToPixel(x, t.xPixelsPerUnit, t.xOrigin) - t.pixelRect.left;
}

TEST_F(FunctionOfXTest, ReciprocalInIntervalModeHasOneUnboundedColumn) {
  CurveInView c("1/(x - 1)", kPlotInterval);
  const int pole = ColumnOfX(c, 1);
  int unbounded = 0;
  for (int k = 0; k < c.graph->ColumnCount(); ++k) unbounded += c.Type(k) == kColumnUnbounded;
  EXPECT_EQ(unbounded, 1);
  EXPECT_EQ(c.Type(pole), kColumnUnbounded);
  EXPECT_EQ(c.Type(pole - 1), kColumnEnclosure);
  EXPECT_EQ(c.Type(pole + 1), kColumnEnclosure);
  // Drawn grey from top to bottom (the x axis crosses it at row 149).
  c.view.Draw();
  for (int v = 0; v < 140; v += 37) EXPECT_EQ(c.view.At(pole, v), kInfinityGray) << v;
}

// Sampled, the edges of the column holding a pole would be joined across
// it in the curve's colour; in every mode it is an unbounded column.
TEST_F(FunctionOfXTest, NoModeJoinsTheEdgesOfAPole) {
  for (int mode : {kPlotSampling, kPlotInterval, kPlotIntervalPixelTests}) {
    CurveInView c("1/(x - 1)", mode);
    const int pole = ColumnOfX(c, 1);
    EXPECT_EQ(c.Type(pole), kColumnUnbounded) << mode;
    for (int k = 0; k < c.graph->ColumnCount(); ++k) {
      if (k == pole) continue;
      EXPECT_NE(c.Type(k), kColumnUnbounded) << mode << " column " << k;
    }
    c.view.Draw();
    for (int v = 0; v < 140; v += 37) EXPECT_EQ(c.view.At(pole, v), kInfinityGray) << mode << " row " << v;
  }
}

TEST_F(FunctionOfXTest, SquareRootSampledIsUndefinedUpToTheColumnHoldingZero) {
  CurveInView c("sqrt(x)", kPlotSampling);
  const int zero = ColumnOfX(c, 0);
  for (int k = 0; k <= zero; ++k) ASSERT_EQ(c.Type(k), kColumnUndefined) << k;
  EXPECT_EQ(c.Type(zero + 1), kColumnEdges);
  const double w = c.view.view.GraphTransform().xUnitsPerPixel;
  EXPECT_DOUBLE_EQ(c.At(zero + 1).lo, std::sqrt(w / 2));
  EXPECT_DOUBLE_EQ(c.At(zero + 1).hi, std::sqrt(1.5 * w));
}

TEST_F(FunctionOfXTest, CancellingTermsGiveOnePointRangeWithPixelTests) {
  // The engine evaluates x - x + 1 as (x + 1) - x: exactly 1 at some points
  // only. Where every sample is exactly 1 the column is [1, 1]; elsewhere
  // the rounding noise makes it an enclosure, narrowed to within the pixel.
  CurveInView c("x - x + 1", kPlotIntervalPixelTests);
  const A2DTransform& t = c.view.view.GraphTransform();
  int exact = 0;
  for (int k = 0; k < c.graph->ColumnCount(); ++k) {
    const dPoint& p = c.At(k);
    if (c.Type(k) == kColumnEdges && p.lo == 1 && p.hi == 1) ++exact;
    ASSERT_TRUE(c.Type(k) == kColumnEdges || c.Type(k) == kColumnEnclosure) << k;
    EXPECT_EQ(t.YTOI_InfSafe(p.lo), t.YTOI_InfSafe(1)) << k;
    EXPECT_EQ(t.YTOI_InfSafe(p.hi), t.YTOI_InfSafe(1)) << k;
  }
  EXPECT_GT(exact, 0);
}

TEST_F(FunctionOfXTest, TangentOverItsPoleIsUnboundedWithPixelTests) {
  CurveInView c("tan(x)", kPlotIntervalPixelTests);
  const double pole = std::acos(-1.0) / 2;
  EXPECT_EQ(c.Type(ColumnOfX(c, pole)), kColumnUnbounded);
  EXPECT_EQ(c.Type(ColumnOfX(c, pole) + 3), kColumnEdges);
}

TEST_F(FunctionOfXTest, APanComputesOnlyTheUncoveredColumns) {
  CurveInView c("sin(x)", kPlotSampling);
  const int64_t before = c.graph->ColumnsComputed();
  EXPECT_EQ(before, c.graph->ColumnCount());
  const double kept = c.At(100).hi;
  c.view.view.Pan(-10, 0);
  WaitUntilDone(*c.graph);
  EXPECT_EQ(c.graph->ColumnsComputed() - before, 10);
  for (int k = 0; k < c.graph->ColumnCount(); ++k) ASSERT_NE(c.Type(k), kColumnPending);
  // The records moved with the picture.
  EXPECT_EQ(c.At(110).hi, kept);
  c.view.view.Pan(10000, 0);
  WaitUntilDone(*c.graph);
  EXPECT_EQ(c.graph->ColumnsComputed() - before, 10 + c.graph->ColumnCount());
}

// A mode change recomputes every column (a mode out of range is taken as
// pixel tests); a colour or a constant the formula lacks recomputes none.
TEST_F(FunctionOfXTest, ChangesRecomputeOnlyWhatTheyReach) {
  CurveInView c("a*x^2", kPlotSampling);
  const int64_t n = c.graph->ColumnCount();
  const struct {
    std::function<void()> change;
    int64_t computed;
  } steps[] = {
      {[&] { c.graph->SetParameter(kAttributeColor, 3); }, n},
      {[&] { c.graph->InvalConstant('b'); }, n},
      {[&] { c.graph->InvalConstant('a'); }, 2 * n},
      {[&] { c.graph->SetParameter(kAttributePlottingMode, 2); }, 3 * n},
      {[&] { c.graph->SetParameter(kAttributePlottingMode, 7); }, 4 * n},
  };
  for (const auto& step : steps) {
    step.change();
    WaitUntilDone(*c.graph);
    EXPECT_EQ(c.graph->ColumnsComputed(), step.computed);
  }
  EXPECT_EQ(c.graph->Mode(), kPlotIntervalPixelTests);
  CurveInView outside("x", 9);
  EXPECT_EQ(outside.graph->Mode(), kPlotIntervalPixelTests);
  EXPECT_EQ(outside.Type(10), kColumnEdges);
}

TEST_F(FunctionOfXTest, ResizeKeepsTheRecordsThatStillExist) {
  CurveInView c("cos(x)", kPlotSampling);
  const double kept = c.At(50).lo;
  c.view.view.SetViewRect(MRect{0, 0, 300, 500});
  c.view.view.Resize();
  WaitUntilDone(*c.graph);
  EXPECT_EQ(c.graph->ColumnCount(), 500);
  EXPECT_EQ(c.At(50).lo, kept);
  EXPECT_EQ(c.graph->ColumnsComputed(), 500);
  EXPECT_EQ(c.Type(499), kColumnEdges);
}

TEST_F(FunctionOfXTest, VisibilityMessages) {
  EXPECT_EQ(CurveInView("sin(x)", kPlotSampling).graph->GraphVisibility(), 0);
  EXPECT_EQ(CurveInView("x^2 + 100", kPlotSampling).graph->GraphVisibility(), 5);
  EXPECT_EQ(CurveInView("sqrt(-1 - x^2)", kPlotIntervalPixelTests).graph->GraphVisibility(), 3);
  // Unbounded columns only, all of them above the view.
  EXPECT_EQ(CurveInView("100 + 1/(x - x)^2", kPlotIntervalPixelTests).graph->GraphVisibility(), 4);
}

TEST_F(FunctionOfXTest, NoColumnsMeansDoneInvisibleAndNothingDrawn) {
  ResetDeferredErrors();
  CurveInView c("x", kPlotSampling, false, 40, 0);
  EXPECT_EQ(c.graph->ColumnCount(), 0);
  EXPECT_TRUE(c.graph->IsDoneComputing());
  EXPECT_EQ(c.graph->GraphVisibility(), 0);
  EXPECT_FALSE(c.graph->IsPointOverCurve(0, 0));
  EXPECT_EQ(c.graph->GetSelection(0, 0).kind, kSelectNothing);
}

TEST_F(FunctionOfXTest, HiddenColourComputesButNeitherDrawsNorPicks) {
  CurveInView c("x", kPlotSampling);
  c.view.Draw();
  EXPECT_EQ(c.view.At(264, 86), 0xFF0000u);
  ViewOnPort fresh(400, 300);
  Colour colour = SolidColour();
  colour->fType = AGraphColor::kHidden;
  auto* g = AddedTo(fresh.view, std::make_unique<AFunctionOf_XorY>(CurveExpression("x"), true, std::move(colour),
                                                                   kPlotSampling, fresh.view.GraphTransform()));
  WaitUntilDone(*g);
  EXPECT_EQ(g->ColumnsComputed(), 400);
  fresh.Draw();
  EXPECT_NE(fresh.At(264, 86), 0xFF0000u);
  EXPECT_FALSE(g->IsPointOverCurve(0, 0));
}

TEST_F(FunctionOfXTest, XOfYRunsAlongRowsCountedUpward) {
  CurveInView c("y^2", kPlotSampling, false);
  EXPECT_EQ(c.graph->ColumnCount(), 300);
  const A2DTransform& t = c.view.view.GraphTransform();
  // Row k counts from the bottom.
  EXPECT_DOUBLE_EQ(c.At(0).centre, t.ITOY(299));
  c.view.Draw();
  const int row = WorldToPixel(1.0, t.yPixelsPerUnit, t.yOrigin),
            column = WorldToPixel(1.0, t.xPixelsPerUnit, t.xOrigin);
  EXPECT_EQ(c.view.At(column, row), 0xFF0000u);
  EXPECT_TRUE(c.graph->IsPointOverCurve(1.0, 1.0));
  EXPECT_FALSE(c.graph->IsPointOverCurve(2.0, 1.0));
}

TEST_F(FunctionOfXTest, SampleBufferDrawsTheSameCurveAtTwiceTheResolution) {
  HookRecorder::useSampleBuffer = true;
  CurveInView c("x/2", kPlotIntervalPixelTests);
  c.view.Draw();
  WaitUntilDone(*c.graph);  // the buffer's transform made the graph resize
  c.view.Draw();
  EXPECT_EQ(c.graph->ColumnCount(), 800);
  const A2DTransform& t = c.view.view.ViewTransform();
  int inked = 0;
  for (int h = 10; h < 390; h += 20) {
    const int v = WorldToPixel(t.ITOX(h) / 2, t.yPixelsPerUnit, t.yOrigin);
    inked += IsInk(c.view.At(h, v));
  }
  EXPECT_EQ(inked, 19);
}

TEST_F(FunctionOfXTest, PessimismFixNeverGoesBeyond2048Pieces) {
  CurveInView c("sin(1/x)*x", kPlotIntervalPixelTests);
  double lo = -1, hi = 1;
  tFunctionEvaluations = 0;
  c.graph->FixIAPessimism(0.001, 0.5, &lo, &hi, 4);
  // 4 + 8 + ... + 2048 pieces at most.
  EXPECT_LE(tFunctionEvaluations, 4092);
}

}  // namespace
