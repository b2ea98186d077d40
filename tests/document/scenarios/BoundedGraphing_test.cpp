#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "document/CoordinateDisplay.h"
#include "tests/document/GraphedDocument.h"

// Documents whose numbers sit at the edges of the doubles: each is graphed
// to the end, and what cannot be drawn says so under its equation.

namespace {

class BoundedGraphing : public GraphingTest {};

// x * 10^-310 spans subnormal values over the view: no round levels fit,
// and the contour plot says it is constant at once.
TEST_F(BoundedGraphing, AContourOfSubnormalValuesEndsWithItsMessage) {
  GraphedDocument g("XYType 3;\nExpr z=x*1e-310;\nXYType 3;\nExpr z=x*1e300+y*1e-10;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  UpdateGraphMessages(g.document.get());
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 10);  // "Undefined or constant throughout the region shown"
  EXPECT_EQ(EquationMessage(g.document.get(), 1), 0);   // levels of an ordinary plane
}

// Narrow ranges high above 2^53, where adding one to a double may leave it
// unchanged: the plots end, with levels where doubles can tell them apart
// and the plot's message where they cannot.
TEST_F(BoundedGraphing, AContourOfANarrowRangeOfHugeValuesEnds) {
  GraphedDocument g("XYType 3;\nExpr z=1e17+32*(sgn(x)+1);\nXYType 3;\nExpr z=1e16+32*(sgn(x)+1);\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  UpdateGraphMessages(g.document.get());
  EXPECT_EQ(EquationMessage(g.document.get(), 0), 10);  // "Undefined or constant throughout the region shown"
  EXPECT_EQ(EquationMessage(g.document.get(), 1), 0);
}

// A scale of the smallest subnormal puts every pixel of the 2-D view at
// one world value: each kind of 2-D graph and the axes, graph paper and
// labels still draw without overflowing an integer, sampled or not.
TEST_F(BoundedGraphing, TheSmallestScaleDrawsWithoutOverflow) {
  for (const char* antialiasing : {"0", "1"}) {
    GraphedDocument g(std::string("UseAntialiasing ") + antialiasing +
                      ";\n2D.Scale 5e-324 5e-324 5 5;\n2D.GraphPaper 1;\nExpr y = x;\nExpr x = y^2;\n"
                      "Expr y < x;\nExpr r = theta;\nExpr (x,y)=(cos(t),sin(t));\nXYType 3;\nExpr z=x*y;\n"
                      "Expr vector(1,2);\nExpr vector(d*x,d*y)=vector(-y,x);\nExpr x^2/9+y^2/4=1;\n");
    ASSERT_TRUE(g.document && g.RunUntilDone()) << antialiasing;
  }
}

// Ranges, scales, corners, slider ends and grains that are NaN, infinite
// or past what a view can use leave their statement unread; the statements
// after them still apply.
TEST(BoundedReading, UnusableRangesAndScalesKeepTheDefaultsAndTheRestOfTheFile) {
  const auto read = DocumentOf(
      "3D.X NaN 1;\n3D.Y -1e308 1e308;\n3D.Z 1 Infinity;\nT Infinity 5;\n2D.R 0 1e301;\n2D.Scale NaN 1 5 5;\n"
      "2Dp.Scale 0.5 1e308 5 5;\n2D.BottomLeft 1e305 0;\nSlider NaN 1;\nGrain NaN;\nExpr y = x;\n"
      "4D.W 1 3;\n3D.T -1e300 1e300;\n3Dp.X -1e300 1e300;\n");
  ASSERT_TRUE(read);
  const GraphPaneSettings& p = read->fContents.pane;
  ExpectRange(p.view3D.x, -2, 2);
  ExpectRange(p.view3D.y, -2, 2);
  ExpectRange(p.view3D.z, -2, 2);
  ExpectRange(p.view2D.t, 0, 1);
  ExpectRange(p.view2D.r, 0, 2);
  const GraphPaneSettings defaults = DocumentOf("")->fContents.pane;
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(p.view2D.scale[i], defaults.view2D.scale[i]);
    EXPECT_EQ(p.view2Dp.scale[i], defaults.view2Dp.scale[i]);
    EXPECT_EQ(p.view2D.bottomLeft[i], defaults.view2D.bottomLeft[i]);
  }
  EXPECT_TRUE(std::isfinite(read->fContents.sliderMinimum));
  ASSERT_EQ(read->fContents.blocks.Count(), 1);
  EXPECT_EQ(read->fContents.blocks[0].Grain, 0.5);
  ExpectRange(p.view4D.w, 1, 3);
  ExpectRange(p.view3D.t, -1e300, 1e300);
  // The box's vertices are floats.
  ExpectRange(p.view3Dp.x, -2, 2);
}

// A range typed in the coordinate display is refused as the file's is.
TEST_F(BoundedGraphing, TheCoordinateDisplayRefusesWhatNoViewCanUse) {
  GraphedDocument g("Expr z = x*y;\n");
  ASSERT_TRUE(g.document && g.RunUntilDone());
  for (const auto& [low, high] : {std::pair{-2.0, 1e308}, {-1e308, 1e308}, {NAN, 1.0}, {0.0, INFINITY}})
    EXPECT_FALSE(EditCoordinateRange(kCoordY, low, high, g.document.get())) << low << " " << high;
  EXPECT_TRUE(EditCoordinateRange(kCoordY, -3, 3, g.document.get()));
  ASSERT_TRUE(g.RunUntilDone());
}

}  // namespace
