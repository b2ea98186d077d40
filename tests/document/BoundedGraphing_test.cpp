#include <gtest/gtest.h>

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

}  // namespace
