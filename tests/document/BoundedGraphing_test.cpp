#include <gtest/gtest.h>

#include <string>

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

}  // namespace
