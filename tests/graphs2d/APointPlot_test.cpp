#include <cmath>

#include "graphs2d/APointPlot.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

// A point in a default 400 x 300 view, computed and drawn.
struct PointInView {
  PointInView(const char* x, const char* y, const char* symbol = nullptr, const char* label = nullptr,
              const char* size = nullptr, bool draggable = false)
      : view(400, 300),
        plot(AddedTo(view.view, std::make_unique<APointPlot>(Formula(x), Formula(y), Formula(symbol), Formula(label),
                                                             Formula(size), SolidColour(), draggable,
                                                             view.view.GraphTransform()))) {
    WaitUntilDone(*plot);
    view.Draw();
  }
  int H(double x) const { return view.view.GraphTransform().XTOI_InfSafe(x); }
  int V(double y) const { return view.view.GraphTransform().YTOI_InfSafe(y); }
  ViewOnPort view;
  APointPlot* plot;  // owned by the view
};

using PointPlotTest = FunctionGraphTest;

TEST_F(PointPlotTest, ADotOfThreePixelsWithItsLabelOffset) {
  PointInView p("1", "2");
  const int h = p.H(1), v = p.V(2);
  EXPECT_EQ(p.view.At(h, v), 0xFF0000u);
  EXPECT_EQ(p.view.At(h + 2, v), 0xFF0000u);
  EXPECT_NE(p.view.At(h + 5, v), 0xFF0000u);
  EXPECT_EQ(p.plot->LabelOffset(), 3);
  EXPECT_EQ(p.plot->Size(), APointPlot::kDefaultSize);
  EXPECT_EQ(p.plot->GraphVisibility(), 0);
}

TEST_F(PointPlotTest, SizeFallsBackToNineUnlessPositiveAndFinite) {
  EXPECT_EQ(PointInView("1", "1", nullptr, nullptr, "0").plot->Size(), 9);
  EXPECT_EQ(PointInView("1", "1", nullptr, nullptr, "-4").plot->Size(), 9);
  EXPECT_EQ(PointInView("1", "1", nullptr, nullptr, "sqrt(-1)").plot->Size(), 9);
  // The size sees the point's coordinates.
  EXPECT_EQ(PointInView("3", "4", nullptr, nullptr, "x + y").plot->Size(), 7);
}

TEST_F(PointPlotTest, NonFiniteCoordinatesDrawNothing) {
  for (const char* x : {"10^400", "-10^400", "sqrt(-1)"}) {
    EXPECT_EQ(PixelsOf(PointInView(x, "1").view.port->image, 0xFF0000), 0) << x;
  }
}

TEST_F(PointPlotTest, ASymbolIsCentredAndTheLabelFollowsItsWidth) {
  PointInView p("1", "1", "\"WWW\"", "\"here\"");
  const int h = p.H(1), v = p.V(1);
  const int width = p.plot->LabelOffset();
  EXPECT_GT(width, 10);
  int left = 400, right = -1;
  for (int x = 0; x < 400; ++x) {
    for (int y = v - 12; y <= v + 12; ++y) {
      const uint32_t rgb = p.view.At(x, y);
      // Anti-aliased text: reddish, never the grid's blue.
      if (((rgb >> 16) & 0xFF) < 0xC0 || ((rgb >> 8) & 0xFF) > 0xA0) continue;
      left = std::min(left, x), right = std::max(right, x);
    }
  }
  // Ink from the symbol's left edge, about half its width left of the point,
  // to the label's end well right of it; no dot was drawn.
  EXPECT_NEAR(left, h - width / 2, 3);
  EXPECT_GT(right, h + width + 4);
}

TEST_F(PointPlotTest, TheTextsAreTheGraphsOwn) {
  PointInView p("0", "0", "\"S\"", "\"label\"");
  const int before = p.plot->LabelOffset();
  // The expressions' trees are gone when the plot recomputes after a change;
  // the copy is what is drawn.
  p.plot->InvalConstant(0);
  WaitUntilDone(*p.plot);
  p.view.Draw();
  EXPECT_EQ(p.plot->LabelOffset(), before);
}

TEST_F(PointPlotTest, OnlyADraggablePointIsHitWithinFourCells) {
  PointInView plain("1", "1");
  const A2DTransform& t = plain.view.view.GraphTransform();
  EXPECT_FALSE(plain.plot->IsPointOverCurve(1, 1));
  EXPECT_EQ(plain.plot->GetSelection(1, 1).kind, kSelectNothing);

  PointInView dragged("1", "1", nullptr, nullptr, nullptr, true);
  const double ux = t.xUnitsPerPixel, uy = t.yUnitsPerPixel;
  EXPECT_TRUE(dragged.plot->IsPointOverCurve(1 + 4 * ux, 1));
  EXPECT_TRUE(dragged.plot->IsPointOverCurve(1 - 2 * ux, 1 + 2 * uy));
  EXPECT_FALSE(dragged.plot->IsPointOverCurve(1 + 5 * ux, 1));
  EXPECT_FALSE(dragged.plot->IsPointOverCurve(1 + 3 * ux, 1 + 3 * uy));
  Selection s = dragged.plot->GetSelection(1.5, 2);
  EXPECT_EQ(s.kind, kSelectDraggedPoint);
  EXPECT_EQ(s.x, 1.5);
  dragged.plot->SetParameter(kAttributeDraggedX, 7);
  dragged.plot->SetParameter(kAttributeDraggedY, -2);
  EXPECT_EQ(dragged.plot->X(), 7);
  EXPECT_EQ(dragged.plot->Y(), -2);
}

}  // namespace
